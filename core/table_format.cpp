#include "core/table_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "core/numeric.h"

namespace yex {
namespace {

std::string_view Slice(std::string_view line, std::size_t start1, std::size_t len) {
  std::size_t start = start1 - 1;
  if (start >= line.size()) return {};
  return line.substr(start, len);
}

}  // namespace

TableRow ParseTableLine(std::string_view line) {
  TableRow r;
  r.x = NumericValue(Slice(line, 1, 10));
  r.f = NumericValue(Slice(line, 11, 12));
  r.s = NumericValue(Slice(line, 23, 12));
  return r;
}

std::string FormatTableField(double value, int digits) {
  if (!std::isfinite(value)) throw std::domain_error("value without a table text");
  const std::size_t width = static_cast<std::size_t>(digits) + 7;
  std::string body;
  if (value == 0.0) {
    body = "." + std::string(static_cast<std::size_t>(digits), '0') + "E+00";
  } else {
    // printf rounds to `digits` significant digits (carry included) as d.ddd;
    // moving the point left raises the exponent by one.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, std::fabs(value));
    std::string mant;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
      if (*p != '.') mant += *p;
    int exp = std::atoi(p + 1) + 1;
    char ebuf[16];
    std::snprintf(ebuf, sizeof ebuf, "E%c%02d", exp < 0 ? '-' : '+', std::abs(exp));
    body = (value < 0 ? "-." : ".") + mant + ebuf;
  }
  if (body.size() < width) body.insert(0, width - body.size(), ' ');
  return body;
}

std::string FormatTableLine(double x, double f, double s) {
  return FormatTableField(x, 3) + FormatTableField(f, 5) + FormatTableField(s, 5);
}

std::string FormatDisplay(double value, int decimals) {
  if (!std::isfinite(value)) return std::string();  // a box never shows inf or NaN
  if (value == 0.0) value = 0.0;                    // no "-0.00E+00"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", decimals, value);
  return buf;
}

int ParseTableText(std::string_view bytes, ScatteringTable& table) {
  int row = 0;
  std::size_t pos = 0;
  while (row < TableRowCount && pos < bytes.size()) {
    std::size_t lf = bytes.find('\n', pos);
    std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    std::size_t next = lf == std::string_view::npos ? bytes.size() : lf + 1;
    if (lf != std::string_view::npos && end > pos && bytes[end - 1] == '\r') --end;
    std::string_view line = bytes.substr(pos, end - pos);
    ++row;
    table.rowText[row] = std::string(line);
    TableRow r = ParseTableLine(line);
    table.x[row] = r.x;
    table.f[row] = r.f;
    table.s[row] = r.s;
    pos = next;
  }
  return row;
}

std::size_t EndOfLastTableLine(std::string_view bytes) {
  std::size_t pos = 0;
  for (int row = 0; row < TableRowCount; ++row) {
    std::size_t lf = bytes.find('\n', pos);
    if (lf == std::string_view::npos) return std::string_view::npos;
    pos = lf + 1;
  }
  return pos;
}

bool FormatTable(const ScatteringTable& table, std::string* text) {
  text->clear();
  try {
    for (int r = 1; r <= TableRowCount; ++r) {
      *text += FormatTableLine(table.x[r], table.f[r], table.s[r]);
      *text += "\r\n";
    }
  } catch (const std::domain_error&) {
    return false;
  }
  return true;
}

bool RoundAsWritten(ScatteringTable* table) {
  std::string bytes, why;
  return FormatTable(*table, &bytes) && ParseTableBytes(bytes, *table, &why);
}

bool ParseTableBytes(std::string_view bytes, ScatteringTable& table, std::string* reason) {
  const int lines = ParseTableText(bytes, table);
  if (lines >= TableRowCount) return true;
  *reason = "it holds " + std::to_string(lines) + (lines == 1 ? " line" : " lines") + ", a table needs " +
            std::to_string(TableRowCount);
  return false;
}

}  // namespace yex
