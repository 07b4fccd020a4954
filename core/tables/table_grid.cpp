#include "core/tables/table_grid.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/error.h"
#include "core/numbers/numeric.h"
#include "core/tables/table_file.h"

namespace yex {

bool CheckGridTable(const ScatteringTable& t, TableProblem* problem) {
  const int rows = t.rows();
  if (rows < 2 || rows > kMaxGridRows) {
    *problem = {0, "it holds " + std::to_string(rows) + (rows == 1 ? " row" : " rows") +
                       ", a table needs 2 to " + std::to_string(kMaxGridRows)};
    return false;
  }
  const char* names[] = {"x", "F", "S"};
  for (int r = 1; r <= rows; ++r) {
    const double values[] = {t.x[r], t.f[r], t.s[r]};
    for (int c = 0; c < 3; ++c) {
      const double v = values[c];
      std::string why;
      if (!std::isfinite(v))
        why = " is not a finite number";
      else if (std::fabs(v) > kMaxTableValue)
        why = " is above " + ShortestText(kMaxTableValue) +
              ", the largest value a table may hold (F is squared and summed)";
      else if (v < 0)
        why = " is negative";
      if (!why.empty()) {
        *problem = {r, std::string(names[c]) + " " + (std::isfinite(v) ? ShortestText(v) : "") + why};
        if (!std::isfinite(v)) problem->reason = std::string(names[c]) + why;
        return false;
      }
    }
    if (r == 1 && t.x[1] != 0.0) {
      *problem = {1, "x is " + ShortestText(t.x[1]) + "; a table's x starts at 0"};
      return false;
    }
    if (r > 1 && !(t.x[r] > t.x[r - 1])) {
      *problem = {r, "x is not above the x of row " + std::to_string(r - 1) + "; x must ascend"};
      return false;
    }
  }
  return true;
}

namespace {

[[noreturn]] void Refuse(const std::string& where, const char* unit, const TableProblem& p) {
  if (p.line == 0) Fail(ErrorKind::Usage, where + ": " + p.reason);
  Fail(ErrorKind::Usage, where + " " + unit + " " + std::to_string(p.line) + ": " + p.reason);
}

}  // namespace

ScatteringTable GridTable(const double* x, const double* f, const double* s, std::size_t n,
                          const std::string& name) {
  if (n > static_cast<std::size_t>(kMaxGridRows))
    Fail(ErrorKind::Usage, name + ": it holds " + std::to_string(n) + " rows, a table needs 2 to " +
                               std::to_string(kMaxGridRows));
  ScatteringTable t;
  t.Resize(static_cast<int>(n));
  for (std::size_t i = 0; i < n; ++i) {
    t.x[i + 1] = x[i];
    t.f[i + 1] = f[i];
    t.s[i + 1] = s[i];
  }
  TableProblem problem;
  if (!CheckGridTable(t, &problem)) Refuse(name, "row", problem);
  return t;
}

ScatteringTable ReadCsvTable(std::string_view text, const std::string& where) {
  std::vector<double> x, f, s;
  // Which file line each row came from, for the messages.
  std::vector<std::int64_t> lineOf;
  std::int64_t line = 0;
  bool seen = false;
  // A UTF-8 byte order mark, as spreadsheets write one, is no part of the first field.
  std::size_t pos = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view l = text.substr(pos, end - pos);
    pos = end + 1;
    ++line;
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    std::size_t first = l.find_first_not_of(" \t");
    if (first == std::string_view::npos || l[first] == '#') continue;
    const auto fail = [&](const std::string& why) {
      Fail(ErrorKind::Usage, where + " line " + std::to_string(line) + ": " + why);
    };
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
      const std::size_t sep = l.find_first_of(",\t", from);
      fields.push_back(l.substr(from, sep == std::string_view::npos ? std::string_view::npos : sep - from));
      if (sep == std::string_view::npos) break;
      from = sep + 1;
    }
    if (!seen && IsAsciiLetter(l[first])) {  // the header: "x,F,S", "x,F(C),S(C)"
      seen = true;
      if (fields.size() != 3)
        fail("the header names " + std::to_string(fields.size()) +
             (fields.size() == 1 ? " column" : " columns") +
             ", not the three x,F,S (commas or tabs between them)");
      continue;
    }
    seen = true;
    if (fields.size() != 3)
      fail(std::to_string(fields.size()) + (fields.size() == 1 ? " field" : " fields") +
           ", not the three x,F,S (commas or tabs between them)");
    double v[3];
    for (int c = 0; c < 3; ++c) {
      const std::optional<double> n = NumberText(fields[static_cast<std::size_t>(c)]);
      if (!n)
        fail(std::string(c == 0   ? "x"
                         : c == 1 ? "F"
                                  : "S") +
             " \"" + std::string(fields[std::size_t(c)]) +
             "\": " + NumberProblem(fields[static_cast<std::size_t>(c)]));
      v[c] = *n;
    }
    if (x.size() >= static_cast<std::size_t>(kMaxGridRows))
      fail("more than " + std::to_string(kMaxGridRows) + " rows, the most a table may hold");
    x.push_back(v[0]);
    f.push_back(v[1]);
    s.push_back(v[2]);
    lineOf.push_back(line);
  }
  ScatteringTable t;
  t.Resize(static_cast<int>(x.size()));
  for (std::size_t i = 0; i < x.size(); ++i) t.x[i + 1] = x[i], t.f[i + 1] = f[i], t.s[i + 1] = s[i];
  TableProblem problem;
  if (!CheckGridTable(t, &problem)) {
    if (problem.line > 0) problem.line = static_cast<int>(lineOf[static_cast<std::size_t>(problem.line - 1)]);
    Refuse(where, "line", problem);
  }
  return t;
}

