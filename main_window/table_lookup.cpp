#include "main_window/table_lookup.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace yex {
namespace {

bool Usable(double v) { return std::isfinite(v) && v > 0.0; }

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
  for (int i = 2; i <= TableRowCount; ++i) {
    running = std::isnan(x_[i]) ? std::numeric_limits<double>::infinity() : std::max(running, x_[i]);
    searchKey_[i] = running;
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

LookupResult TableLookup::operator()(double q) const {
  LookupResult out;
  if (!(q >= LookupMinX && q <= LookupMaxX)) return out;
  // First row from 2 whose running maximum is not below q: the first row
  // whose own x is not below q.
  const double* first = searchKey_.data() + 2;
  const double* last = searchKey_.data() + N;
  const int i = static_cast<int>(std::lower_bound(first, last, q) - searchKey_.data());
  if (i > TableRowCount) return out;

  if (x_[i] == q) {
    if (!std::isfinite(f_[i]) || !std::isfinite(s_[i])) return out;
    out = {true, f_[i], s_[i]};
    return out;
  }
  return Between(i, q);
}

LookupResult TableLookup::Between(int i, double q) const {
  LookupResult out;
  if (!usable_[i]) return out;
  // The expressions of LookupPoint, term for term.
  const double lq = std::log(q);
  const double F = std::exp(lf_[i] - df_[i] * (lx_[i] - lq) / dx_[i]);
  const double S = std::exp(ls_[i] - ds_[i] * (lx_[i] - lq) / dx_[i]);
  if (!std::isfinite(F) || !std::isfinite(S)) return out;
  out = {true, F, S};
  return out;
}

}  // namespace yex
