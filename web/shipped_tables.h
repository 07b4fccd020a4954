// The shipped element tables, built into the page byte for byte.
#pragma once

#include <cstddef>
#include <vector>

namespace yex::web {

struct ShippedTable {
  const char* file;   // "C.yex"
  const char* bytes;  // the file's content
  std::size_t size;
};

// Generated from data/YEX-data at build time.
const std::vector<ShippedTable>& ShippedTables();

}  // namespace yex::web
