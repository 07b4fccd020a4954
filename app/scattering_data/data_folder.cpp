#include "app/scattering_data/data_folder.h"

#include <QDir>
#include <QFile>

namespace yex {
namespace {

QString& Folder() {
  static QString folder = QStringLiteral("YEX-data");
  return folder;
}

}  // namespace

QString DataFolder() { return Folder(); }

void SetDataFolder(const QString& folder) { Folder() = folder; }

QString DataFilePath(const QString& name) { return DataFolder() + QLatin1Char('/') + name; }

FolderStore DataStore() {
  // The bytes the file system knows, and the folder as messages show it.
  return FolderStore(QFile::encodeName(DataFolder()).toStdString(),
                     QDir::toNativeSeparators(DataFolder()).toStdString());
}

}  // namespace yex
