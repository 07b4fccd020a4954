// "OK" of the compound editor without the window.
#pragma once

#include <QString>

#include "editor_shared/save_sequence.h"

namespace yex {

// Compound: WorkPath = DataFolder + base + ".yex" with the platform's
// separator; F = sqrt(sum n_k F_k^2), S = sum n_k S_k with n_k = ElementAmount.
SaveResult SaveCompound(const QString& baseName, bool replace = false);

}  // namespace yex
