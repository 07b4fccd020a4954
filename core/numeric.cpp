#include "core/numeric.h"

#include <locale.h>
#ifdef __APPLE__
#include <xlocale.h>
#endif

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#endif

namespace yex {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtod in the "C" locale whatever the process locale is, and where it
// stopped: the one place that names the platform's locale functions
// (strtod_l and newlocale on POSIX, _strtod_l and _create_locale on Windows).
double StrtodC(const char* s, char** end) {
#ifdef _WIN32
  static const _locale_t cLocale = _create_locale(LC_NUMERIC, "C");
  return _strtod_l(s, end, cLocale);
#else
  static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return strtod_l(s, end, cLocale);
#endif
}

double ParseCanonical(const std::string& s) { return StrtodC(s.c_str(), nullptr); }

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

namespace yex {
namespace {

bool ReadsBack(const std::string& text, double v) { return ParseCanonical(text) == v; }

// The decimal digits (no point) and exponent of "%.*e" text: "1.25e-03"
// gives "125" and -3.
void SplitScientific(const std::string& text, std::string* digits, int* exponent) {
  const std::size_t e = text.find('e');
  digits->clear();
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] >= '0' && text[i] <= '9') *digits += text[i];
  *exponent = std::atoi(text.c_str() + e + 1);
}

// Adds `step` (+1 or -1) to the last digit, carrying; false when the digit
// string would change length.
bool StepLastDigit(std::string* digits, int step) {
  for (std::size_t i = digits->size(); i-- > 0;) {
    int d = (*digits)[i] - '0' + step;
    if (d >= 0 && d <= 9) {
      (*digits)[i] = static_cast<char>('0' + d);
      return (*digits)[0] != '0';
    }
    (*digits)[i] = step > 0 ? '0' : '9';
  }
  return false;
}

std::string Scientific(const std::string& digits, int exponent) {
  std::string s(1, digits[0]);
  if (digits.size() > 1) s += '.' + digits.substr(1);
  char e[8];
  std::snprintf(e, sizeof e, "e%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
  return s + e;
}

std::string Fixed(const std::string& digits, int exponent) {
  const int n = static_cast<int>(digits.size());
  if (exponent < 0) return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  if (exponent + 1 >= n) return digits + std::string(static_cast<std::size_t>(exponent + 1 - n), '0');
  return digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
         digits.substr(static_cast<std::size_t>(exponent + 1));
}

}  // namespace

namespace {

// |v|, finite and not 0, from its shortest digits and their exponent: fixed
// or scientific, whichever is shorter, as std::to_chars writes it.
std::string Layout(double a, std::string digits, int exponent) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string fixed = Fixed(digits, exponent);
  const std::string scientific = Scientific(digits, exponent);
  // A whole number written in full is exact: its own digits, not padding.
  if (exponent + 1 > static_cast<int>(digits.size()) && fixed.size() <= scientific.size()) {
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", a);
    fixed = text;
  }
  return scientific.size() < fixed.size() ? scientific : fixed;
}

#if defined(__EMSCRIPTEN__)
// JavaScript's own shortest digits ("5.2e-3"): the same rule as to_chars
// (the fewest digits that read back, the nearest of them), without the
// C library's printf and strtod, which take tens of microseconds a number
// in WebAssembly.
EM_JS(int, yex_shortest_exponential, (double v, char* out), {
  const s = v.toExponential();
  for (let i = 0; i < s.length; i++) HEAPU8[out + i] = s.charCodeAt(i);
  return s.length;
});
#endif

}  // namespace

std::string ShortestTextPortable(double v) {
  if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  const std::string sign = std::signbit(v) ? "-" : "";
  const double a = std::fabs(v);
  if (a == 0.0) return sign + "0";
  // The fewest significant digits that read back, by bisection (17 always
  // do). printf rounds correctly, but next to a power of two the interval
  // that reads back is lopsided, and a neighbour of the rounded digits may
  // read back where they do not.
  std::string digits;
  int exponent = 0;
  const auto attempt = [a](int precision, std::string* d, int* e) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", precision - 1, a);
    SplitScientific(text, d, e);
    if (ReadsBack(Scientific(*d, *e), a)) return true;
    for (int step : {-1, 1}) {
      std::string near = *d;
      if (StepLastDigit(&near, step) && ReadsBack(Scientific(near, *e), a)) {
        *d = near;
        return true;
      }
    }
    return false;
  };
  int lo = 1, hi = 17;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    std::string d;
    int e = 0;
    if (attempt(mid, &d, &e))
      hi = mid;
    else
      lo = mid + 1;
  }
  attempt(lo, &digits, &exponent);
  return sign + Layout(a, digits, exponent);
}

std::string ShortestText(double v) {
#if defined(__cpp_lib_to_chars) || (defined(__GLIBCXX__) && __GNUC__ >= 11)
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
#elif defined(__EMSCRIPTEN__)
  if (!std::isfinite(v) || v == 0.0) return ShortestTextPortable(v);
  char text[40];
  const int n = yex_shortest_exponential(std::fabs(v), text);
  std::string digits;
  int exponent = 0;
  SplitScientific(std::string(text, static_cast<std::size_t>(n)), &digits, &exponent);
  return (std::signbit(v) ? "-" : "") + Layout(std::fabs(v), digits, exponent);
#else
  return ShortestTextPortable(v);
#endif
}

bool ParseWholeNumber(std::string_view text, double* value) {
  if (text.empty() || text[0] == '+') return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')) return false;
  const std::string s(text);
  char* end = nullptr;
  errno = 0;
  *value = StrtodC(s.c_str(), &end);
  // A subnormal result reads; one that underflows to 0 or overflows does not.
  return end == s.c_str() + s.size() && !(errno == ERANGE && (*value == 0.0 || std::isinf(*value)));
}

}  // namespace yex