std::string CsvTableName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.erase(dot);
  return base;
}

ScatteringTable ReadCsvTableFile(const std::string& path) {
  if (!IsThere(path)) Fail(ErrorKind::MissingTable, "no table " + path);
  if (!IsFile(path)) Fail(ErrorKind::Usage, path + ": not a file");
  errno = 0;
  std::FILE* file = OpenFile(path, "rb");
  if (!file) Fail(ErrorKind::Io, path + ": " + SystemReason(errno));
  std::string bytes;
  char buf[1 << 16];
  std::size_t got;
  // Room for the most rows at a generous width; more is no table.
  constexpr std::size_t kMaxBytes = std::size_t{256} << 20;
  while ((got = std::fread(buf, 1, sizeof buf, file)) > 0 && bytes.size() <= kMaxBytes)
    bytes.append(buf, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) Fail(ErrorKind::Io, path + ": it could not be read");
  if (bytes.size() > kMaxBytes) Fail(ErrorKind::Usage, path + ": larger than any table of x,F,S");
  return ReadCsvTable(bytes, path);
}

std::string TableFileMisfit(const ScatteringTable& t) {
  if (t.rows() != TableRowCount)
    return "it holds " + std::to_string(t.rows()) + " rows, and a table file holds " +
           std::to_string(TableRowCount);
  ScatteringTable written = t;
  if (!RoundAsWritten(&written)) return "a value is not a finite number";
  const char* names[] = {"x", "F", "S"};
  for (int r = 1; r <= TableRowCount; ++r) {
    const double before[] = {t.x[r], t.f[r], t.s[r]}, after[] = {written.x[r], written.f[r], written.s[r]};
    for (int c = 0; c < 3; ++c)
      if (std::memcmp(&before[c], &after[c], sizeof(double)) != 0)
        return "row " + std::to_string(r) + ": " + names[c] + " " + ShortestText(before[c]) +
               " would be written as " + ShortestText(after[c]) +
               " (a table file holds x to 3 digits, F and S to 5)";
  }
  return {};
}

}  // namespace yex
