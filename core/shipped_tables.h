// The shipped element tables (H to Cf), built into a program byte for byte:
// the page and the Python package need no data folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/report.h"

namespace yex {

struct ShippedTable {
  const char* file;   // "C.yex"
  const char* bytes;  // the file's content
  std::size_t size;
};

// Generated from data/YEX-data at build time (tools/embed_tables.py).
const std::vector<ShippedTable>& ShippedTables();

// The shipped tables as a store; found as a data folder finds its tables
// ("C", "C.yex", "c.YEX").
class ShippedStore : public TableStore {
 public:
  std::string Resolve(const std::string& typed) const override;
  ScatteringTable Load(const std::string& file) const override;
  std::string Describe(const std::string& file) const override { return file; }
  // The file name of a shipped table as typed, or nothing.
  const ShippedTable* Find(const std::string& typed) const;
};
const ShippedStore& Shipped();

// The names of a folder's tables and the shipped ones, without ".yex", in
// the lists' order; a name in both once.
std::vector<std::string> TableNames(const std::string& folder);

}  // namespace yex
