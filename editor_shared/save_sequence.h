// The save sequence both editors' "OK" follow, without the window: name
// check, constituents read, the editor's own arithmetic, the file written.
// Used by both editors and by the command-line companion.
#pragma once

#include <QString>
#include <functional>

namespace yex {

enum class SaveOutcome { Saved, EmptyName, InputError };

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::InputError;
  QString writtenPath;  // WorkPath after a save: the path (compound) or name (mixture)
  QString detail;       // why a save failed, for the command line
};

// An empty name ends at once (EmptyName). Otherwise every constituent within
// the count is read, `combine` (which sets *detail when it fails) fills
// FData and SData, WorkPath becomes `workPath` and the table is written to
// DataFolder + base + ".yex". Any failure after the name check is one
// InputError; nothing done before it is undone.
SaveResult SaveTable(const QString& baseName, const std::function<bool(QString*)>& combine,
                     const QString& workPath);

}  // namespace yex
