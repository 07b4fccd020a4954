#include "core/tables/table_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "core/numbers/numeric.h"

namespace yex {
namespace {

std::string_view Slice(std::string_view line, std::size_t start1, std::size_t len) {
  std::size_t start = start1 - 1;
  if (start >= line.size()) return {};
  return line.substr(start, len);
}

// A line as a message quotes it: printable ASCII as it is, other bytes as
// \xNN, at most 40 characters.
std::string Quoted(std::string_view line) {
  std::string out = "\"";
  std::size_t shown = 0;
  for (const char ch : line) {
    if (shown == 40) {
      out += "...";
      break;
    }
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += ch;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
    ++shown;
  }
  return out + "\"";
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(' ') == std::string_view::npos; }

// A field that is wholly a number: blanks around it, an optional sign,
// digits with at most one ".", an optional exponent (E or D, either case).
bool IsWholeNumber(std::string_view f) {
  std::size_t i = 0, n = f.size();
  while (i < n && f[i] == ' ') ++i;
  while (n > i && f[n - 1] == ' ') --n;
  if (i < n && (f[i] == '+' || f[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < n; ++i) {
    if (f[i] >= '0' && f[i] <= '9') {
      digits = true;
    } else if (f[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i < n && (f[i] == 'E' || f[i] == 'e' || f[i] == 'D' || f[i] == 'd')) {
    ++i;
    if (i < n && (f[i] == '+' || f[i] == '-')) ++i;
    const std::size_t start = i;
    while (i < n && f[i] >= '0' && f[i] <= '9') ++i;
    if (i == start) return false;
  }
  return i == n;
}

constexpr std::size_t kLineWidth = 34;

// One line of a table read strictly; false with the reason.
bool StrictRow(std::string_view line, TableRow* row, std::string* why) {
  const struct {
    const char* name;
    std::size_t start, width;
    double* value;
  } fields[] = {{"x", 1, 10, &row->x}, {"F", 11, 12, &row->f}, {"S", 23, 12, &row->s}};
  // A line of the table's width with a stray character names its field;
  // anything else is no table line at all.
  const bool tableWidth = line.size() >= kLineWidth && IsBlank(line.substr(kLineWidth));
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char ch = line[i];
    const bool fits = ch == ' ' || ch == '.' || ch == '+' || ch == '-' || (ch >= '0' && ch <= '9') ||
                      ch == 'E' || ch == 'e' || ch == 'D' || ch == 'd';
    if (fits) continue;
    if (!tableWidth || i >= kLineWidth) {
      *why = Quoted(line) + " is not a table line";
      return false;
    }
    const auto& f = fields[i < 10 ? 0 : i < 22 ? 1 : 2];
    *why = std::string(f.name) + " " + Quoted(Slice(line, f.start, f.width)) + " is not a number";
    return false;
  }
  if (IsBlank(line)) {
    *why = "the line is blank; a table has 45 lines and no blank one among them";
    return false;
  }
  if (!tableWidth) {
    *why = Quoted(line) + " is not a table line of " + std::to_string(kLineWidth) + " characters";
    return false;
  }
  for (const auto& f : fields) {
    const std::string_view text = Slice(line, f.start, f.width);
    if (!IsWholeNumber(text)) {
      *why = std::string(f.name) + " " + Quoted(text) + " is not a number";
      return false;
    }
    *f.value = NumericValue(text);
    if (!std::isfinite(*f.value)) {
      *why = std::string(f.name) + " " + Quoted(text) + " is beyond the range of numbers";
      return false;
    }
    if (std::fabs(*f.value) > kMaxTableValue) {
      *why = std::string(f.name) + " " + Quoted(text) + " is above " + ShortestText(kMaxTableValue) +
             ", the largest value a table may hold (F is squared and summed)";
      return false;
    }
  }
  for (const auto& f : fields)
    if (*f.value < 0) {
      *why = std::string(f.name) + " is negative";
      return false;
    }
  return true;
}

}  // namespace

std::string DescribeProblem(const std::string& where, const TableProblem& p) {
  if (p.line == 0) return where + ": " + p.reason;
  return where + " line " + std::to_string(p.line) + ": " + p.reason;
}

bool ParseTableStrict(std::string_view bytes, ScatteringTable& table, TableProblem* problem) {
  if (table.rows() != TableRowCount) table.Resize(TableRowCount);
  if (bytes.size() > kMaxTableFileBytes) {
    *problem = {0, "it holds " + std::to_string(bytes.size()) + " bytes, far more than a table of 45 lines"};
    return false;
  }
  std::size_t pos = 0;
  int line = 0;
  double lastX = 0.0;
  while (pos < bytes.size()) {
    const std::size_t lf = bytes.find('\n', pos);
    std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    const std::size_t next = lf == std::string_view::npos ? bytes.size() : lf + 1;
    if (lf != std::string_view::npos && end > pos && bytes[end - 1] == '\r') --end;
    const std::string_view text = bytes.substr(pos, end - pos);
    pos = next;
    ++line;
    if (line > TableRowCount) {
      if (IsBlank(text)) continue;
      *problem = {line, Quoted(text) + " follows the 45 lines of the table"};
      return false;
    }
    TableRow r;
    std::string why;
    if (!StrictRow(text, &r, &why)) {
      *problem = {line, why};
      return false;
    }
    if (line > 1 && !(r.x > lastX)) {
      *problem = {line, "x is not above the x of line " + std::to_string(line - 1) + "; x must ascend"};
      return false;
    }
    lastX = r.x;
    table.rowText[static_cast<std::size_t>(line)] = std::string(text);
    table.x[static_cast<std::size_t>(line)] = r.x;
    table.f[static_cast<std::size_t>(line)] = r.f;
    table.s[static_cast<std::size_t>(line)] = r.s;
  }
  if (line < TableRowCount) {
    *problem = {0, "it holds " + std::to_string(line) + (line == 1 ? " line" : " lines") +
                       ", a table needs " + std::to_string(TableRowCount)};
    return false;
  }
  return true;
}

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
  if (table.rows() != TableRowCount) table.Resize(TableRowCount);
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
  if (table.rows() != TableRowCount) return false;
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
