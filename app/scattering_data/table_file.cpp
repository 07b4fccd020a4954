#include "app/scattering_data/table_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/table_file.h"

namespace yex {
namespace {

void SetReason(QString* reason, const QString& text) {
  if (reason) *reason = text;
}

}  // namespace

namespace {
QString& Folder() {
  static QString folder = QStringLiteral("YEX-data");
  return folder;
}
}  // namespace

QString DataFolder() { return Folder(); }

void SetDataFolder(const QString& folder) { Folder() = folder; }

QString DataFilePath(const QString& name) { return DataFolder() + QLatin1Char('/') + name; }

namespace {
// A path for the core's plain file layer: the bytes the file system knows.
std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }
}  // namespace

bool ReadTableFile(const QString& path, ScatteringTable& table, QString* reason) {
  ErrorKind kind = ErrorKind::Io;
  std::string why;
  if (yex::ReadTableFile(Native(path), &table, &kind, &why)) return true;
  SetReason(reason, QString::fromStdString(why));
  return false;
}

bool WriteTableFile(const QString& path, QString* reason) {
  std::string why;
  if (yex::WriteTableFile(Native(path), Module1::CurrentTable(), Existing::Replace, &why)) return true;
  SetReason(reason, QString::fromStdString(why));
  return false;
}

QStringList ListTableFiles(const QString& folder) {
  QDir dir(folder);
  if (!dir.exists()) return {};
  // Ordinary files only, as a file list box shows them: no hidden ".name".
  return dir.entryList({QStringLiteral("*.yex")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

}  // namespace yex
