#include <filesystem>
#include <memory>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli/command.h"
#include "core/shipped/shipped_tables.h"
#include "core/tables/table_file.h"

namespace yex::cli {
namespace {

std::string& Folder() {
  static std::string folder = "YEX-data";
  return folder;
}

// Whether --data named the folder: then a missing one is an error.
bool& FolderGiven() {
  static bool given = false;
  return given;
}

std::unique_ptr<FolderStore>& TheStore() {
  static std::unique_ptr<FolderStore> store;
  return store;
}

namespace fs = std::filesystem;

std::string Native(const std::string& path) { return PathOf(path).make_preferred().u8string(); }

// A folder as written, without "." parts, doubled separators or a trailing
// one ("YEX-data/" is "YEX-data").
std::string Clean(const std::string& path) {
  std::string s = PathOf(path).lexically_normal().generic_u8string();
  if (s.size() > 1 && s.back() == '/') s.pop_back();
  return s.empty() ? "." : s;
}

// The folder of this program, to find the shipped tables beside it.
fs::path ProgramFolder() {
  std::error_code ec;
#ifdef _WIN32
  wchar_t buf[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
  return n ? fs::path(std::wstring(buf, n)).parent_path() : fs::path();
#else
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe.parent_path();
#endif
}

// Where the folder was looked for and where the shipped tables are.
std::string MissingDataFolder() {
  std::error_code ec;
  fs::path shipped = (ProgramFolder() / PathOf(YEX_REL_DATA)).lexically_normal();
  if (!fs::is_directory(shipped, ec)) shipped = PathOf(YEX_SOURCE_DATA);
  const fs::path looked = fs::absolute(PathOf(Folder()), ec).lexically_normal();
  std::string dir = looked.u8string();
  if (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return "no data folder " + Native(Folder()) + " (looked in " + dir + "); the shipped tables are in " +
         shipped.make_preferred().u8string() + ", or give --data DIR";
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
  Folder() = Clean(folder);
  FolderGiven() = true;
  TheStore().reset();
}

std::vector<std::string>& CsvTables() {
  static std::vector<std::string> paths;
  return paths;
}

void AddCsvTable(const std::string& path) { CsvTables().push_back(path); }

const TableStore& Tables() {
  if (CsvTables().empty()) return Store();
  static std::unique_ptr<GridTableStore> grid;
  if (!grid) {
    grid = std::make_unique<GridTableStore>(Store());
    for (const std::string& path : CsvTables()) grid->AddCsv(path);
  }
  return *grid;
}

FolderStore& Store() {
  std::unique_ptr<FolderStore>& store = TheStore();
  if (!store) {
    store = std::make_unique<FolderStore>(Folder(), Native(Folder()));
    store->SetMissingFolderMessage(MissingDataFolder());
    // Without ./YEX-data the built-in tables serve whatever only reads
    // them (the # lines say so); listing and saving still need the folder.
    if (!FolderGiven() && !IsFolder(Folder())) store->SetFallback(&Shipped());
  }
  return *store;
}

Provenance Program() { return {std::string("yex-cli ") + YEX_VERSION}; }

}  // namespace yex::cli
