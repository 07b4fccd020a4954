#include "core/physics/composition.h"

#include <algorithm>
#include <cmath>

#include "core/numbers/units.h"
#include "core/physics/cross_section.h"

namespace yex {

std::vector<double> AtomFractions(const std::vector<Constituent>& parts) {
  // Counts scaled by a power of two, which changes no bit of a fraction,
  // so that the largest is near 1: counts of 1e308 neither overflow nor
  // those of 1e-310 lose their digits.
  double largest = 0.0;
  for (const Constituent& p : parts) largest = std::max(largest, std::fabs(p.count));
  int exponent = 0;
  std::frexp(largest, &exponent);
  double total = 0.0;
  for (const Constituent& p : parts) total += std::ldexp(p.count, -exponent);
  std::vector<double> c;
  for (const Constituent& p : parts) c.push_back(std::ldexp(p.count, -exponent) / total);
  return c;
}

CompositionAverages AverageAt(const std::vector<Constituent>& parts, const std::vector<double>& fractions,
                              double x) {
  CompositionAverages a;
  double fMean = 0.0, fdpMean = 0.0;
  bool anomalous = false;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const LookupResult r = parts[k].table(x);
    if (!r.inRange) return {};
    if (const auto& d = parts[k].dispersion) {
      anomalous = true;
      const double re = r.f + d->first, im = d->second;
      a.f2Mean += fractions[k] * (re * re + im * im);
      fMean += fractions[k] * re;
      fdpMean += fractions[k] * im;
    } else {
      a.f2Mean += fractions[k] * r.f * r.f;
      fMean += fractions[k] * r.f;
    }
    a.sMean += fractions[k] * r.s;
  }
  a.fMeanSq = anomalous ? fMean * fMean + fdpMean * fdpMean : fMean * fMean;
  a.inRange = true;
  return a;
}

bool BreitDiracFactor(double x, double energyKeV, int power, double* factor) {
  const double xl = x * WavelengthFromEnergy(energyKeV);
  if (!(xl >= 0.0 && xl <= 1.0)) return false;
  // P^K by multiplication: the same bits on every platform, as pow's are not.
  const double p = ComptonRatio(1.0 - 2.0 * xl * xl, energyKeV);
  double f = 1.0;
  for (int k = 0; k < power; ++k) f *= p;
  *factor = f;
  return true;
}

}  // namespace yex
