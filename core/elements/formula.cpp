#include "core/elements/formula.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/elements/elements.h"
#include "core/error.h"
#include "core/numbers/numeric.h"

namespace yex {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : t_(text) {}

  FormulaResult Run() {
    FormulaResult r;
    if (t_.empty()) return Fail("the formula is empty");
    std::vector<FormulaPart> all;
    for (;;) {
      const std::size_t start = i_;
      double multiplier = 1.0;
      if (i_ < t_.size() && IsDigit(t_[i_])) {
        if (!Number(&multiplier)) return Fail(error_);
        if (multiplier <= 0)
          return Fail("the count at position " + std::to_string(start + 1) + " is not positive");
      }
      std::vector<FormulaPart> part;
      if (!Sequence(&part, 0)) return Fail(error_);
      if (part.empty()) {
        if (i_ < t_.size())
          return Fail("unexpected \"" + Token() + "\" at position " + std::to_string(i_ + 1));
        return Fail("nothing to count after position " + std::to_string(start));
      }
      for (const FormulaPart& p : part)
        if (!Add(&all, p.symbol, p.count * multiplier))
          return Fail("the count of " + p.symbol + " is too large");
      if (i_ == t_.size()) break;
      if (HydrateDot()) continue;
      return Fail("unexpected \"" + Token() + "\" at position " + std::to_string(i_ + 1));
    }
    r.ok = true;
    r.parts = all;
    r.note = note_;
    return r;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
  static bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

  FormulaResult Fail(const std::string& why) {
    FormulaResult r;
    r.error = why;
    return r;
  }

  std::string Token() const {
    // One character, or the whole UTF-8 sequence starting here.
    std::size_t n = 1;
    while (i_ + n < t_.size() && (static_cast<unsigned char>(t_[i_ + n]) & 0xC0) == 0x80) ++n;
    return std::string(t_.substr(i_, n));
  }

  bool HydrateDot() {
    if (t_[i_] == '*') {
      ++i_;
      return true;
    }
    for (std::string_view dot : {"\xC2\xB7", "\xE2\x8B\x85", "\xE2\x80\xA2"}) {  // · ⋅ •
      if (t_.substr(i_, dot.size()) == dot) {
        i_ += dot.size();
        return true;
      }
    }
    return false;
  }

  // Adds `count` atoms of `symbol`; false when the total is no longer a
  // finite number (counts multiplied through nested groups can overflow).
  static bool Add(std::vector<FormulaPart>* parts, const std::string& symbol, double count) {
    if (!std::isfinite(count)) return false;
    for (FormulaPart& p : *parts)
      if (p.symbol == symbol) {
        p.count += count;
        return std::isfinite(p.count);
      }
    parts->push_back({symbol, count});
    return true;
  }

  bool Number(double* out) {
    const std::size_t start = i_;
    while (i_ < t_.size() && IsDigit(t_[i_])) ++i_;
    if (i_ < t_.size() && t_[i_] == '.') {
      ++i_;
      if (i_ == t_.size() || !IsDigit(t_[i_])) {
        error_ = "a decimal point without digits at position " + std::to_string(i_);
        return false;
      }
      while (i_ < t_.size() && IsDigit(t_[i_])) ++i_;
    }
    // Not strtod: a program that set a locale would read "0.95" as 0 there.
    const std::string_view text = t_.substr(start, i_ - start);
    const bool read = ParseWholeNumber(text, out);
    if (!read || !std::isfinite(*out)) {
      error_ = "the count at position " + std::to_string(start + 1) + " is too large";
      return false;
    }
    return true;
  }

  // Elements and groups up to the end, a closing bracket or a hydrate dot.
  bool Sequence(std::vector<FormulaPart>* out, int depth) {
    if (depth > 32) {
      error_ = "parentheses nested too deeply";
      return false;
    }
    while (i_ < t_.size()) {
      const char c = t_[i_];
      const std::size_t start = i_;
      std::vector<FormulaPart> unit;
      if (c == '(' || c == '[') {
        const char close = c == '(' ? ')' : ']';
        ++i_;
        if (!Sequence(&unit, depth + 1)) return false;
        if (i_ == t_.size() || t_[i_] != close) {
          error_ = std::string("unbalanced \"") + c + "\" at position " + std::to_string(start + 1);
          return false;
        }
        if (unit.empty()) {
          error_ = "empty group at position " + std::to_string(start + 1);
          return false;
        }
        ++i_;
      } else if (IsUpper(c)) {
        ++i_;
        while (i_ < t_.size() && IsLower(t_[i_])) ++i_;
        const std::string symbol(t_.substr(start, i_ - start));
        if (AtomicNumber(symbol) == 0) {
          error_ = IsHeavierElement(symbol)
                       ? symbol + " at position " + std::to_string(start + 1) +
                             " has no shipped table (the tables cover H to Cf)"
                       : "unknown element symbol \"" + symbol + "\" at position " + std::to_string(start + 1);
          return false;
        }
        unit.push_back({symbol, 1.0});
      } else if (c == ')' || c == ']') {
        if (depth == 0) {
          error_ = std::string("unbalanced \"") + c + "\" at position " + std::to_string(start + 1);
          return false;
        }
        return true;
      } else {
        return true;  // the caller decides about anything else
      }
      double count = 1.0;
      if (i_ < t_.size() && IsDigit(t_[i_])) {
        const std::size_t at = i_;
        if (!Number(&count)) return false;
        if (count <= 0) {
          error_ = "the count at position " + std::to_string(at + 1) + " is not positive";
          return false;
        }
        // "CuSO4.5H2O": a whole count, a point, and digits leading what
        // follows read as a hydrate written with a period.
        const std::string_view written = t_.substr(at, i_ - at);
        if (note_.empty() && written.find('.') != std::string_view::npos && written[0] != '0' &&
            i_ < t_.size() && (IsUpper(t_[i_]) || t_[i_] == '('))
          note_ = "\".\" is a decimal point; write a hydrate with \"*\" or \"\xC2\xB7\" (read here: " +
                  std::string(t_.substr(start, i_ - start)) + ")";
      }
      for (const FormulaPart& p : unit)
        if (!Add(out, p.symbol, p.count * count)) {
          error_ = "the count of " + p.symbol + " is too large";
          return false;
        }
    }
    return true;
  }

  // The elements past Cf, which have no table.
  static bool IsHeavierElement(const std::string& s) {
    for (const char* e : {"Es", "Fm", "Md", "No", "Lr", "Rf", "Db", "Sg", "Bh", "Hs",
                          "Mt", "Ds", "Rg", "Cn", "Nh", "Fl", "Mc", "Lv", "Ts", "Og"})
      if (s == e) return true;
    return false;
  }

  std::string_view t_;
  std::size_t i_ = 0;
  std::string error_;
  std::string note_;  // a reading that may not be what was meant
};

}  // namespace

FormulaResult ParseFormula(std::string_view formula) { return Parser(formula).Run(); }

FormulaResult ReadFormula(std::string_view formula) {
  FormulaResult f = ParseFormula(formula);
  if (f.ok) return f;
  std::string message = "formula " + std::string(formula) + ": " + f.error;
  if (const int z = ElementOfTableName(std::string(formula)))
    message += "; for the element write " + std::string(ElementSymbol(z)) + " (symbols are case-sensitive)";
  Fail(ErrorKind::Usage, message);
}

}  // namespace yex
