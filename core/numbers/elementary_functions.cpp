// Ln after the method and coefficients of fdlibm's e_log.c, Sin after its
// k_sin.c, k_cos.c and the medium case of e_rem_pio2.c; Ln written to take
// no branch that depends on the argument within the range the tables use,
// so that scattered points cost what a sweep costs; Exp by table (Tang's
// method). The fdlibm notice, as its licence asks:
//
//   Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//   Developed at SunSoft, a Sun Microsystems, Inc. business.
//   Permission to use, copy, modify, and distribute this software is freely
//   granted, provided that this notice is preserved.
//
// Built without contraction into fused multiply-adds (-ffp-contract=off),
// which would change the rounding on processors that have them.
#include "core/numbers/elementary_functions.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/numbers/elementary_constants.h"

namespace yex {
namespace {

using namespace elementary;

std::uint64_t Bits(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

double FromBits(std::uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

}  // namespace

double Ln(double x) {
  if (!(x > 0.0) || x == std::numeric_limits<double>::infinity()) {
    if (x == 0.0) return -std::numeric_limits<double>::infinity();
    return x > 0.0 ? x : std::numeric_limits<double>::quiet_NaN();
  }
  int k = 0;
  if (x < 0x1p-1022) {  // subnormal: scale into the normal range
    x *= 0x1p54;
    k = -54;
  }
  std::uint64_t u = Bits(x);
  std::int32_t hx = static_cast<std::int32_t>(u >> 32);
  k += (hx >> 20) - 1023;
  hx &= 0x000fffff;
  // x = 2^k (1 + f) with 1 + f in [sqrt(2)/2, sqrt(2)).
  const std::int32_t i = (hx + 0x95f64) & 0x100000;
  u = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(hx | (i ^ 0x3ff00000))) << 32) |
      (u & 0xffffffffu);
  k += i >> 20;
  const double f = FromBits(u) - 1.0;
  const double dk = k;
  if ((0x000fffff & (2 + hx)) < 3) {  // |f| < 2^-20
    if (f == 0.0) return dk * kLn2Hi + dk * kLn2Lo;
    const double r = f * f * (0.5 - 0.33333333333333333 * f);
    return dk * kLn2Hi - ((r - dk * kLn2Lo) - f);
  }
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  const double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
  const double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
  const double r = t2 + t1;
  // fdlibm picks between this and s (f - r) by the size of f; this one
  // alone stays within an ulp and takes no branch.
  const double hfsq = 0.5 * f * f;
  return dk * kLn2Hi - ((hfsq - (s * (hfsq + r) + dk * kLn2Lo)) - f);
}

double Exp(double x) {
  if (!(x > -745.13321910194122 && x < 709.782712893383973)) {
    if (std::isnan(x)) return x;
    return x > 0.0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  // x = (128 m + j) ln2 / 128 + r, |r| <= ln2 / 256: e^x = 2^m 2^(j/128) e^r.
  // The index is rounded by the 1.5 * 2^52 shift.
  constexpr double kShift = 0x1.8p52;
  const double kd = (x * kInvLn2By128 + kShift) - kShift;
  const double r = (x - kd * kLn2By128Hi) - kd * kLn2By128Lo;
  const int k = static_cast<int>(kd);
  const int j = k & 127, m = (k - j) / 128;
  // e^r - 1 by its Taylor series to r^5 (the rest below 2^-60 of the sum).
  const double p = r + r * r * (0.5 + r * (1.0 / 6.0 + r * (1.0 / 24.0 + r * (1.0 / 120.0))));
  const double hi = kExp2Table[j][0], lo = kExp2Table[j][1];
  const double y = hi + (lo + hi * p);
  // y 2^m, in two exact steps where 2^m alone is not a normal number.
  if (m >= -1021 && m <= 1023) return y * FromBits(static_cast<std::uint64_t>(m + 1023) << 52);
  if (m > 1023) return y * 2.0 * FromBits(static_cast<std::uint64_t>(m - 1 + 1023) << 52);
  return y * FromBits(static_cast<std::uint64_t>(m + 1000 + 1023) << 52) * 0x1p-1000;
}

namespace {

// pi/2 in three parts of 33 bits (n * part exact for n < 2^20), with the
// tails of the first two, and 2/pi.
constexpr double kPio2_1 = 1.57079632673412561417e+00, kPio2_2 = 6.07710050630396597660e-11,
                 kPio2_2t = 2.02226624879595063154e-21, kInvPio2 = 6.36619772367581382433e-01;

constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                 S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                 S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
                 C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
                 C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;

// sin and cos of x + y, |x + y| <= pi/4, y the tail of x.
double KernelSin(double x, double y) {
  const double z = x * x, w = z * z;
  const double r = S2 + z * (S3 + z * S4) + z * w * (S5 + z * S6);
  const double v = z * x;
  return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

double KernelCos(double x, double y) {
  const double z = x * x, w = z * z;
  const double r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
  const double hz = 0.5 * z;
  const double one = 1.0 - hz;
  return one + (((1.0 - one) - hz) + (z * r - x * y));
}

}  // namespace

double Sin(double x) {
  if (!(std::fabs(x) < 0x1p20 * 1.5707963267948966)) return std::numeric_limits<double>::quiet_NaN();
  // x = n pi/2 + (y0 + y1), |y0 + y1| <= pi/4, n rounded to nearest.
  constexpr double kShift = 0x1.8p52;
  const double fn = (x * kInvPio2 + kShift) - kShift;
  const int n = static_cast<int>(fn);
  const double t = x - fn * kPio2_1;
  double w = fn * kPio2_2;
  const double r = t - w;
  w = fn * kPio2_2t - ((t - r) - w);
  const double y0 = r - w, y1 = (r - y0) - w;
  switch (n & 3) {
    case 0:
      return KernelSin(y0, y1);
    case 1:
      return KernelCos(y0, y1);
    case 2:
      return -KernelSin(y0, y1);
    default:
      return -KernelCos(y0, y1);
  }
}

}  // namespace yex
