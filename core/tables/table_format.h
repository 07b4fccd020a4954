// The 45-line fixed-column table format and the display patterns.
#pragma once

#include <string>
#include <string_view>

#include "core/tables/table.h"

namespace yex {

struct TableRow {
  double x = 0.0;
  double f = 0.0;
  double s = 0.0;
};

// Columns 1-10 are x, 11-22 F, 23-34 S; a short line yields 0 for what is
// missing.
TableRow ParseTableLine(std::string_view line);

// "  .000E+00" (digits = 3) or "  .00000E+00" (digits = 5). A negative value
// takes the place of one leading blank and a three-digit exponent that of
// another, so the field keeps its width and reads back to the same value.
// Throws std::domain_error for an infinity or NaN: such a value has no text.
std::string FormatTableField(double value, int digits);

// The 34-character line x, F, S.
std::string FormatTableLine(double x, double f, double s);

// The display patterns: decimals = 2 gives "0.00E+00", 4 gives "0.0000E+00".
// A value that is not finite gives the empty string.
std::string FormatDisplay(double value, int decimals);
inline std::string FormatX(double v) { return FormatDisplay(v, 2); }
inline std::string FormatFS(double v) { return FormatDisplay(v, 4); }

// The 45 lines of rows 1..45, each ending in CR LF: the bytes of a saved
// table. False, with `text` unspecified, when a value is not finite (it has
// no text).
bool FormatTable(const ScatteringTable& table, std::string* text);

// The table as its file would hold it: every value rounded to its text and
// read back, the row texts the lines written. False for a value that is not
// finite.
bool RoundAsWritten(ScatteringTable* table);

// Rows 1..45 of `table` from file content, as reading a table file does:
// false with a short English reason when there are fewer than 45 lines.
bool ParseTableBytes(std::string_view bytes, ScatteringTable& table, std::string* reason);

// What is wrong with a table file: the line (0 for the file as a whole) and
// why.
struct TableProblem {
  int line = 0;
  std::string reason;
};
// "WHERE line 3: REASON", or "WHERE: REASON" for the file as a whole.
std::string DescribeProblem(const std::string& where, const TableProblem& p);

// The most a table file may hold when read strictly: 45 lines of 34
// characters and generous room for blank lines after them.
constexpr std::size_t kMaxTableFileBytes = 64 * 1024;

// The largest x, F or S a table read strictly may hold. No atom or
// compound comes near it, and F squared and summed over many constituents,
// or integrated for a cross section, stays a finite number.
constexpr double kMaxTableValue = 1e100;

// Rows 1..45 from file content, read strictly, as everything that hands
// numbers on reads a table: exactly 45 lines (LF or CR LF; a final line end
// and blank lines after the 45th aside), each 34 characters (blanks after
// them aside) whose three fields are wholly numbers by the format's columns,
// every value finite and at most kMaxTableValue, x ascending, F and S not negative. False with the
// line and the reason otherwise.
bool ParseTableStrict(std::string_view bytes, ScatteringTable& table, TableProblem* problem);

// Splits file content into lines: LF ends a line and a CR just before it is
// not part of the text; text after the last LF is a line of its own when not
// empty. Fills rows 1..45 of `table` from the first 45 lines and returns the
// number of lines found (up to 45).
int ParseTableText(std::string_view bytes, ScatteringTable& table);

// The end of the 45th line in `bytes`, or npos when there are fewer; lets a
// reader stop without loading the rest of a large file.
std::size_t EndOfLastTableLine(std::string_view bytes);

}  // namespace yex
