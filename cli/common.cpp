#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <memory>

#include "cli/command.h"

namespace yex::cli {
namespace {

std::string& Folder() {
  static std::string folder = "YEX-data";
  return folder;
}

std::unique_ptr<FolderStore>& TheStore() {
  static std::unique_ptr<FolderStore> store;
  return store;
}

std::string Native(const std::string& path) {
  return QDir::toNativeSeparators(QString::fromStdString(path)).toStdString();
}

// Where the folder was looked for and where the shipped tables are.
std::string MissingDataFolder() {
  QString shipped =
      QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" YEX_REL_DATA));
  if (!QFileInfo(shipped).isDir()) shipped = QStringLiteral(YEX_SOURCE_DATA);
  return QStringLiteral("no data folder %1 (looked in %2); the shipped tables are in %3, or give --data DIR")
      .arg(QString::fromStdString(Native(Folder())),
           QDir::toNativeSeparators(QFileInfo(QString::fromStdString(Folder())).absoluteFilePath()),
           QDir::toNativeSeparators(shipped))
      .toStdString();
}

}  // namespace

void Out(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void Err(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

RecordWriter StdoutWriter(OutputStyle style) { return RecordWriter(style, Out); }

void Note(const std::string& note) {
  if (!note.empty()) Err("yex-cli: note: " + note + "\n");
}

int Finished(const RunSummary& s) {
  if (s.warning.empty()) return kOk;
  Err("yex-cli: " + s.warning + "\n");
  return kDataError;
}

void SetDataFolder(const std::string& folder) {
  Folder() = QDir::cleanPath(QString::fromStdString(folder)).toStdString();
  TheStore().reset();
}

FolderStore& Store() {
  std::unique_ptr<FolderStore>& store = TheStore();
  if (!store) {
    store = std::make_unique<FolderStore>(Folder(), Native(Folder()));
    store->SetMissingFolderMessage(MissingDataFolder());
  }
  return *store;
}

Provenance Program() { return {std::string("yex-cli ") + YEX_VERSION}; }

}  // namespace yex::cli
