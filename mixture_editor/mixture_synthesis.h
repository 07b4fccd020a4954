// "OK" of the mixture editor without the window: weights to atom ratios,
// then the shared synthesis.
#pragma once

#include <QString>

#include "editor_shared/save_sequence.h"

namespace yex {

// Mixture: weights turned into atoms per atom of constituent 1; WorkPath =
// base + ".yex" without the folder.
SaveResult SaveMixture(const QString& baseName, bool replace = false);

}  // namespace yex
