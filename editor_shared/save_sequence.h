// The save sequence both editors' "OK" follow, without the window: name
// check, constituents read, the editor's own arithmetic, the file written.
// Used by both editors and by the command-line companion.
#pragma once

#include <QList>
#include <QString>

#include "editor_shared/synthesis_math.h"

namespace yex {

enum class SaveOutcome { Saved, EmptyName, InputError };

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::InputError;
  QString writtenPath;  // WorkPath after a save: the path (compound) or name (mixture)
  QString detail;       // why a save failed, for the command line
};

// One constituent as an entry window stores it.
struct ConstituentEntry {
  QString file;               // table file name in the data folder
  double amount = 0.0;        // atoms (compound) or weight percent (mixture)
  double atomicWeight = 0.0;  // mixture only
};

// StoreEntryValues for the windows' entries.
void StoreConstituents(const QList<ConstituentEntry>& entries);

// The constituents' tables from their files in the data folder; a failure
// names the file and the reason.
TableSource DataFolderTables();

// The synthesis from the data folder's files without writing. False with
// *detail on failure.
bool SynthesizeTable(const Combine& combine, QString* detail);

// An empty name ends at once (EmptyName). Otherwise every constituent within
// the count is read, `combine` (which sets *detail when it fails) fills
// FData and SData, WorkPath becomes `workPath` and the table is written to
// DataFolder + base + ".yex". Any failure after the name check is one
// InputError; nothing done before it is undone.
SaveResult SaveTable(const QString& baseName, const Combine& combine, const QString& workPath);

}  // namespace yex
