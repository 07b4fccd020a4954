// "OK" of the mixture editor without the window: weights to atom ratios,
// then the shared synthesis.
#pragma once

#include <QString>

#include "editor_shared/save_sequence.h"

namespace yex {

// AtomRatio(1) = 1 and AtomRatio(k) = ((A1 / Ak) * wk) / w1 for the other
// constituents, in this order of operations. Returns false on a division by
// zero (0 / 0 included) or a result that is not finite.
bool ComputeAtomRatios();

// The mixture editor's arithmetic: atom ratios, then F and S. False with
// *detail on failure.
bool CombineMixture(QString* detail);

// Mixture: weights turned into atoms per atom of constituent 1; WorkPath =
// base + ".yex" without the folder.
SaveResult SaveMixture(const QString& baseName);

}  // namespace yex
