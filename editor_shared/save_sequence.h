// The save sequence both editors' "OK" follow, over the windows' shared
// state: name check, constituents read one by one into the entry storage,
// the core's arithmetic step by step, the file written. What each step
// leaves in the shared state is what the windows rely on.
#pragma once

#include <QList>
#include <QString>

#include "core/tables/synthesis.h"

namespace yex {

enum class SaveOutcome { Saved, EmptyName, InputError };

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::InputError;
  QString writtenPath;  // WorkPath after a save: the path (compound) or name (mixture)
  QString detail;       // why a save failed
};

// True while constituent k is within the entered count (compared as a number,
// so 2.5 admits 1 and 2 and a count below 1 admits none).
bool WithinKindCount(int k);

// One constituent as an entry window stores it.
struct ConstituentEntry {
  QString file;               // table file name in the data folder
  double amount = 0.0;        // atoms (compound) or weight percent (mixture)
  double atomicWeight = 0.0;  // mixture only
};

// Fills the entry storage as the entry windows would and clears the table
// in memory.
void StoreConstituents(const QList<ConstituentEntry>& entries);

// An empty name ends at once (EmptyName). Otherwise every constituent within
// the count is read strictly from the data folder (all on one x column), the atom ratios (mixture) and
// F and S fill AtomRatio, FData and SData, WorkPath becomes `workPath` and
// the table is saved in the data folder's store as base + ".yex": over the
// table of that name (in any case) only with `replace`. Any failure after
// the name check is one InputError; nothing done before it is undone.
SaveResult SaveTable(const QString& baseName, Synthesis kind, const QString& workPath, bool replace = false);

}  // namespace yex
