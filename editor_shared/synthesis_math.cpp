#include "editor_shared/synthesis_math.h"

#include <cmath>

#include "app/scattering_data/module1.h"

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

}  // namespace yex
