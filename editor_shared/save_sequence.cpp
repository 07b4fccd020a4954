#include "editor_shared/save_sequence.h"

#include <cmath>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "core/error.h"

namespace yex {
using namespace Module1;
namespace {

SaveResult Failed(const QString& detail) {
  SaveResult r;
  r.outcome = SaveOutcome::InputError;
  r.detail = detail;
  return r;
}

// Every constituent within the count is read; x goes to XData (so the last
// one read wins), F and S to the constituent's columns.
// Tables are read strictly, and must share the first one's x column: a new
// table made of a broken file, or of rows of different x, would be wrong.
bool ReadConstituents(QString* why) {
  const FolderStore store = DataStore();
  ScatteringTable first;
  for (int k = 1; WithinKindCount(k); ++k) {
    if (k > MaxConstituents) {
      *why = QStringLiteral("more than %1 constituents").arg(MaxConstituents);
      return false;
    }
    WorkPath = ElementFile(k);
    if (WorkPath.empty()) {
      *why = QStringLiteral("constituent %1 has no table").arg(k);
      return false;
    }
    ScatteringTable t;
    try {
      t = store.Load(WorkPath);
    } catch (const Error& e) {
      *why = QString::fromStdString(e.what());
      return false;
    }
    if (k == 1) {
      first = t;
    } else if (const int row = FirstDifferentRow(first, t)) {
      *why = QString::fromStdString(DifferentGrids(ElementFile(1), first, WorkPath, t, row));
      return false;
    }
    for (int i = 1; i <= TableRowCount; ++i) {
      RowText(i) = t.rowText[i];
      XData(i) = t.x[i];
      ElementFData(i, k) = t.f[i];
      ElementSData(i, k) = t.s[i];
    }
  }
  return true;
}

// AtomRatio(1) = 1 and the others by the core's rule, stopping at the first
// that has no value.
bool ComputeAtomRatios() {
  AtomRatio(1) = 1.0;
  for (int k = 2; WithinKindCount(k); ++k) {
    const std::optional<double> r =
        AtomsPerFirstAtom(AtomicWeight(1), AtomicWeight(k), ElementAmount(k), ElementAmount(1));
    if (!r) return false;
    AtomRatio(k) = *r;
    if (!std::isfinite(*r)) return false;
  }
  return true;
}

// F and S rows 1..45 from the columns read, weighted by the amounts or the
// atom ratios.
bool CombineConstituents(Synthesis kind) {
  for (int i = 1; i <= TableRowCount; ++i) {
    FData(i) = 0.0;
    SData(i) = 0.0;
  }
  for (int i = 1; i <= TableRowCount; ++i)
    for (int k = 1; WithinKindCount(k); ++k) {
      const double w = kind == Synthesis::Compound ? ElementAmount(k) : AtomRatio(k);
      AddToRow(w, ElementFData(i, k), ElementSData(i, k), &FData(i), &SData(i));
    }
  for (int i = 1; i <= TableRowCount; ++i)
    if (!FinishRow(&FData(i), SData(i))) return false;
  return true;
}

bool Combine(Synthesis kind, QString* why) {
  if (kind == Synthesis::Mixture && !ComputeAtomRatios()) {
    *why = QStringLiteral("an atomic weight (row 2 on) or the first relative weight is 0");
    return false;
  }
  if (CombineConstituents(kind)) return true;
  *why = kind == Synthesis::Compound ? QStringLiteral("the atom counts give a negative or infinite sum")
                                     : QStringLiteral("the weights give a negative or infinite sum");
  return false;
}

// Without `replace` the file is created only if no table of the name is
// there at that moment: a table saved meanwhile by anyone else stays.
bool WriteNamed(const QString& baseName, bool replace, QString* detail) {
  try {
    DataStore().Save(baseName.toStdString(), CurrentTable(), replace);
  } catch (const Error& e) {
    *detail = QString::fromStdString(e.what());
    return false;
  }
  return true;
}

}  // namespace

bool WithinKindCount(int k) { return k <= ElementKindCount; }

void StoreConstituents(const QList<ConstituentEntry>& entries) {
  ClearTable();
  ElementKindCount = static_cast<double>(entries.size());
  for (int k = 1; k <= static_cast<int>(entries.size()); ++k) {
    const ConstituentEntry& e = entries[k - 1];
    ElementFile(k) = e.file.toStdString();
    ElementAmount(k) = e.amount;
    AtomicWeight(k) = e.atomicWeight;
  }
}

SaveResult SaveTable(const QString& baseName, Synthesis kind, const QString& workPath, bool replace) {
  SaveResult r;
  if (baseName.isEmpty()) {
    r.outcome = SaveOutcome::EmptyName;
    return r;
  }
  QString detail;
  try {
    // The count must admit at least one constituent: a table of zeros
    // reported as saved would be a failure passed off as success.
    if (!WithinKindCount(1)) return Failed(QStringLiteral("no constituent was entered"));
    if (!ReadConstituents(&detail) || !Combine(kind, &detail)) return Failed(detail);
    WorkPath = workPath.toStdString();
    if (!WriteNamed(baseName, replace, &detail)) return Failed(detail);
  } catch (const IndexError& e) {
    return Failed(QString::fromUtf8(e.what()));
  }
  r.outcome = SaveOutcome::Saved;
  r.writtenPath = workPath;
  return r;
}

}  // namespace yex
