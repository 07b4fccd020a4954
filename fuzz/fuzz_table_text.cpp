// A table read from arbitrary bytes: the line count agrees with the reader's
// early stop, and every row is parsed without failing. Read strictly, bytes
// are a table only when every value is finite, x ascends, F and S are not
// negative, and the main window's reading gives the same rows.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/tables/table_format.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  yex::ScatteringTable t;
  const int lines = yex::ParseTableText(bytes, t);
  if (lines < 0 || lines > yex::TableRowCount) std::abort();
  const std::size_t end = yex::EndOfLastTableLine(bytes);
  if (end != std::string_view::npos) {
    if (lines != yex::TableRowCount) std::abort();
    // Stopping after the 45th line end reads the same table.
    yex::ScatteringTable u;
    if (yex::ParseTableText(bytes.substr(0, end), u) != yex::TableRowCount) std::abort();
    for (int r = 1; r <= yex::TableRowCount; ++r)
      if (u.rowText[r] != t.rowText[r]) std::abort();
  }
  yex::ScatteringTable strict;
  yex::TableProblem problem;
  if (!yex::ParseTableStrict(bytes, strict, &problem)) {
    if (problem.reason.empty() || problem.line < 0) std::abort();
    return 0;
  }
  if (lines != yex::TableRowCount) std::abort();
  for (int r = 1; r <= yex::TableRowCount; ++r) {
    if (!std::isfinite(strict.x[r]) || !(strict.f[r] >= 0) || !(strict.s[r] >= 0)) std::abort();
    if (r > 1 && !(strict.x[r] > strict.x[r - 1])) std::abort();
    if (strict.x[r] != t.x[r] || strict.f[r] != t.f[r] || strict.s[r] != t.s[r]) std::abort();
  }
  return 0;
}
