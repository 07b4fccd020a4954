// The numeric value of a text: the rule used for table fields and for every
// number a user types.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yex {

// Reads the leading number of `text`: blanks (space, tab, LF) are skipped
// anywhere, "." is always the decimal point, an exponent may start with E or
// D, "&H"/"&O" introduce hexadecimal/octal integers. Parsing stops at the
// first character that does not fit; no number gives 0. Never fails; a
// magnitude beyond the double range gives an infinity.
double NumericValue(std::string_view text);

}  // namespace yex

namespace yex {

// The shortest text that reads back to the same double, as std::to_chars
// writes it: fixed or scientific ("1e-04", "0.001", "1e+22"), whichever is
// shorter, fixed on a tie; "inf", "-inf", "nan", "-nan". Every front end writes
// numbers meant for other programs through this.
std::string ShortestText(double v);
void AppendShortestText(std::string* line, double v);

// The same text without std::to_chars for floating point (which some
// standard libraries lack, the page's among them); used by ShortestText
// there, and tested against to_chars.
std::string ShortestTextPortable(double v);
void AppendShortestTextPortable(std::string* line, double v);

// The whole of `text` as a decimal number (minus sign, digits, point, exponent:
// no blanks, no hexadecimal, no inf or nan), read in the "C" locale; false
// for anything else or a magnitude beyond the double range. For standard
// libraries without std::from_chars for floating point.
bool ParseWholeNumber(std::string_view text, double* value);

// The words of a line of the built-in data, split at single spaces (runs
// of spaces give no empty words).
std::vector<std::string_view> Words(std::string_view line);
// A to Z or a to z.
inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The double nearest to v's shortest decimal (as ShortestText writes it)
// times 10^places, as reading that decimal with its exponent moved would
// give; without text, by exact integer arithmetic. Nothing where that does
// not reach (digits beyond 2^57, or the decimal more than 19 places from a
// whole number): the caller reads the text then.
std::optional<double> ShiftDecimal(double v, int places);
// The same always: ShiftDecimal, else the text read with its exponent moved.
double MovedDecimal(double v, int places);

// A whole text that is a finite number (blanks around it and a leading +
// allowed), or nothing.
std::optional<double> NumberText(std::string_view text);
// Why text is no number: "not a number", or too large or too small to hold.
std::string NumberProblem(std::string_view text);

}  // namespace yex
