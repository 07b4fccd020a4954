// Conversions to the momentum transfer x = sin(θ/2)/λ (Å⁻¹).
#pragma once

#include <cmath>

namespace yex {

// hc in keV·Å.
constexpr double kHcKeVAngstrom = 12.398419843320026;

inline double WavelengthFromEnergy(double keV) { return kHcKeVAngstrom / keV; }
// θ is the scattering angle in degrees, λ in Å.
inline double XFromAngle(double thetaDegrees, double lambda) {
  return std::sin(thetaDegrees * M_PI / 360.0) / lambda;
}
// Q = 4π sin(θ/2)/λ = 4π x.
inline double XFromQ(double q) { return q / (4.0 * M_PI); }
// Q in nm⁻¹ is ten times Q in Å⁻¹.
inline double XFromQnm(double qnm) { return XFromQ(qnm / 10.0); }

// What a column of points means.
enum class Unit { X, Q, Qnm, Theta };

// The point's x; `lambda` (Å) is used for Theta only.
inline double ToX(Unit unit, double value, double lambda) {
  switch (unit) {
    case Unit::X:
      return value;
    case Unit::Q:
      return XFromQ(value);
    case Unit::Qnm:
      return XFromQnm(value);
    case Unit::Theta:
      return XFromAngle(value, lambda);
  }
  return value;
}

}  // namespace yex
