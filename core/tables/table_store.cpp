#include "core/tables/table_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "core/tables/table_grid.h"
#include "core/tables/table_name.h"

namespace yex {

std::string TableStore::Resolve(const std::string& typed) const {
  const std::string file = TableFileName(typed);
  if (!IsStoredTableFileName(file)) Fail(ErrorKind::Usage, "\"" + typed + "\" is not a table name");
  return Match(file, typed).value_or(file);
}

std::optional<std::string> TableStore::Match(const std::string& file, const std::string& typed) const {
  std::vector<std::string> same;
  for (const std::string& f : List()) {
    if (f == file) return f;
    if (SameTableName(f, file)) same.push_back(f);
  }
  if (same.empty()) return std::nullopt;
  if (same.size() > 1)
    Fail(ErrorKind::Usage, "\"" + typed + "\" is ambiguous: " + Describe(same[0]) + " and " +
                               Describe(same[1]) +
                               " differ only in case; type the name exactly, or rename one");
  return same[0];
}

std::string TableStore::CheckNewTable(const std::string& base, bool replace, bool elementName) const {
  if (const std::optional<std::string> why = NewTableNameProblem(base))
    Fail(ErrorKind::Usage, "\"" + base + "\" cannot be a table name: " + *why);
  const std::string file = base + ".yex";
  if (!elementName && IsShippedElementName(base))
    Fail(ErrorKind::Usage, file + " is a shipped table; choose another name");
  const std::optional<std::string> there = Match(file, base);
  if (!there) return file;
  if (!replace) Fail(ErrorKind::Exists, Describe(*there) + " already exists");
  return *there;
}

std::string TableStore::Save(const std::string& base, const ScatteringTable& table, bool replace,
                             bool elementName) {
  // A table of any other length has no file format to go to.
  if (table.rows() != TableRowCount) Fail(ErrorKind::Usage, base + ".yex: " + TableFileMisfit(table));
  const std::string file = CheckNewTable(base, replace, elementName);
  Write(file, table, replace, Match(file, base).has_value());
  return file;
}

// ---- a data folder

FolderStore::FolderStore(std::string folder, std::string shown)
    : folder_(std::move(folder)), shown_(shown.empty() ? folder_ : std::move(shown)) {}

std::string FolderStore::Resolve(const std::string& typed) const {
  const std::string file = TableStore::Resolve(typed);
  if (fallback_ && !IsThere(Path(file))) return fallback_->Resolve(typed);
  return file;
}

std::vector<std::string> FolderStore::List() const { return ListTableFiles(folder_); }

void FolderStore::CheckFolder() const {
  if (IsFolder(folder_)) return;
  Fail(ErrorKind::MissingTable, missing_.empty() ? "no data folder " + shown_ : missing_);
}

std::optional<std::string> FolderStore::Origin() const {
  if (fallback_ && !IsFolder(folder_)) return "tables: built in (no data folder " + shown_ + ")";
  return "data folder: " + shown_;
}

std::optional<std::string> FolderStore::MaterialsOrigin() const {
  if (!IsThere(Path("materials.txt"))) return std::nullopt;
  return shown_ + "/materials.txt";
}

std::vector<MaterialEntry> FolderStore::Materials() const {
  const std::optional<std::string> shown = MaterialsOrigin();
  if (!shown) return {};
  std::FILE* f = OpenFile(Path("materials.txt"), "rb");
  if (!f) Fail(ErrorKind::Io, *shown + ": cannot be read: " + SystemReason(errno));
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) Fail(ErrorKind::Io, *shown + ": cannot be read");
  return ReadMaterialList(text, *shown);
}

ScatteringTable FolderStore::Read(const std::string& file, int reading) const {
  // Only where the folder holds nothing of that name: a folder, a dangling
  // link or an unreadable file there is refused, never passed over.
  if (fallback_ && !IsThere(Path(file))) {
    try {
      return fallback_->Load(file);
    } catch (const Error& e) {
      if (e.kind() != ErrorKind::MissingTable) throw;
    }
    if (!IsFolder(folder_))
      Fail(ErrorKind::MissingTable, "no table " + file + ": none built in, and no data folder " + shown_);
  }
  if (!IsFolder(folder_))
    Fail(ErrorKind::MissingTable,
         missing_.empty() ? "no table " + Describe(file) + ": no data folder " + shown_ : missing_);
  ScatteringTable t;
  ErrorKind kind = ErrorKind::Io;
  TableProblem problem;
  if (ReadTableFile(Path(file), static_cast<Reading>(reading), &t, &kind, &problem)) return t;
  if (kind == ErrorKind::MissingTable) Fail(kind, "no table " + Describe(file));
  Fail(kind, DescribeProblem(Describe(file), problem));
}

ScatteringTable FolderStore::Load(const std::string& file) const {
  return Read(file, static_cast<int>(Reading::Strict));
}

ScatteringTable FolderStore::LoadLenient(const std::string& file) const {
  return Read(file, static_cast<int>(Reading::Lenient));
}

std::string FolderStore::Describe(const std::string& file) const {
#ifdef _WIN32
  return shown_ + "\\" + file;
#else
  return shown_ + "/" + file;
#endif
}

