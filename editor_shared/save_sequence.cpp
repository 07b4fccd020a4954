#include "editor_shared/save_sequence.h"

#include "app/scattering_data/module1.h"
#include "app/scattering_data/table_file.h"
#include "app/scattering_data/table_name.h"

namespace yex {
using namespace Module1;
namespace {

SaveResult Failed(const QString& detail) {
  SaveResult r;
  r.outcome = SaveOutcome::InputError;
  r.detail = detail;
  return r;
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

}  // namespace

void StoreConstituents(const QList<ConstituentEntry>& entries) {
  std::vector<EntryValues> values;
  for (const ConstituentEntry& e : entries)
    values.push_back({e.file.toStdString(), e.amount, e.atomicWeight});
  StoreEntryValues(values);
}

TableSource DataFolderTables() {
  return [](const std::string& file, ScatteringTable* t, std::string* why) {
    const QString path = DataFilePath(QString::fromStdString(file));
    QString reason;
    if (ReadTableFile(path, *t, &reason)) return true;
    *why = QStringLiteral("%1: %2").arg(path, reason).toStdString();
    return false;
  };
}

bool SynthesizeTable(const Combine& combine, QString* detail) {
  std::string why;
  if (SynthesizeTable(DataFolderTables(), combine, &why)) return true;
  *detail = QString::fromStdString(why);
  return false;
}

SaveResult SaveTable(const QString& baseName, const Combine& combine, const QString& workPath) {
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
