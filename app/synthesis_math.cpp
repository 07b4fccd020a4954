#include "app/synthesis_math.h"

#include <cmath>

#include "app/module1.h"

namespace yex {
using namespace Module1;

bool WithinKindCount(int k) { return k <= ElementKindCount; }

bool CombineConstituents(Weights weights) {
  for (int i = 1; i <= TableRowCount; ++i) {
    FData(i) = 0.0;
    SData(i) = 0.0;
  }
  for (int i = 1; i <= TableRowCount; ++i) {
    for (int k = 1; WithinKindCount(k); ++k) {
      const double w = weights == Weights::Amounts ? ElementAmount(k) : AtomRatio(k);
      FData(i) = FData(i) + w * ElementFData(i, k) * ElementFData(i, k);
      SData(i) = SData(i) + w * ElementSData(i, k);
    }
  }
  for (int i = 1; i <= TableRowCount; ++i) {
    if (!(FData(i) >= 0.0) || !std::isfinite(FData(i)) || !std::isfinite(SData(i))) return false;
    FData(i) = std::sqrt(FData(i));
  }
  return true;
}

bool ComputeAtomRatios() {
  AtomRatio(1) = 1.0;
  for (int k = 2; WithinKindCount(k); ++k) {
    if (AtomicWeight(k) == 0.0 || ElementAmount(1) == 0.0) return false;
    AtomRatio(k) = ((AtomicWeight(1) / AtomicWeight(k)) * ElementAmount(k)) / ElementAmount(1);
    if (!std::isfinite(AtomRatio(k))) return false;
  }
  return true;
}

}  // namespace yex
