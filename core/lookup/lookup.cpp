#include "core/lookup/lookup.h"

#include <cmath>

#include "core/numbers/elementary_functions.h"

namespace yex {
namespace {

bool Usable(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

LookupResult LookupPoint(const RowValues& x, const RowValues& f, const RowValues& s, double q) {
  LookupResult out;
  if (!(q >= LookupMinX && q <= LookupMaxX)) return out;
  // The search reads the column directly: i never leaves 2..45 here.
  const double* xs = x.begin() - RowValues::Low;
  int i = 2;
  while (i <= TableRowCount && xs[i] < q) ++i;
  if (i > TableRowCount) return out;

  if (x(i) == q) {
    if (!std::isfinite(f(i)) || !std::isfinite(s(i))) return out;
    out = {true, f(i), s(i)};
    return out;
  }
  if (!Usable(x(i)) || !Usable(x(i - 1)) || !Usable(f(i)) || !Usable(f(i - 1)) || !Usable(s(i)) ||
      !Usable(s(i - 1)))
    return out;

  const double lq = Ln(q);
  const double lxi = Ln(x(i)), lxp = Ln(x(i - 1));
  const double lfi = Ln(f(i)), lfp = Ln(f(i - 1));
  const double lsi = Ln(s(i)), lsp = Ln(s(i - 1));
  const double F = Exp(lfi - (lfi - lfp) * (lxi - lq) / (lxi - lxp));
  const double S = Exp(lsi - (lsi - lsp) * (lxi - lq) / (lxi - lxp));
  if (!std::isfinite(F) || !std::isfinite(S)) return out;
  out = {true, F, S};
  return out;
}

}  // namespace yex
