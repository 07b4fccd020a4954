#include "core/cross_section.h"

#include <cmath>

#include "core/units.h"

namespace yex {
namespace {

// Gauss-Legendre, 8 nodes on [-1, 1].
constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                0.1012285362903763};

// f(x, v) sets v[k] to the integrand at x[k], k < 8: the eight nodes in
// one call, so the lookup takes them several at a time.
template <typename F>
double Gauss8(const F& f, double a, double b) {
  const double mid = 0.5 * (a + b), half = 0.5 * (b - a);
  double x[8], v[8];
  for (int i = 0; i < 4; ++i) {
    x[2 * i] = mid - half * kNodes[i];
    x[2 * i + 1] = mid + half * kNodes[i];
  }
  f(x, v);
  double sum = 0.0;
  for (int i = 0; i < 4; ++i) sum += kWeights[i] * (v[2 * i] + v[2 * i + 1]);
  return sum * half;
}

// Halves the interval until the two halves agree with the whole to a
// relative 1e-9 of the piece, the depth is spent, or the budget of halvings
// is: a value that never settles (not finite, or rough beyond any table's)
// ends at once instead of after 2^depth halvings.
template <typename F>
double Adaptive(const F& f, double a, double b, double whole, int depth, long* budget) {
  const double mid = 0.5 * (a + b);
  const double left = Gauss8(f, a, mid), right = Gauss8(f, mid, b);
  const double both = left + right;
  if (depth == 0 || std::fabs(both - whole) <= 1e-10 * std::fabs(both) || both == whole ||
      !std::isfinite(both) || --*budget < 0)
    return both;
  return Adaptive(f, a, mid, left, depth - 1, budget) + Adaptive(f, mid, b, right, depth - 1, budget);
}

template <typename F>
double Integrate(const F& f, double a, double b) {
  long budget = 1 << 16;
  return Adaptive(f, a, b, Gauss8(f, a, b), 30, &budget);
}

}  // namespace

double ComptonRatio(double cosTheta, double energyKeV) {
  return 1.0 / (1.0 + energyKeV / kElectronRestKeV * (1.0 - cosTheta));
}

bool DifferentialCrossSections(double x, double f, double s, double energyKeV, CrossSectionPair* out) {
  const double lambda = WavelengthFromEnergy(energyKeV);
  const double xl = x * lambda;
  if (!(xl >= 0.0 && xl <= 1.0)) return false;
  const double c = 1.0 - 2.0 * xl * xl;
  const double p = ComptonRatio(c, energyKeV);
  out->coh = kReSquaredBarn / 2.0 * (1.0 + c * c) * f * f;
  out->incoh = kReSquaredBarn / 2.0 * p * p * (p + 1.0 / p - (1.0 - c * c)) * s;
  return true;
}

bool IntegratedCrossSections(const TableLookup& t, double energyKeV, CrossSectionPair* out,
                             const char** why) {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  if (!(energyKeV > 0.0) || !std::isfinite(energyKeV)) return fail("the energy must be positive");
  if (t.x(1) != 0.0) return fail("row 1 is not at x = 0");
  for (int i = 2; i <= TableRowCount; ++i)
    if (!(t.x(i) > t.x(i - 1)) || !std::isfinite(t.x(i))) return fail("the x column is not ascending");

  const double lambda = WavelengthFromEnergy(energyKeV);
  const double xMax = 1.0 / lambda;  // θ = 180°
  if (xMax > t.x(TableRowCount)) return fail("the energy reaches beyond the table's last row");
  // σ = 2π ∫ dσ/dΩ d(cos θ) with cos θ = 1 − 2λ²x²: d(cos θ) = −4λ²x dx.
  const double jacobian = 2.0 * kPi * 4.0 * lambda * lambda;
  // Below about 1e-153 keV λ² has no double value.
  if (!std::isfinite(jacobian) || !(xMax > 0.0)) return fail("the energy is too low to integrate");
  bool ok = true;
  auto weighted = [&](double x, double f, double s, bool coherent) {
    CrossSectionPair d;
    DifferentialCrossSections(std::min(x, xMax), f, s, energyKeV, &d);
    return jacobian * x * (coherent ? d.coh : d.incoh);
  };
  double coh = 0.0, incoh = 0.0;
  // Row 1 to row 2: F and S linear in x².
  {
    const double x2 = t.x(2), b = std::min(x2, xMax);
    auto at = [&](const double* x, double* v, bool coherent) {
      for (int k = 0; k < 8; ++k) {
        const double u = (x[k] * x[k]) / (x2 * x2);
        v[k] = weighted(x[k], t.f(1) + (t.f(2) - t.f(1)) * u, t.s(1) + (t.s(2) - t.s(1)) * u, coherent);
      }
    };
    coh += Integrate([&](const double* x, double* v) { at(x, v, true); }, 0.0, b);
    incoh += Integrate([&](const double* x, double* v) { at(x, v, false); }, 0.0, b);
  }
  for (int i = 3; i <= TableRowCount && t.x(i - 1) < xMax; ++i) {
    const double a = t.x(i - 1), b = std::min(t.x(i), xMax);
    auto at = [&](const double* x, double* v, bool coherent) {
      double f[8], s[8];
      t.BetweenMany(i, x, 8, f, s);  // NaN where not in range
      for (int k = 0; k < 8; ++k) {
        ok = ok && !std::isnan(f[k]);
        v[k] = std::isnan(f[k]) ? 0.0 : weighted(x[k], f[k], s[k], coherent);
      }
    };
    coh += Integrate([&](const double* x, double* v) { at(x, v, true); }, a, b);
    incoh += Integrate([&](const double* x, double* v) { at(x, v, false); }, a, b);
  }
  if (!ok || !std::isfinite(coh) || !std::isfinite(incoh))
    return fail("a pair of rows holds a value that is not positive");
  *out = {coh, incoh};
  return true;
}

double KleinNishinaTotal(double energyKeV) {
  const double k = energyKeV / kElectronRestKeV;
  const double l = std::log1p(2.0 * k);
  return 2.0 * kPi * kReSquaredBarn *
         ((1.0 + k) / (k * k) * (2.0 * (1.0 + k) / (1.0 + 2.0 * k) - l / k) + l / (2.0 * k) -
          (1.0 + 3.0 * k) / ((1.0 + 2.0 * k) * (1.0 + 2.0 * k)));
}

}  // namespace yex
