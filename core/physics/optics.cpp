#include "core/physics/optics.h"

#include <cmath>

#include "core/elements/elements.h"
#include "core/error.h"
#include "core/numbers/elementary_functions.h"
#include "core/numbers/numeric.h"
#include "core/numbers/units.h"
#include "core/physics/cross_section.h"
#include "core/physics/dispersion.h"

namespace yex {
namespace {

// Complex numbers by IEEE operations alone (and the square root, which IEEE
// rounds exactly): the same bits in every front end.
struct Complex {
  double re, im;
};
Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
Complex operator*(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
Complex operator/(Complex a, Complex b) {
  const double d = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}
double Norm(Complex a) { return a.re * a.re + a.im * a.im; }
// The root with a real part of 0 or more (the wave that decays into the
// material).
Complex Sqrt(Complex z) {
  const double m = std::sqrt(z.re * z.re + z.im * z.im);
  if (m == 0) return {0, 0};
  if (z.re >= 0) {
    const double re = std::sqrt((m + z.re) / 2);
    return {re, z.im / (2 * re)};
  }
  const double im = std::copysign(std::sqrt((m - z.re) / 2), z.im);
  return {z.im / (2 * im), im};
}
Complex ExpOf(Complex z) {
  const double r = Exp(z.re);
  return {r * Sin(z.im + kPi / 2), r * Sin(z.im)};
}

}  // namespace

OpticalConstants IndexOf(const Material& m, double density, double energyKeV,
                         const DispersionSource& dispersion, const Attenuation* attenuation) {
  const double lambdaCm = WavelengthFromEnergy(energyKeV) * 1e-8, ev = KevToEv(energyKeV);
  double sumDelta = 0, sumBeta = 0;
  for (std::size_t i = 0; i < m.z.size(); ++i) {
    const DispersionValue v = DispersionAt(dispersion.Table(m.z[i]), ev);
    const double atoms = density * kAvogadro * m.massFraction[i] / m.atomicWeight[i];  // per cm3
    sumDelta += atoms * (m.z[i] + v.fp);
    sumBeta += atoms * v.fdp;
  }
  const double scale = kElectronRadiusCm * lambdaCm * lambdaCm / (2 * kPi);
  OpticalConstants n{scale * sumDelta, scale * sumBeta, 0, 0};
  n.criticalAngleMrad = std::sqrt(2 * std::fmax(n.delta, 0.0)) * 1000;
  if (!std::isfinite(n.delta) || !std::isfinite(n.beta) || !(n.beta > 0))
    Fail(ErrorKind::OutOfRange,
         m.name + " at " + ShortestText(energyKeV) + " keV: the index is beyond the range of doubles");
  if (attenuation)
    n.lengthCm = ThroughSample(attenuation->At(energyKeV).total, density, std::nullopt).lengthCm;
  return n;
}

double Reflectivity(const OpticalConstants& n, double energyKeV, double angleMrad, double roughness,
                    Polarization polarization) {
  const double s = Sin(angleMrad / 1000), d = n.delta, b = n.beta;
  // n^2 - cos^2 t, with (1 - d)^2 - cos^2 t written out so nothing cancels.
  const Complex q = Sqrt({s * s - 2 * d + d * d - b * b, 2 * (1 - d) * b});
  const Complex n2{(1 - d) * (1 - d) - b * b, 2 * (1 - d) * b};
  Complex damping{1, 0};
  if (roughness > 0) {
    const double k = 2 * kPi / WavelengthFromEnergy(energyKeV), f = -2 * k * k * roughness * roughness * s;
    damping = ExpOf({f * q.re, f * q.im});
  }
  const Complex sin{s, 0};
  const double rs = Norm((sin - q) / (sin + q) * damping);
  const double rp = Norm((n2 * sin - q) / (n2 * sin + q) * damping);
  return polarization == Polarization::S ? rs : polarization == Polarization::P ? rp : (rs + rp) / 2;
}

}  // namespace yex
