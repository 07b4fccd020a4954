// Conversions to the momentum transfer x = sin(θ/2)/λ (Å⁻¹).
#pragma once

#include <cmath>

#include "core/numbers/elementary_functions.h"

namespace yex {

// π, as kPi writes it (which standard C++ does not define everywhere).
constexpr double kPi = 3.14159265358979323846;

// hc in keV·Å.
constexpr double kHcKeVAngstrom = 12.398419843320026;

inline double WavelengthFromEnergy(double keV) { return kHcKeVAngstrom / keV; }
// θ is the scattering angle in degrees, λ in Å.
inline double XFromAngle(double thetaDegrees, double lambda) {
  return Sin(thetaDegrees * kPi / 360.0) / lambda;
}
// A scattering angle lies in 0..180 degrees; beyond, sin(θ/2) would repeat
// the values of angles that are.
inline bool ThetaInRange(double thetaDegrees) { return thetaDegrees >= 0.0 && thetaDegrees <= 180.0; }
// What a message says of an angle beyond.
constexpr const char* kAngleRange = "a scattering angle lies in 0..180 degrees";
constexpr const char* kMomentumRange = "a momentum transfer is not negative";
// Q = 4π sin(θ/2)/λ = 4π x.
inline double XFromQ(double q) { return q / (4.0 * kPi); }
// Q in nm⁻¹ is ten times Q in Å⁻¹.
inline double XFromQnm(double qnm) { return XFromQ(qnm / 10.0); }

// What a column of points means.
enum class Unit { X, Q, Qnm, Theta };

// The name of a unit as options and column headers write it, and what it
// means.
inline const char* UnitName(Unit unit) {
  switch (unit) {
    case Unit::X:
      return "x";
    case Unit::Q:
      return "q";
    case Unit::Qnm:
      return "qnm";
    case Unit::Theta:
      return "theta";
  }
  return "";
}
inline const char* UnitMeaning(Unit unit) {
  switch (unit) {
    case Unit::X:
      return "x = sin(theta/2)/lambda in 1/Angstrom";
    case Unit::Q:
      return "q = 4 pi x in 1/Angstrom";
    case Unit::Qnm:
      return "qnm = 4 pi x in 1/nm";
    case Unit::Theta:
      return "theta = scattering angle in degrees";
  }
  return "";
}

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
