// Chemical formulas: H2O, Ca5(PO4)3OH, CuSO4·5H2O, Fe0.95O.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yex {

struct FormulaPart {
  std::string symbol;
  double count;
};

struct FormulaResult {
  bool ok = false;
  std::vector<FormulaPart> parts;  // in order of first appearance, merged
  std::string error;               // what is wrong, naming the token
  std::string note;                // read as written but perhaps not as meant
};

// Element symbols (H to Cf) with optional counts, nested () or [] groups
// with counts, and hydrate parts after "*", "·", "⋅" or "•" with a leading
// count. "." is always a decimal point (Fe0.95O); where a whole count and a
// point lead into more elements (CuSO4.5H2O, read as O4.5 H2 O) the result
// carries a note saying so.
FormulaResult ParseFormula(std::string_view formula);

// A string where a formula is expected, read once by this rule everywhere:
// case-sensitively, an element's symbol being a one-atom formula ("CO" is
// carbon monoxide, "Co" cobalt). Usage "formula TEXT: WHAT" otherwise; where
// the text names an element's table in another case ("fe", "Fe.yex") the
// message says how to write it.
FormulaResult ReadFormula(std::string_view formula);

}  // namespace yex
