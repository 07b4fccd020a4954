#include "core/shipped/shipped_tables.h"

#include <algorithm>

#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "core/tables/table_name.h"

namespace yex {

const ShippedTable* ShippedStore::Find(const std::string& typed) const {
  const std::string file = TableFileName(typed);
  for (const ShippedTable& t : ShippedTables())
    if (SameTableName(t.file, file)) return &t;
  return nullptr;
}

ScatteringTable ShippedStore::Load(const std::string& file) const {
  const ShippedTable* t = Find(file);
  if (!t) Fail(ErrorKind::MissingTable, "no table " + file);
  ScatteringTable table;
  TableProblem why;
  if (!ParseTableStrict(std::string_view(t->bytes, t->size), table, &why))
    Fail(ErrorKind::UnreadableData, DescribeProblem(t->file, why));
  return table;
}

std::vector<std::string> ShippedStore::List() const {
  std::vector<std::string> files;
  for (const ShippedTable& t : ShippedTables()) files.push_back(t.file);
  return files;
}

void ShippedStore::Write(const std::string& file, const ScatteringTable&, bool, bool) {
  Fail(ErrorKind::Io, file + ": the shipped tables cannot be changed");
}

void AddShippedTables(MemoryStore& store) {
  for (const ShippedTable& t : ShippedTables()) store.AddShipped(t.file, std::string(t.bytes, t.size));
}

// The names of the tables found: the folder's and the shipped ones, in the
// lists' order, a name in both once.
std::vector<std::string> TableNames(const std::string& folder) {
  std::vector<std::string> files = ListTableFiles(folder);
  for (const ShippedTable& t : ShippedTables()) files.push_back(t.file);
  std::vector<std::string> names;
  for (const std::string& f : files) names.push_back(TableDisplayName(f));
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return AsciiLower(a) < AsciiLower(b); });
  names.erase(std::unique(names.begin(), names.end(),
                          [](const std::string& a, const std::string& b) { return SameTableName(a, b); }),
              names.end());
  return names;
}

const ShippedStore& Shipped() {
  static const ShippedStore store;
  return store;
}

}  // namespace yex
