// "OK" of the compound and the mixture editor without the window: read the
// constituents, combine them and save the new table. Used by both editors and
// by the command-line companion.
#pragma once

#include <QString>

namespace yex {

enum class SaveOutcome { Saved, EmptyName, InputError };

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::InputError;
  QString writtenPath;  // WorkPath after a save: the path (compound) or name (mixture)
  QString detail;       // why a save failed, for the command line
};

// Compound: WorkPath = DataFolder + base + ".yex" with the platform's
// separator; F = sqrt(sum n_k F_k^2), S = sum n_k S_k with n_k = ElementAmount.
SaveResult SaveCompound(const QString& baseName);

// Mixture: weights turned into atoms per atom of constituent 1; WorkPath =
// base + ".yex" without the folder.
SaveResult SaveMixture(const QString& baseName);

}  // namespace yex
