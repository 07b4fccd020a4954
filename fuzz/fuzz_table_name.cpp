// A name accepted for a new table can never leave the data folder.
#include <cstdlib>
#include <string_view>

#include "core/tables/table_name.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  if (!yex::IsCreatableTableName(name)) return 0;
  if (name.empty() || name == "." || name == ".." || name.find('/') != name.npos ||
      name.find('\\') != name.npos || name.find('\0') != name.npos)
    std::abort();
  return 0;
}
