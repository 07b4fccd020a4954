// The refractive index n = 1 - delta + i beta of a material from Chantler's
// f' and f'' (a DispersionSource), its critical angle, and the reflectivity
// of its smooth or rough surface by Fresnel's formula.
#pragma once

#include "core/physics/attenuation.h"
#include "core/physics/dispersion.h"

namespace yex {

// The polarization of the beam a mirror reflects.
enum class Polarization { S, P, Unpolarized };

constexpr double kElectronRadiusCm = 2.8179403262e-13;  // r_e

struct OpticalConstants {
  double delta = 0, beta = 0;
  double criticalAngleMrad = 0;  // sqrt(2 delta)
  double lengthCm = 0;           // 1/mu: 1/e of the intensity, as attenuation prints it
};

// delta = r_e lambda^2 / 2pi sum n_i (Z_i + f'_i), beta = r_e lambda^2 / 2pi
// sum n_i f''_i, with n_i = density N_A w_i / A_i the atoms of element i per
// cm3 (w_i its mass fraction, A_i its atomic weight as the material holds
// it). OutOfRange outside Chantler's energies, or where a value is beyond
// the range of doubles. With `attenuation` (of the same material) also the
// attenuation length 1/mu, photoabsorption and scattering, the very number
// attenuation's length_cm is.
OpticalConstants IndexOf(const Material& m, double density, double energyKeV,
                         const DispersionSource& dispersion, const Attenuation* attenuation = nullptr);

// |r|^2 at a grazing angle (mrad) from the surface, vacuum above: r_s =
// (sin t - q)/(sin t + q) and r_p = (n^2 sin t - q)/(n^2 sin t + q), q =
// sqrt(n^2 - cos^2 t), times exp(-2 k^2 sigma^2 sin t q) for an rms
// roughness sigma (Angstrom; Nevot and Croce), k = 2 pi / lambda.
double Reflectivity(const OpticalConstants& n, double energyKeV, double angleMrad, double roughness,
                    Polarization polarization);

}  // namespace yex
