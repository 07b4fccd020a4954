#include <algorithm>

#include "core/shipped_tables.h"
#include "core/table_file.h"
#include "core/table_format.h"
#include "core/table_name.h"

namespace yex {
namespace {

std::string WithExtension(const std::string& typed) {
  return typed.size() >= 4 && AsciiLower(typed.substr(typed.size() - 4)) == ".yex" ? typed : typed + ".yex";
}

}  // namespace

const ShippedTable* ShippedStore::Find(const std::string& typed) const {
  const std::string file = AsciiLower(WithExtension(typed));
  for (const ShippedTable& t : ShippedTables())
    if (AsciiLower(t.file) == file) return &t;
  return nullptr;
}

std::string ShippedStore::Resolve(const std::string& typed) const {
  if (const ShippedTable* t = Find(typed)) return t->file;
  const std::string file = WithExtension(typed);
  if (!IsCreatableTableName(file)) Fail(ErrorKind::Usage, "\"" + typed + "\" is not a table name");
  return file;
}

ScatteringTable ShippedStore::Load(const std::string& file) const {
  const ShippedTable* t = Find(file);
  if (!t) Fail(ErrorKind::MissingTable, "no table " + file);
  ScatteringTable table;
  std::string why;
  if (!ParseTableBytes(std::string_view(t->bytes, t->size), table, &why))
    Fail(ErrorKind::UnreadableData, why);
  return table;
}

// The names of the tables found: the folder's and the shipped ones, in the
// lists' order.
std::vector<std::string> TableNames(const std::string& folder) {
  std::vector<std::string> files = ListTableFiles(folder);
  for (const ShippedTable& t : ShippedTables()) files.push_back(t.file);
  std::vector<std::string> names;
  for (const std::string& f : files) names.push_back(TableDisplayName(f));
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return AsciiLower(a) < AsciiLower(b); });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

const ShippedStore& Shipped() {
  static const ShippedStore store;
  return store;
}

}  // namespace yex