void FolderStore::Write(const std::string& file, const ScatteringTable& table, bool replace, bool) {
  // Saves into one folder take turns: the check that no table of the name
  // exists in another case and the creation are one step, so of "r" and
  // "R" saved at once exactly one is written.
  const FolderLock turn(folder_);
  if (const std::optional<std::string> there = Match(file, file); there && *there != file && !replace)
    Fail(ErrorKind::Exists, Describe(*there) + " already exists");
  try {
    WriteTableFile(Path(file), table, replace ? Existing::Replace : Existing::Keep);
  } catch (const Error& e) {
    // Messages name the file as the others do.
    std::string m = e.what();
    if (m.compare(0, Path(file).size(), Path(file)) == 0) m = Describe(file) + m.substr(Path(file).size());
    Fail(e.kind(), m);
  }
}

std::string SaveTableAt(const std::string& path, const ScatteringTable& table, bool replace,
                        bool elementName) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  if (!HasTableExtension(file)) Fail(ErrorKind::Usage, "\"" + file + "\": a table's file name ends in .yex");
  FolderStore store(folder);
  return store.Save(TableDisplayName(file), table, replace, elementName);
}

// ---- tables in memory

void MemoryStore::Put(Entry e) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const Entry& x) { return !x.shipped && SameTableName(x.file, e.file); }),
                 entries_.end());
  entries_.push_back(std::move(e));
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return AsciiLower(a.file) < AsciiLower(b.file); });
}

void MemoryStore::AddShipped(const std::string& file, const std::string& bytes) {
  Entry e{file, bytes, {}, true};
  TableProblem p;
  if (!ParseTableStrict(bytes, e.table, &p)) Fail(ErrorKind::UnreadableData, DescribeProblem(file, p));
  Put(std::move(e));
}

void MemoryStore::Add(const std::string& file, const std::string& bytes) {
  const std::string base = TableDisplayName(file);
  if (!HasTableExtension(file) || NewTableNameProblem(base))
    Fail(ErrorKind::Usage, file + ": not a table file name (NAME.yex)");
  if (IsShippedElementName(base))
    Fail(ErrorKind::Usage, file + ": a shipped table has this name; rename the file to add it");
  Entry e{file, bytes, {}, false};
  TableProblem p;
  if (!ParseTableStrict(bytes, e.table, &p)) Fail(ErrorKind::UnreadableData, DescribeProblem(file, p));
  Put(std::move(e));
}

bool MemoryStore::Remove(const std::string& file) {
  const std::size_t before = entries_.size();
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const Entry& x) { return !x.shipped && SameTableName(x.file, file); }),
                 entries_.end());
  return entries_.size() != before;
}

const MemoryStore::Entry* MemoryStore::Find(const std::string& typed) const {
  const std::string file = TableFileName(typed);
  for (const Entry& e : entries_)
    if (e.file == file) return &e;
  for (const Entry& e : entries_)
    if (SameTableName(e.file, file)) return &e;
  return nullptr;
}

ScatteringTable MemoryStore::Load(const std::string& file) const {
  const Entry* e = Find(file);
  if (!e) Fail(ErrorKind::MissingTable, "no table " + file);
  return e->table;
}

std::vector<std::string> MemoryStore::List() const {
  std::vector<std::string> files;
  for (const Entry& e : entries_) files.push_back(e.file);
  return files;
}

void MemoryStore::Write(const std::string& file, const ScatteringTable& table, bool, bool) {
  Entry e{file, {}, table, false};
  if (!FormatTable(table, &e.bytes))
    Fail(ErrorKind::UnreadableData, file + ": the table holds a value that is not a finite number");
  Put(std::move(e));
}

}  // namespace yex

// ---- tables of the user's own grids in front of a store

namespace yex {

void GridTableStore::AddCsv(const std::string& path) {
  const std::string base = CsvTableName(path);
  if (!IsStoredTableFileName(base + ".yex"))
    Fail(ErrorKind::Usage, path + ": its file name gives no table name");
  if (Find(base)) Fail(ErrorKind::Usage, path + ": a table named " + base + " was already given");
  entries_.push_back({base + ".yex", path, ReadCsvTableFile(path)});
}

const GridTableStore::Entry* GridTableStore::Find(const std::string& typed) const {
  const std::string file = TableFileName(typed);
  for (const Entry& e : entries_)
    if (SameTableName(e.file, file)) return &e;
  return nullptr;
}

std::string GridTableStore::Resolve(const std::string& typed) const {
  if (const Entry* e = Find(typed)) return e->file;
  return base_.Resolve(typed);
}

ScatteringTable GridTableStore::Load(const std::string& file) const {
  for (const Entry& e : entries_)
    if (e.file == file) return e.table;
  return base_.Load(file);
}

std::string GridTableStore::Describe(const std::string& file) const {
  for (const Entry& e : entries_)
    if (e.file == file) return e.path;
  return base_.Describe(file);
}

void GridTableStore::Write(const std::string& file, const ScatteringTable&, bool, bool) {
  Fail(ErrorKind::Usage, file + ": a table is saved into the data folder, not among tables read from CSV");
}

}  // namespace yex
