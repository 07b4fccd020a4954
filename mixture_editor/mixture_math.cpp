#include "mixture_editor/mixture_math.h"

#include <cmath>

#include "app/scattering_data/module1.h"
#include "editor_shared/synthesis_math.h"

namespace yex {
using namespace Module1;

bool ComputeAtomRatios() {
  AtomRatio(1) = 1.0;
  for (int k = 2; WithinKindCount(k); ++k) {
    if (AtomicWeight(k) == 0.0 || ElementAmount(1) == 0.0) return false;
    AtomRatio(k) = ((AtomicWeight(1) / AtomicWeight(k)) * ElementAmount(k)) / ElementAmount(1);
    if (!std::isfinite(AtomRatio(k))) return false;
  }
  return true;
}

bool CombineMixture(std::string* why) {
  if (!ComputeAtomRatios()) {
    *why = "an atomic weight (row 2 on) or the first relative weight is 0";
    return false;
  }
  if (CombineConstituents(Weights::AtomRatios)) return true;
  *why = "the weights give a negative or infinite sum";
  return false;
}

}  // namespace yex
