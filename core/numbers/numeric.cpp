#include "core/numbers/numeric.h"

#include <locale.h>

#include "core/numbers/pow10_table.h"
#ifdef __APPLE__
#include <xlocale.h>
#endif

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

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

// Shortest digits by Giulietti's Schubfach method ("The Schubfach way to
// render doubles", 2020): the decimals that read back to v lie in its
// rounding interval; scaled by 10^-k, with k from 2^q, that interval holds at
// most one multiple of ten, and otherwise one or both of two neighbouring
// integers. Products with 10^-k are rounded to odd, which keeps every
// comparison exact.
using U64 = std::uint64_t;

// WebAssembly has 128-bit integers only as a library call that multiplies in
// full; four 32-bit products are quicker there.
U64 MulHigh(U64 a, U64 b) {
#if defined(__SIZEOF_INT128__) && !defined(__wasm__)
  return static_cast<U64>((static_cast<unsigned __int128>(a) * b) >> 64);
#else
  const U64 a0 = a & 0xffffffffu, a1 = a >> 32, b0 = b & 0xffffffffu, b1 = b >> 32;
  const U64 p01 = a0 * b1, p10 = a1 * b0;
  const U64 mid = ((a0 * b0) >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
  return a1 * b1 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
#endif
}

// floor(q log10 2), floor(log10(3/4 2^q)) and floor(e log2 10), exact over
// the exponents a double needs.
int FloorLog10Pow2(int q) { return static_cast<int>((static_cast<std::int64_t>(q) * 661971961083LL) >> 41); }
int FloorLog10ThreeQuartersPow2(int q) {
  return static_cast<int>((static_cast<std::int64_t>(q) * 661971961083LL - 274743187321LL) >> 41);
}
int FloorLog2Pow10(int e) { return static_cast<int>((static_cast<std::int64_t>(e) * 913124641741LL) >> 38); }

// g cp / 2^127, rounded to odd, for g = g1 2^63 + g0.
U64 RoundToOdd(U64 g1, U64 g0, U64 cp) {
  const U64 mask63 = (U64{1} << 63) - 1;
  const U64 z = ((g1 * cp) >> 1) + MulHigh(g0, cp);
  return (MulHigh(g1, cp) + (z >> 63)) | (((z & mask63) + mask63) >> 63);
}

struct Decimal {
  U64 f;  // v = f 10^e
  int e;
};

constexpr int kQMin = -1074;
constexpr U64 kCMin = U64{1} << 52;

// c 2^q, c scaled by 10^-dk for the tiniest subnormals.
Decimal ToDecimal(int q, U64 c, int dk) {
  const U64 out = c & 1;
  const U64 cb = c << 2, cbr = cb + 2;
  U64 cbl;
  int k;
  if (c != kCMin || q == kQMin) {
    cbl = cb - 2;
    k = FloorLog10Pow2(q);
  } else {  // next to a power of two the interval is lopsided
    cbl = cb - 1;
    k = FloorLog10ThreeQuartersPow2(q);
  }
  const int h = q + FloorLog2Pow10(-k) + 2;
  const U64 g1 = detail::kPow10Multipliers[k - detail::kPow10KMin][0];
  const U64 g0 = detail::kPow10Multipliers[k - detail::kPow10KMin][1];
  const U64 vb = RoundToOdd(g1, g0, cb << h);
  const U64 vbl = RoundToOdd(g1, g0, cbl << h);
  const U64 vbr = RoundToOdd(g1, g0, cbr << h);
  const U64 s = vb >> 2;
  if (s >= 10) {
    const U64 sp10 = s / 10 * 10, tp10 = sp10 + 10;
    const bool upin = vbl + out <= sp10 << 2;
    const bool wpin = (tp10 << 2) + out <= vbr;
    if (upin != wpin) return {upin ? sp10 : tp10, k + dk};
  }
  const U64 t = s + 1;
  const bool uin = vbl + out <= s << 2;
  const bool win = (t << 2) + out <= vbr;
  if (uin != win) return {uin ? s : t, k + dk};
  // Both read back: the nearer, the even one on a tie.
  const std::int64_t cmp = static_cast<std::int64_t>(vb - ((s + t) << 1));
  return {cmp < 0 || (cmp == 0 && (s & 1) == 0) ? s : t, k + dk};
}

// |v|'s shortest decimal, v finite and not 0.
Decimal ShortestDecimal(double a) {
  U64 bits;
  std::memcpy(&bits, &a, sizeof bits);
  const U64 t = bits & (kCMin - 1);
  const int bq = static_cast<int>((bits >> 52) & 0x7ff);
  Decimal d;
  if (bq != 0) {
    const int mq = 1075 - bq;
    const U64 c = kCMin | t;
    if (mq > 0 && mq < 53 && ((c >> mq) << mq) == c)
      d = {c >> mq, 0};  // a whole number below 2^53 is its own digits
    else
      d = ToDecimal(-mq, c, 0);
  } else {
    d = t < 3 ? ToDecimal(kQMin, 10 * t, -1) : ToDecimal(kQMin, t, 0);
  }
  while (d.f % 10 == 0) {
    d.f /= 10;
    ++d.e;
  }
  return d;
}

// The decimal digits of f > 0 (at most 17), most significant first; their
// count. In 32-bit pieces two digits at a time: 64-bit division is slow in
// WebAssembly.
int WriteDigits(U64 f, char* out) {
  static const char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char text[24];
  char* end = text + sizeof text;
  char* p = end;
  const auto eight = [&p](std::uint32_t v) {  // exactly eight digits
    for (int i = 0; i < 4; ++i, v /= 100) {
      p -= 2;
      std::memcpy(p, kPairs + 2 * (v % 100), 2);
    }
  };
  std::uint32_t high = 0;
  if (f >= 100000000) {
    const U64 upper = f / 100000000;
    eight(static_cast<std::uint32_t>(f - upper * 100000000));
    if (upper >= 100000000) {
      const std::uint32_t top = static_cast<std::uint32_t>(upper / 100000000);
      eight(static_cast<std::uint32_t>(upper - U64{top} * 100000000));
      high = top;
    } else {
      high = static_cast<std::uint32_t>(upper);
    }
  } else {
    high = static_cast<std::uint32_t>(f);
  }
  do {
    *--p = static_cast<char>('0' + high % 10);
    high /= 10;
  } while (high);
  const int n = static_cast<int>(end - p);
  std::memcpy(out, p, static_cast<std::size_t>(n));
  return n;
}

}  // namespace

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    if (end > at) out.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

