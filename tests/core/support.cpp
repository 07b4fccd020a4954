#include "tests/core/support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/table_format.h"

namespace yex::test {

double GridX(int row) {
  if (row < 1 || row > 45) {
    std::fprintf(stderr, "GridX: row %d outside 1..45\n", row);
    std::abort();
  }
  static const double grid[45] = {0,     0.005, 0.01,  0.015, 0.02, 0.025, 0.03, 0.04, 0.05, 0.07, 0.09, 0.1,
                                  0.125, 0.15,  0.175, 0.2,   0.25, 0.3,   0.4,  0.5,  0.6,  0.7,  0.8,  0.9,
                                  1,     1.25,  1.5,   2,     2.5,  3,     3.5,  4,    5,    6,    7,    8,
                                  10,    15,    20,    50,    80,   100,   1000, 1e6,  1e9};
  return grid[row - 1];
}

Row ElementRow(int row, double z) {
  const double x = GridX(row);
  const double f = z / (1.0 + 3.0 * x * x);
  const double s = row == 1 ? 0.0 : z * (1.0 - std::exp(-4.0 * x * x)) + 1e-4 * z;
  return {x, f, s};
}

double LogLog(double x1, double y1, double x2, double y2, double q) {
  return y1 * std::pow(q / x1, std::log(y2 / y1) / std::log(x2 / x1));
}

std::string TableText(const std::function<Row(int)>& row, int lines) {
  std::string out;
  for (int r = 1; r <= lines; ++r) {
    const Row v = row(r);
    out += FormatTableLine(v.x, v.f, v.s) + "\r\n";
  }
  return out;
}

std::vector<Row> ReadBackText(const std::string& bytes) {
  std::vector<Row> rows;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t lf = bytes.find('\n', at);
    if (lf == std::string::npos) lf = bytes.size();
    std::string l = bytes.substr(at, lf - at);
    at = lf + 1;
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (l.empty()) continue;
    auto field = [&](std::size_t start, std::size_t len) {
      return start < l.size() ? std::strtod(l.substr(start, len).c_str(), nullptr) : 0.0;
    };
    rows.push_back({field(0, 10), field(10, 12), field(22, 12)});
  }
  return rows;
}

}  // namespace yex::test
