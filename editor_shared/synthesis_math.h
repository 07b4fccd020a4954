// The arithmetic of the two editors' "OK", over the shared entry storage.
#pragma once

namespace yex {

// True while constituent k is within the entered count (compared as a number,
// so 2.5 admits 1 and 2 and a count below 1 admits none).
bool WithinKindCount(int k);

// Steps shared by both editors: FData and SData rows 1..45 are zeroed, then
// F = sqrt(sum w_k F_k^2) and S = sum w_k S_k over the constituents within the
// count, with w_k = ElementAmount(k) (compound) or AtomRatio(k) (mixture).
// Returns false, leaving the partial sums, when a sum under the root is
// negative or any result is not finite.
enum class Weights { Amounts, AtomRatios };
bool CombineConstituents(Weights weights);

}  // namespace yex
