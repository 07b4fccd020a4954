// Chantler's tables built in: the generated text (chantler_data.cpp), parsed
// element by element when first asked for.
#include "core/shipped/chantler_tables.h"

#include "core/physics/dispersion.h"

namespace yex {

const DispersionSource& BuiltInDispersion() {
  static const DispersionSource source(ChantlerBlock, ChantlerSourceLines());
  return source;
}

}  // namespace yex
