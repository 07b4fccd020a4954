// The mixture editor's arithmetic, plain: weights to atom ratios, then F
// and S.
#pragma once

#include <string>

namespace yex {

// AtomRatio(1) = 1 and AtomRatio(k) = ((A1 / Ak) * wk) / w1 for the other
// constituents, in this order of operations. Returns false on a division by
// zero (0 / 0 included) or a result that is not finite.
bool ComputeAtomRatios();

// Atom ratios, then F = sqrt(sum r_k F_k^2), S = sum r_k S_k. False with
// *why on failure.
bool CombineMixture(std::string* why);

}  // namespace yex