std::optional<double> ShiftDecimal(double v, int places) {
  if (!std::isfinite(v)) return std::nullopt;
  if (v == 0.0) return v;
  const Decimal d = ShortestDecimal(std::fabs(v));
  const double sign = v < 0 ? -1.0 : 1.0;
  const int e = d.e + places;
  constexpr U64 k53 = U64{1} << 53;
  static constexpr double kExact[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  // Both operands exact: one correctly rounded operation.
  if (d.f < k53 && e >= 0 && e <= 22) return sign * (static_cast<double>(d.f) * kExact[e]);
  if (d.f < k53 && e < 0 && e >= -22) return sign * (static_cast<double>(d.f) / kExact[-e]);
#if defined(__SIZEOF_INT128__)
  if (e < 0 && e >= -19 && d.f < (U64{1} << 57)) {
    // f 2^s / 10^q with s as large as 128 bits allow: 62 or more bits of
    // quotient, the remainder deciding ties.
    using U128 = unsigned __int128;
    U64 divisor = 1;
    for (int k = 0; k < -e; ++k) divisor *= 10;
    const int s = 63 + __builtin_clzll(d.f);  // d.f's top bit to bit 126
    const U128 n = static_cast<U128>(d.f) << s;
    const U128 q = n / divisor;
    const bool sticky = n - q * divisor != 0;
    const U64 high = static_cast<U64>(q >> 64);
    const int qbits = high ? 128 - __builtin_clzll(high) : 64 - __builtin_clzll(static_cast<U64>(q));
    const int drop = qbits - 53;
    U64 m = static_cast<U64>(q >> drop);
    const U128 rest = q & ((U128{1} << drop) - 1), half = U128{1} << (drop - 1);
    if (rest > half || (rest == half && (sticky || (m & 1)))) ++m;
    return sign * std::ldexp(static_cast<double>(m), drop - s);
  }
#endif
  return std::nullopt;
}

double MovedDecimal(double v, int places) {
  if (const std::optional<double> moved = ShiftDecimal(v, places)) return *moved;
  std::string text = ShortestText(v);
  int exponent = places;
  if (const std::size_t e = text.find('e'); e != std::string::npos) {
    exponent += std::stoi(text.substr(e + 1));
    text.resize(e);
  }
  double out = 0;
  if (!ParseWholeNumber(text + "e" + std::to_string(exponent), &out)) return v;  // inf, nan
  return out;
}

void AppendShortestText(std::string* line, double v) {
#if defined(__cpp_lib_to_chars) || (defined(__GLIBCXX__) && __GNUC__ >= 11)
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  line->append(text, r.ptr);
#else
  AppendShortestTextPortable(line, v);
#endif
}

void AppendShortestTextPortable(std::string* line, double v) {
  if (!std::isfinite(v) || v == 0.0) {
    *line += std::isnan(v)   ? (std::signbit(v) ? "-nan" : "nan")
             : std::isinf(v) ? (v < 0 ? "-inf" : "inf")
                             : (std::signbit(v) ? "-0" : "0");
    return;
  }
  const double a = std::fabs(v);
  const Decimal d = ShortestDecimal(a);
  char digits[20];
  const int n = WriteDigits(d.f, digits);
  const int e = d.e + n - 1;  // the exponent of the first digit
  const int ae = e < 0 ? -e : e;
  const int scientificSize = n + (n > 1) + 2 + (ae >= 100 ? 3 : 2);
  const int fixedSize = e < 0 ? n + 1 - e : e + 1 >= n ? e + 1 : n + 1;
  if (std::signbit(v)) *line += '-';
  if (scientificSize < fixedSize) {
    char text[32];
    int at = 0;
    text[at++] = digits[0];
    if (n > 1) {
      text[at++] = '.';
      for (int i = 1; i < n; ++i) text[at++] = digits[i];
    }
    text[at++] = 'e';
    text[at++] = e < 0 ? '-' : '+';
    if (ae >= 100) text[at++] = static_cast<char>('0' + ae / 100);
    text[at++] = static_cast<char>('0' + ae / 10 % 10);
    text[at++] = static_cast<char>('0' + ae % 10);
    line->append(text, static_cast<std::size_t>(at));
  } else if (e < 0) {
    line->append("0.");
    line->append(static_cast<std::size_t>(-e - 1), '0');
    line->append(digits, static_cast<std::size_t>(n));
  } else if (e + 1 > n) {
    // A whole number written in full is exact: its own digits, not padding.
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", a);
    *line += text;
  } else {
    line->append(digits, static_cast<std::size_t>(e + 1));
    if (e + 1 < n) {
      *line += '.';
      line->append(digits + e + 1, static_cast<std::size_t>(n - e - 1));
    }
  }
}

std::string ShortestTextPortable(double v) {
  std::string s;
  AppendShortestTextPortable(&s, v);
  return s;
}

std::string ShortestText(double v) {
  std::string s;
  AppendShortestText(&s, v);
  return s;
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

std::optional<double> NumberText(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  double v = 0;
  if (!ParseWholeNumber(text, &v) || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string NumberProblem(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  // Digits whose value no double holds: too large, or too small to tell
  // from 0.
  double v = 0;
  if (!text.empty() && text.find_first_not_of("0123456789.eE+-") == std::string_view::npos &&
      !ParseWholeNumber(text, &v) && text.find_first_of("123456789") != std::string_view::npos) {
    const std::string s(text);
    const std::size_t e = s.find_first_of("eE");
    if (e != std::string::npos && e + 1 < s.size() && s.find_first_of("0123456789", e) != std::string::npos) {
      const bool negative = s[e + 1] == '-';
      return negative ? "too small to hold as a number (the least is about 4.9e-324)"
                      : "too large to hold as a number (the largest is about 1.8e308)";
    }
  }
  return "not a number";
}

}  // namespace yex
