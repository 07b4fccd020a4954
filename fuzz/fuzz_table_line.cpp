// Any line parses; any finite row it yields is written in 34 characters and
// reads back to the rounded values.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/tables/table_format.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const yex::TableRow r = yex::ParseTableLine(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!std::isfinite(r.x) || !std::isfinite(r.f) || !std::isfinite(r.s)) return 0;
  const std::string line = yex::FormatTableLine(r.x, r.f, r.s);
  if (line.size() != 34) std::abort();
  const yex::TableRow back = yex::ParseTableLine(line);
  // Written again, the read-back values give the very same line.
  if (yex::FormatTableLine(back.x, back.f, back.s) != line) std::abort();
  return 0;
}
