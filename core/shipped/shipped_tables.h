// The shipped element tables (H to Cf), built into a program byte for byte:
// the page and the Python package need no data folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/tables/table_store.h"

namespace yex {

struct ShippedTable {
  const char* file;   // "C.yex"
  const char* bytes;  // the file's content
  std::size_t size;
};

// Generated from data/YEX-data at build time (tools/embed_tables.py).
const std::vector<ShippedTable>& ShippedTables();

// The shipped tables as a store; found as a data folder finds its tables
// ("C", "C.yex", "c.YEX"). Nothing is saved into it.
class ShippedStore : public TableStore {
 public:
  ScatteringTable Load(const std::string& file) const override;
  std::string Describe(const std::string& file) const override { return file; }
  std::vector<std::string> List() const override;
  std::optional<std::string> Origin() const override { return "tables: built in"; }
  // The shipped table a typed name means, or nothing.
  const ShippedTable* Find(const std::string& typed) const;

 protected:
  void Write(const std::string& file, const ScatteringTable& table, bool replace, bool exists) override;
};
const ShippedStore& Shipped();

// Puts every shipped table into `store`.
void AddShippedTables(MemoryStore& store);

// The names of a folder's tables and the shipped ones, without ".yex", in
// the lists' order; a name in both once.
std::vector<std::string> TableNames(const std::string& folder);

}  // namespace yex
