#include "editor_shared/save_sequence.h"

#include "app/scattering_data/module1.h"
#include "app/scattering_data/table_file.h"
#include "app/scattering_data/table_name.h"
#include "editor_shared/synthesis_math.h"

namespace yex {
using namespace Module1;
namespace {

SaveResult Failed(const QString& detail) {
  SaveResult r;
  r.outcome = SaveOutcome::InputError;
  r.detail = detail;
  return r;
}

// Step 2 of both editors: every constituent within the count is read; x goes
// to XData (so the last one read wins), F and S to the constituent's columns.
bool ReadConstituents(QString* detail) {
  for (int k = 1; WithinKindCount(k); ++k) {
    if (k > MaxConstituents) {
      *detail = QStringLiteral("more than %1 constituents").arg(MaxConstituents);
      return false;
    }
    WorkPath = ElementFile(k);
    const QString name = QString::fromStdString(WorkPath);
    ScatteringTable t;
    QString reason;
    if (name.isEmpty() || !ReadTableFile(DataFilePath(name), t, &reason)) {
      *detail = name.isEmpty() ? QStringLiteral("constituent %1 has no table").arg(k)
                               : QStringLiteral("%1: %2").arg(DataFilePath(name), reason);
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

bool WriteNamed(const QString& baseName, QString* detail) {
  const QString path = DataFilePath(baseName + QStringLiteral(".yex"));
  if (!IsCreatableTableName(baseName.toStdString())) {
    *detail = QStringLiteral("\"%1\" cannot be a table name").arg(baseName);
    return false;
  }
  QString reason;
  if (!WriteTableFile(path, &reason)) {
    *detail = QStringLiteral("%1: %2").arg(path, reason);
    return false;
  }
  return true;
}

// The count must admit at least one constituent: a table of zeros reported
// as saved would be a failure passed off as success.
bool CountAdmitsOne(QString* detail) {
  if (WithinKindCount(1)) return true;
  *detail = QStringLiteral("no constituent was entered");
  return false;
}

}  // namespace

void StoreConstituents(const QList<ConstituentEntry>& entries) {
  ClearTable();
  ElementKindCount = entries.size();
  for (int k = 1; k <= entries.size(); ++k) {
    const ConstituentEntry& e = entries[k - 1];
    ElementFile(k) = e.file.toStdString();
    ElementAmount(k) = e.amount;
    AtomicWeight(k) = e.atomicWeight;
  }
}

bool SynthesizeTable(const std::function<bool(QString*)>& combine, QString* detail) {
  try {
    return CountAdmitsOne(detail) && ReadConstituents(detail) && combine(detail);
  } catch (const IndexError& e) {
    *detail = QString::fromUtf8(e.what());
    return false;
  }
}

SaveResult SaveTable(const QString& baseName, const std::function<bool(QString*)>& combine,
                     const QString& workPath) {
  SaveResult r;
  if (baseName.isEmpty()) {
    r.outcome = SaveOutcome::EmptyName;
    return r;
  }
  QString detail;
  try {
    if (!SynthesizeTable(combine, &detail)) return Failed(detail);
    WorkPath = workPath.toStdString();
    if (!WriteNamed(baseName, &detail)) return Failed(detail);
  } catch (const IndexError& e) {
    return Failed(QString::fromUtf8(e.what()));
  }
  r.outcome = SaveOutcome::Saved;
  r.writtenPath = workPath;
  return r;
}

}  // namespace yex
