#include "compound_editor/compound_math.h"

#include "editor_shared/synthesis_math.h"

namespace yex {

bool CombineCompound(std::string* why) {
  if (CombineConstituents(Weights::Amounts)) return true;
  *why = "the atom counts give a negative or infinite sum";
  return false;
}

}  // namespace yex
