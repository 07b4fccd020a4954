#include "core/lookup/table_lookup.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numbers/elementary_functions.h"
#include "core/numbers/numeric.h"

namespace yex {
namespace {

bool Usable(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

TableLookup::TableLookup(const RowValues& x, const RowValues& f, const RowValues& s)
    : x_(TableRowCount + 1), f_(TableRowCount + 1), s_(TableRowCount + 1) {
  for (int i = 1; i <= TableRowCount; ++i) {
    x_[i] = x(i);
    f_[i] = f(i);
    s_[i] = s(i);
  }
  Prepare();
}

TableLookup::TableLookup(const ScatteringTable& t) : rows_(t.rows()), x_(t.x), f_(t.f), s_(t.s) {
  x_[0] = f_[0] = s_[0] = 0.0;
  Prepare();
}

void TableLookup::Prepare() {
  const auto n = static_cast<std::size_t>(rows_ + 1);
  keyCount_ = 64;
  while (keyCount_ < rows_) keyCount_ *= 2;
  searchKey_.assign(static_cast<std::size_t>(keyCount_), std::numeric_limits<double>::infinity());
  usable_.assign(n, 0);
  for (std::vector<double>* v : {&lx_, &lf_, &ls_, &dx_, &df_, &ds_}) v->assign(n, 0.0);
  laneRows_.assign(n * kLaneFields, 0.0);
  laneColumns_.assign(n * kLaneFields, 0.0);
  double running = -std::numeric_limits<double>::infinity();
  for (int i = 2; i <= rows_; ++i) {
    running = std::isnan(x_[i]) ? std::numeric_limits<double>::infinity() : std::max(running, x_[i]);
    searchKey_[i - 2] = running;
  }
  // The last key of each block of 64, searched first on a long table, so
  // that a point touches a few cache lines, not one a halving.
  blockKey_.clear();
  if (keyCount_ > 64)
    for (int j = 63; j < keyCount_; j += 64) blockKey_.push_back(searchKey_[static_cast<std::size_t>(j)]);
  for (int i = 1; i <= rows_; ++i) {
    lx_[i] = Usable(x_[i]) ? Ln(x_[i]) : 0.0;
    lf_[i] = Usable(f_[i]) ? Ln(f_[i]) : 0.0;
    ls_[i] = Usable(s_[i]) ? Ln(s_[i]) : 0.0;
  }
  for (int i = 2; i <= rows_; ++i) {
    usable_[i] = Usable(x_[i]) && Usable(x_[i - 1]) && Usable(f_[i]) && Usable(f_[i - 1]) && Usable(s_[i]) &&
                 Usable(s_[i - 1]);
    dx_[i] = lx_[i] - lx_[i - 1];
    df_[i] = lf_[i] - lf_[i - 1];
    ds_[i] = ls_[i] - ls_[i - 1];
  }
  for (int i = 1; i <= rows_; ++i) {
    double* r = &laneRows_[std::size_t(i) * kLaneFields];
    r[kLnX] = lx_[i], r[kX] = x_[i], r[kLnF] = lf_[i], r[kDF] = df_[i], r[kLnS] = ls_[i], r[kDS] = ds_[i];
    r[kLaneDx] = i >= 2 && usable_[i] ? dx_[i] : std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < kLaneFields; ++k) laneColumns_[std::size_t(k) * n + std::size_t(i)] = r[k];
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
  const double lq = Ln(q);
  const double F = Exp(lf_[i] - df_[i] * (lx_[i] - lq) / dx_[i]);
  const double S = Exp(ls_[i] - ds_[i] * (lx_[i] - lq) / dx_[i]);
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
  // key +inf, so the count stays below KeyCount. An add of a mask, not a
  // branch: a jump the predictor cannot guess costs more than the search,
  // and GCC at -O3 compiles "c ? half : 0" into one.
  int below = 0;
  const double* key = searchKey_.data();
  if (keyCount_ == 64) {  // a file's table: six halvings the compiler unrolls
    for (int half = 32; half > 0; half /= 2) below += half & -static_cast<int>(key[below + half - 1] < q);
  } else {
    // The count of keys below q: the blocks whose last key is below q, all
    // 64 of each, then the keys below q in the next block.
    const double* block = blockKey_.data();
    int blocks = 0;
    for (int half = static_cast<int>(blockKey_.size()) / 2; half > 0; half /= 2)
      blocks += half & -static_cast<int>(block[blocks + half - 1] < q);
    below = 64 * blocks;
    for (int half = 32; half > 0; half /= 2) below += half & -static_cast<int>(key[below + half - 1] < q);
  }
  const int i = below + 2;
  if (i > rows_) return out;

  if (x_[i] == q) {
    if (!std::isfinite(f_[i]) || !std::isfinite(s_[i])) return out;
    out = {true, f_[i], s_[i]};
    return out;
  }
  return Interpolate(i, q);
}

LookupResult TableLookup::operator()(double q) const { return At(q); }

int TableLookup::PairOf(double q) const {
  if (!(q >= LookupMinX && q <= LookupMaxX)) return 0;
  // The keys ascend: the first not below q, as At finds it.
  const auto key = std::lower_bound(searchKey_.begin(), searchKey_.begin() + (rows_ - 1), q);
  const int i = static_cast<int>(key - searchKey_.begin()) + 2;
  return i <= rows_ ? i : 0;
}

std::string TableLookup::PairProblem(int i) const {
  const char* names[] = {"x", "F", "S"};
  const std::vector<double>* columns[] = {&x_, &f_, &s_};
  for (int row : {i - 1, i})
    for (int c = 0; c < 3; ++c) {
      const double v = (*columns[c])[row];
      if (!(v > 0) || !std::isfinite(v))
        return "rows " + std::to_string(i - 1) + "-" + std::to_string(i) + ": " + names[c] + " of row " +
               std::to_string(row) + " is " + ShortestText(v) + ", and a value on log axes must be positive";
    }
  return "rows " + std::to_string(i - 1) + "-" + std::to_string(i) + " cannot be interpolated";
}

LookupResult TableLookup::Between(int i, double q) const { return Interpolate(i, q); }

// The reference for the vector kernels (core/lookup/table_lookup_many.cpp).
void TableLookup::ManyScalar(const double* q, std::size_t n, double* f, double* s) const {
  for (std::size_t k = 0; k < n; ++k) {
    const LookupResult r = At(q[k]);
    f[k] = r.inRange ? r.f : std::numeric_limits<double>::quiet_NaN();
    s[k] = r.inRange ? r.s : std::numeric_limits<double>::quiet_NaN();
  }
}

void TableLookup::BetweenScalar(int i, const double* q, std::size_t n, double* f, double* s) const {
  for (std::size_t k = 0; k < n; ++k) {
    const LookupResult r = Interpolate(i, q[k]);
    f[k] = r.inRange ? r.f : std::numeric_limits<double>::quiet_NaN();
    s[k] = r.inRange ? r.s : std::numeric_limits<double>::quiet_NaN();
  }
}

}  // namespace yex
