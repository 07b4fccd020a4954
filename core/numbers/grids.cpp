#include "core/numbers/grids.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/numbers/numeric.h"

namespace yex {

std::optional<LinearGrid> MakeLinearGrid(double start, double stop, double step, GridProblem* problem) {
  if (!(step > 0)) {
    *problem = GridProblem::StepNotPositive;
    return std::nullopt;
  }
  const double span = (stop - start) / step;
  if (!(span >= -1e-9) || span > kMaxPoints) {
    *problem = span > kMaxPoints ? GridProblem::TooManyPoints : GridProblem::StopBelowStart;
    return std::nullopt;
  }
  // STOP counts when the nearest grid point lies within a relative 1e-9 of it.
  const double k = std::round(span);
  const double nearest = start + k * step;
  const bool onGrid = std::fabs(nearest - stop) <= 1e-9 * std::max(std::fabs(stop), std::fabs(step));
  const double last = onGrid ? k : std::floor(span);
  LinearGrid g;
  g.start = start;
  g.step = step;
  g.count = static_cast<std::int64_t>(last) + 1;
  // START is always the first point: STOP replaces only a later one.
  if (onGrid && last >= 1) g.exactLast = stop;
  return g;
}

namespace {

// A decimal as written: [sign] digits [. digits] [e [sign] digits], as
// mantissa · 10^exponent with at most 18 significant digits; false otherwise.
bool Decimal(std::string_view t, std::int64_t* mantissa, int* exponent) {
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  std::int64_t m = 0;
  int digits = 0, e = 0;
  bool any = false, point = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      any = true;
      if (m == 0 && c == '0') {
        if (point) --e;
        continue;
      }
      if (++digits > 18) return false;
      m = m * 10 + (c - '0');
      if (point) --e;
    } else {
      break;
    }
  }
  if (!any) return false;
  if (i < t.size()) {
    if (t[i] != 'e' && t[i] != 'E') return false;
    ++i;
    bool negativeExponent = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativeExponent = t[i++] == '-';
    int x = 0;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i) {
      if (t[i] < '0' || t[i] > '9' || x > 1000) return false;
      x = x * 10 + (t[i] - '0');
    }
    e += negativeExponent ? -x : x;
  }
  *mantissa = negative ? -m : m;
  *exponent = m == 0 ? 0 : e;
  return true;
}

// m · 10^k as an integer below 2^53, or false.
bool Scaled(std::int64_t m, int k, std::int64_t* out) {
  constexpr std::int64_t kExact = std::int64_t(1) << 53;
  if (k < 0 || k > 18) return m == 0 ? (*out = 0, true) : false;
  for (int j = 0; j < k; ++j) {
    if (m > kExact || m < -kExact) return false;
    m *= 10;
  }
  if (m > kExact || m < -kExact) return false;
  *out = m;
  return true;
}

}  // namespace

void LinearGrid::UseDecimals(std::string_view startText, std::string_view stepText) {
  for (std::string_view* t : {&startText, &stepText}) {
    while (!t->empty() && (t->front() == ' ' || t->front() == '\t')) t->remove_prefix(1);
    while (!t->empty() && (t->back() == ' ' || t->back() == '\t')) t->remove_suffix(1);
  }
  std::int64_t ms = 0, mt = 0;
  int es = 0, et = 0;
  decimal = false;
  if (!Decimal(startText, &ms, &es) || !Decimal(stepText, &mt, &et)) return;
  // 10^d must be an exact double, the division then correctly rounded.
  const int d = std::max({0, -es, -et});
  if (d > 22) return;
  std::int64_t a = 0, b = 0;
  if (!Scaled(ms, d + es, &a) || !Scaled(mt, d + et, &b) || b <= 0) return;
  constexpr double kExact = 9007199254740992.0;  // 2^53
  const double far = std::fabs(static_cast<double>(a)) + static_cast<double>(count) * static_cast<double>(b);
  if (!(far < kExact)) return;
  double s = 1.0;
  for (int j = 0; j < d; ++j) s *= 10.0;
  n0 = a;
  dn = b;
  scale = s;
  decimal = true;
}

std::optional<LogGrid> MakeLogGrid(double start, double stop, double n, double maxCount,
                                   GridProblem* problem) {
  if (!(start > 0) || !(stop > 0)) {
    *problem = GridProblem::NotPositive;
    return std::nullopt;
  }
  if (n != std::floor(n) || n < 2 || n > maxCount) {
    *problem = n > maxCount && n == std::floor(n) ? GridProblem::TooManyPoints : GridProblem::BadCount;
    return std::nullopt;
  }
  LogGrid g;
  g.start = start;
  g.stop = stop;
  g.count = static_cast<std::int64_t>(n);
  g.l0 = Ln(start);
  g.dl = (Ln(stop) - Ln(start)) / static_cast<double>(g.count - 1);
  return g;
}

}  // namespace yex
