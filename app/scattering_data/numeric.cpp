#include "app/scattering_data/numeric.h"

#include <locale.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace yex {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtod in the "C" locale whatever the process locale is.
double ParseCanonical(const std::string& s) {
  static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return strtod_l(s.c_str(), nullptr, cLocale);
}

class Cursor {
 public:
  explicit Cursor(std::string_view t) : t_(t) {}
  // Next non-blank character, or '\0' at the end.
  char peek() {
    while (i_ < t_.size() && IsBlank(t_[i_])) ++i_;
    return i_ < t_.size() ? t_[i_] : '\0';
  }
  void next() { ++i_; }

 private:
  std::string_view t_;
  std::size_t i_ = 0;
};

double RadixInteger(Cursor& c, int radix) {
  double v = 0.0;
  for (;;) {
    char ch = c.peek();
    int d;
    if (IsDigit(ch))
      d = ch - '0';
    else if (ch >= 'a' && ch <= 'f')
      d = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F')
      d = ch - 'A' + 10;
    else
      break;
    if (d >= radix) break;
    v = v * radix + d;
    c.next();
  }
  return v;
}

}  // namespace

double NumericValue(std::string_view text) {
  Cursor c(text);
  if (c.peek() == '&') {
    c.next();
    char kind = c.peek();
    if (kind == 'H' || kind == 'h') {
      c.next();
      return RadixInteger(c, 16);
    }
    if (kind == 'O' || kind == 'o') {
      c.next();
      return RadixInteger(c, 8);
    }
    return 0.0;
  }

  std::string num;
  char ch = c.peek();
  if (ch == '+' || ch == '-') {
    num += ch;
    c.next();
  }
  bool digits = false, point = false;
  for (ch = c.peek(); ch != '\0'; ch = c.peek()) {
    if (IsDigit(ch)) {
      digits = true;
    } else if (ch == '.' && !point) {
      point = true;
    } else {
      break;
    }
    num += ch;
    c.next();
  }
  if (!digits) return 0.0;

  ch = c.peek();
  if (ch == 'E' || ch == 'e' || ch == 'D' || ch == 'd') {
    c.next();
    char sign = '+';
    ch = c.peek();
    if (ch == '+' || ch == '-') {
      sign = ch;
      c.next();
    }
    bool expDigits = false;
    std::string exp;  // without leading zeros
    for (ch = c.peek(); IsDigit(ch); ch = c.peek()) {
      expDigits = true;
      if (!(exp.empty() && ch == '0')) exp += ch;
      c.next();
    }
    // A bare "E" adds nothing; a huge exponent is clipped far past the double
    // range so the result is still an infinity or zero.
    if (expDigits) {
      if (exp.empty()) exp = "0";
      if (exp.size() > 6) exp = "999999";
      num += 'e';
      num += sign;
      num += exp;
    }
  }
  return ParseCanonical(num);
}

}  // namespace yex
