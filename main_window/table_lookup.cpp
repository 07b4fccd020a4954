#include "main_window/table_lookup.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace yex {
namespace {

bool Usable(double v) { return std::isfinite(v) && v > 0.0; }

// std::exp(a), bit for bit. An argument of zero (between two rows of equal
// value 1, as hydrogen's S above x = 10) would take exp's own branch for
// tiny arguments, which the predictor cannot guess when the points jump; so
// it becomes 2^-54, the smallest argument on exp's ordinary path, whose
// exponential also rounds to exactly 1. Any other argument is unchanged
// (adding +0), and nothing is selected after the call.
#if defined(__SSE2__)
// A mask, not a conditional: the compiler turns a conditional into a jump.
inline double ExpAnyOrder(double a) {
  const __m128d va = _mm_set_sd(a);
  const __m128d tiny = _mm_and_pd(_mm_cmpeq_sd(va, _mm_setzero_pd()), _mm_set_sd(0x1p-54));
  return std::exp(_mm_cvtsd_f64(_mm_add_sd(va, tiny)));
}
#else
inline double ExpAnyOrder(double a) { return std::exp(a == 0.0 ? 0x1p-54 : a); }
#endif

}  // namespace

TableLookup::TableLookup(const RowValues& x, const RowValues& f, const RowValues& s) {
  for (int i = 1; i <= TableRowCount; ++i) {
    x_[i] = x(i);
    f_[i] = f(i);
    s_[i] = s(i);
  }
  Prepare();
}

TableLookup::TableLookup(const ScatteringTable& t) {
  for (int i = 1; i <= TableRowCount; ++i) {
    x_[i] = t.x[i];
    f_[i] = t.f[i];
    s_[i] = t.s[i];
  }
  Prepare();
}

void TableLookup::Prepare() {
  double running = -std::numeric_limits<double>::infinity();
  searchKey_.fill(std::numeric_limits<double>::infinity());
  for (int i = 2; i <= TableRowCount; ++i) {
    running = std::isnan(x_[i]) ? std::numeric_limits<double>::infinity() : std::max(running, x_[i]);
    searchKey_[i - 2] = running;
  }
  for (int i = 1; i <= TableRowCount; ++i) {
    lx_[i] = Usable(x_[i]) ? std::log(x_[i]) : 0.0;
    lf_[i] = Usable(f_[i]) ? std::log(f_[i]) : 0.0;
    ls_[i] = Usable(s_[i]) ? std::log(s_[i]) : 0.0;
  }
  for (int i = 2; i <= TableRowCount; ++i) {
    usable_[i] = Usable(x_[i]) && Usable(x_[i - 1]) && Usable(f_[i]) && Usable(f_[i - 1]) && Usable(s_[i]) &&
                 Usable(s_[i - 1]);
    dx_[i] = lx_[i] - lx_[i - 1];
    df_[i] = lf_[i] - lf_[i - 1];
    ds_[i] = ls_[i] - ls_[i - 1];
  }
}

#if defined(__GNUC__)
#define YEX_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define YEX_ALWAYS_INLINE inline
#endif

YEX_ALWAYS_INLINE LookupResult TableLookup::Interpolate(int i, double q) const {
  LookupResult out;
  if (!usable_[i]) return out;
  // The expressions of LookupPoint, term for term.
  const double lq = std::log(q);
  const double F = ExpAnyOrder(lf_[i] - df_[i] * (lx_[i] - lq) / dx_[i]);
  const double S = ExpAnyOrder(ls_[i] - ds_[i] * (lx_[i] - lq) / dx_[i]);
  if (!std::isfinite(F) || !std::isfinite(S)) return out;
  out = {true, F, S};
  return out;
}

YEX_ALWAYS_INLINE LookupResult TableLookup::At(double q) const {
  LookupResult out;
  if (!(q >= LookupMinX && q <= LookupMaxX)) return out;
  // First row from 2 whose running maximum is not below q: the first row
  // whose own x is not below q.
  // The count of keys below q, bit by bit; q is finite here and the last
  // key +inf, so the count stays below KeyCount. A conditional add, not a
  // branch: a jump the predictor cannot guess costs more than the search.
  static_assert(KeyCount == 64 && KeyCount >= TableRowCount, "six halvings cover the keys");
  int below = 0;
  for (int half = KeyCount / 2; half > 0; half /= 2) below += searchKey_[below + half - 1] < q ? half : 0;
  const int i = below + 2;
  if (i > TableRowCount) return out;

  if (x_[i] == q) {
    if (!std::isfinite(f_[i]) || !std::isfinite(s_[i])) return out;
    out = {true, f_[i], s_[i]};
    return out;
  }
  return Interpolate(i, q);
}

LookupResult TableLookup::operator()(double q) const { return At(q); }

LookupResult TableLookup::Between(int i, double q) const { return Interpolate(i, q); }

void TableLookup::Many(const double* q, std::size_t n, double* f, double* s) const {
  for (std::size_t k = 0; k < n; ++k) {
    const LookupResult r = At(q[k]);
    f[k] = r.inRange ? r.f : std::numeric_limits<double>::quiet_NaN();
    s[k] = r.inRange ? r.s : std::numeric_limits<double>::quiet_NaN();
  }
}

}  // namespace yex
