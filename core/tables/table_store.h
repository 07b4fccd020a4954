// The table store: the one way any front end reaches a table. It resolves a
// typed name, loads (strictly), lists, checks a new name and saves, by the
// one naming rule of core/tables/table_name.h. A data folder on disk, the shipped
// tables built in, and tables in memory (the page) are stores.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/elements/xray_data.h"
#include "core/error.h"
#include "core/tables/table.h"

namespace yex {

class TableStore {
 public:
  virtual ~TableStore() = default;
  // The stored file name a typed name means ("C", "C.yex", "c.YEX"): the
  // exact file first, else the one equal but for case; Usage for a name
  // that can be no table, or that two files equal but for case share. When
  // no table has the name, the file name it would have (Load reports it
  // missing).
  virtual std::string Resolve(const std::string& typed) const;
  // The table of a resolved file name, read strictly; MissingTable when
  // there is none, UnreadableData naming the line and the reason.
  virtual ScatteringTable Load(const std::string& file) const = 0;
  // How the # lines and messages name the table's file.
  virtual std::string Describe(const std::string& file) const = 0;
  // The # line saying where the tables come from ("data folder: YEX-data",
  // "tables: built in"), when the output should say it.
  virtual std::optional<std::string> Origin() const { return std::nullopt; }
  // The file names of the store's own tables, in the lists' order.
  virtual std::vector<std::string> List() const = 0;
  // The store's own materials (a data folder's materials.txt), read
  // strictly (UnreadableData naming the file and line); none by default.
  virtual std::vector<MaterialEntry> Materials() const { return {}; }
  // The file they come from, as messages name it, when there is one.
  virtual std::optional<std::string> MaterialsOrigin() const { return std::nullopt; }
  // The file a new table named `base` (without ".yex") goes to: base.yex,
  // or the table's file equal to it but for case. Usage for a name no new
  // table may take (not a file name on every system; a shipped element's,
  // unless `elementName` allows it); Exists for a table that is there,
  // unless `replace`.
  std::string CheckNewTable(const std::string& base, bool replace, bool elementName = false) const;
  // Saves a new table under the checks above; without `replace` only if no
  // table of that name exists at that very moment. Returns its file name.
  std::string Save(const std::string& base, const ScatteringTable& table, bool replace,
                   bool elementName = false);

  ScatteringTable LoadTyped(const std::string& typed) const { return Load(Resolve(typed)); }

 protected:
  // Writes the table to `file`; `exists` says whether a table is there.
  virtual void Write(const std::string& file, const ScatteringTable& table, bool replace, bool exists) = 0;
  // The stored file names equal to `file` but for case, the exact one
  // first; Usage when two share the name and none is exact.
  std::optional<std::string> Match(const std::string& file, const std::string& typed) const;
};

// The tables of a data folder on disk.
class FolderStore : public TableStore {
 public:
  // `shown` is the folder as messages write it (native separators).
  explicit FolderStore(std::string folder, std::string shown = {});
  std::string Resolve(const std::string& typed) const override;
  ScatteringTable Load(const std::string& file) const override;
  // As the main window's GO reads: the first 45 lines by the numeric rule.
  ScatteringTable LoadLenient(const std::string& file) const;
  std::string Describe(const std::string& file) const override;
  // "data folder: SHOWN", or where the folder is missing and the built-in
  // tables serve, "tables: built in (no data folder SHOWN)".
  std::optional<std::string> Origin() const override;
  std::vector<std::string> List() const override;
  std::vector<MaterialEntry> Materials() const override;
  std::optional<std::string> MaterialsOrigin() const override;
  std::string Path(const std::string& file) const { return folder_ + "/" + file; }
  const std::string& folder() const { return folder_; }
  // Usage unless the folder is there (reported as loading from it would).
  void CheckFolder() const;
  // What a missing folder is reported as (where the shipped tables are).
  void SetMissingFolderMessage(std::string m) { missing_ = std::move(m); }
  // Tables the folder does not hold are looked for in `fallback` (the
  // shipped tables built in), the folder searched first.
  void SetFallback(const TableStore* fallback) { fallback_ = fallback; }

 protected:
  void Write(const std::string& file, const ScatteringTable& table, bool replace, bool exists) override;

 private:
  ScatteringTable Read(const std::string& file, int reading) const;
  std::string folder_, shown_, missing_;
  const TableStore* fallback_ = nullptr;
};

// Saves a table to a file path ("YEX-data/Water.yex") through the store of
// its folder, as Save does; Usage for a file name that is not NAME.yex.
// Returns the file written.
std::string SaveTableAt(const std::string& path, const ScatteringTable& table, bool replace,
                        bool elementName);

// Tables held in memory with the bytes they came as: the page's shipped,
// added and built tables.
class MemoryStore : public TableStore {
 public:
  struct Entry {
    std::string file;   // "C.yex"
    std::string bytes;  // the file as it came or as it is written
    ScatteringTable table;
    bool shipped = false;
  };
  // A shipped table; UnreadableData when its bytes are no table.
  void AddShipped(const std::string& file, const std::string& bytes);
  // A file the user brought ("Water.yex"), read strictly: Usage for a name
  // that is no table file's or a shipped table's, UnreadableData naming the
  // line. It replaces the user's table of that name (in any case).
  void Add(const std::string& file, const std::string& bytes);
  // Forgets a table the user brought or built; false when there is none.
  bool Remove(const std::string& file);
  const Entry* Find(const std::string& typed) const;
  const std::vector<Entry>& Entries() const { return entries_; }

  ScatteringTable Load(const std::string& file) const override;
  std::string Describe(const std::string& file) const override { return file; }
  std::vector<std::string> List() const override;

 protected:
  void Write(const std::string& file, const ScatteringTable& table, bool replace, bool exists) override;

 private:
  void Put(Entry e);
  std::vector<Entry> entries_;
};

// Tables of the user's own on any grid (CSV files of x,F,S) in front of
// another store, each under its file's name without the extension
// ("calc.csv" is the table calc, "Fe.csv" stands for Fe): found before the
// store's own tables, never saved.
class GridTableStore : public TableStore {
 public:
  explicit GridTableStore(const TableStore& base) : base_(base) {}
  // Reads the CSV file strictly (Usage naming the line); Usage for a second
  // file of the same name in any case.
  void AddCsv(const std::string& path);
  std::string Resolve(const std::string& typed) const override;
  ScatteringTable Load(const std::string& file) const override;
  std::string Describe(const std::string& file) const override;
  std::optional<std::string> Origin() const override { return base_.Origin(); }
  std::vector<std::string> List() const override { return base_.List(); }
  std::vector<MaterialEntry> Materials() const override { return base_.Materials(); }
  std::optional<std::string> MaterialsOrigin() const override { return base_.MaterialsOrigin(); }

 protected:
  void Write(const std::string& file, const ScatteringTable& table, bool replace, bool exists) override;

 private:
  struct Entry {
    std::string file;  // "calc.yex": the name it goes by
    std::string path;
    ScatteringTable table;
  };
  const Entry* Find(const std::string& typed) const;
  const TableStore& base_;
  std::vector<Entry> entries_;
};

}  // namespace yex
