// The compound editor's arithmetic, plain: F and S from the atom counts.
#pragma once

#include <string>

namespace yex {

// F = sqrt(sum n_k F_k^2), S = sum n_k S_k with n_k = ElementAmount, over the
// constituents read. False with *why on failure.
bool CombineCompound(std::string* why);

}  // namespace yex
