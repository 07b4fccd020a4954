// The numeric value of a text: the rule used for table fields and for every
// number a user types.
#pragma once

#include <string_view>

namespace yex {

// Reads the leading number of `text`: blanks (space, tab, LF) are skipped
// anywhere, "." is always the decimal point, an exponent may start with E or
// D, "&H"/"&O" introduce hexadecimal/octal integers. Parsing stops at the
// first character that does not fit; no number gives 0. Never fails; a
// magnitude beyond the double range gives an infinity.
double NumericValue(std::string_view text);

}  // namespace yex
