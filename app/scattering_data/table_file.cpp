#include "app/scattering_data/table_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

#include "app/scattering_data/table_format.h"

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

bool ReadTableFile(const QString& path, ScatteringTable& table, QString* reason) {
  QFileInfo info(path);
  if (!info.exists()) {
    SetReason(reason, QStringLiteral("the file does not exist"));
    return false;
  }
  if (!info.isFile()) {
    SetReason(reason, QStringLiteral("it is not a file"));
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    SetReason(reason, QStringLiteral("it cannot be opened (%1)").arg(file.errorString()));
    return false;
  }
  // Read only as far as the 45th line end; the rest of the file is not used.
  std::string bytes;
  char chunk[65536];
  for (;;) {
    const qint64 n = file.read(chunk, sizeof chunk);
    if (n < 0) {
      SetReason(reason, QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
      return false;
    }
    if (n == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
    const std::size_t end = EndOfLastTableLine(bytes);
    if (end != std::string::npos) {
      bytes.resize(end);
      break;
    }
  }
  std::string why;
  if (!ParseTableBytes(bytes, table, &why)) {
    SetReason(reason, QString::fromStdString(why));
    return false;
  }
  return true;
}

bool WriteTableFile(const QString& path, QString* reason) {
  std::string content;
  if (!FormatCurrentTable(&content)) {
    SetReason(reason, QStringLiteral("the table holds a value that is not a finite number"));
    return false;
  }
  // An existing table is replaced only where it could be written in place:
  // renaming over a read-only file would bypass its protection.
  const QFileInfo target(path);
  if (target.exists()) {
    QFile probe(path);
    if (!target.isFile() || !probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
      SetReason(reason, QStringLiteral("the existing file cannot be replaced"));
      return false;
    }
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    SetReason(reason, file.errorString());
    return false;
  }
  if (file.write(content.data(), static_cast<qint64>(content.size())) !=
      static_cast<qint64>(content.size())) {
    SetReason(reason, file.errorString());
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    SetReason(reason, file.errorString());
    return false;
  }
  return true;
}

QStringList ListTableFiles(const QString& folder) {
  QDir dir(folder);
  if (!dir.exists()) return {};
  // Ordinary files only, as a file list box shows them: no hidden ".name".
  return dir.entryList({QStringLiteral("*.yex")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

}  // namespace yex
