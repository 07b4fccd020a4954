// The grids of points and energies: linear (exact decimals where typed so)
// and logarithmic, and the most points a request may ask for.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/numbers/elementary_functions.h"

namespace yex {

// More points than anyone streams; keeps the count arithmetic exact.
constexpr double kMaxPoints = 1e12;
// A grid of more points than this streams only when asked (--large-grid):
// a typo in STEP must not stream gigabytes.
constexpr double kLargeGrid = 1e8;
// The most energies a cross-section computes.
constexpr double kMaxEnergies = 1e6;

// START + i·STEP for i = 0..count-1, so no rounding accumulates; STOP itself
// as the last point when it lies on the grid (within a relative 1e-9). When
// START and STEP were written as decimals, each point is the double nearest
// the exact decimal value (0.1:0.5:0.1 gives 0.3, not 0.30000000000000004):
// (n0 + i·dn) / 10^d with both operands exact, one correctly rounded
// division.
struct LinearGrid {
  double start = 0.0, step = 1.0;
  std::int64_t count = 0;
  std::optional<double> exactLast;
  bool decimal = false;
  std::int64_t n0 = 0, dn = 0;
  double scale = 1.0;
  double operator[](std::int64_t i) const {
    if (i == count - 1 && exactLast) return *exactLast;
    return decimal ? static_cast<double>(n0 + i * dn) / scale : start + static_cast<double>(i) * step;
  }
  // Takes START and STEP as written; keeps the plain rule when they are not
  // short decimals or the points outgrow exact integers.
  void UseDecimals(std::string_view startText, std::string_view stepText);
};
// Why numbers make no grid.
enum class GridProblem { None, StepNotPositive, StopBelowStart, TooManyPoints, NotPositive, BadCount };

// Nothing, with *problem (StepNotPositive, StopBelowStart, TooManyPoints),
// when the three numbers make no grid.
std::optional<LinearGrid> MakeLinearGrid(double start, double stop, double step, GridProblem* problem);

// N points evenly spaced in log, both ends exact.
struct LogGrid {
  double start = 1.0, stop = 1.0;
  std::int64_t count = 0;
  double l0 = 0.0, dl = 0.0;
  double operator[](std::int64_t i) const {
    return i == 0 ? start : i == count - 1 ? stop : Exp(l0 + static_cast<double>(i) * dl);
  }
};
// Nothing, with *problem, for START or STOP not positive (NotPositive), N
// not a whole number of at least 2 (BadCount) or above `maxCount`
// (TooManyPoints).
std::optional<LogGrid> MakeLogGrid(double start, double stop, double n, double maxCount,
                                   GridProblem* problem);

}  // namespace yex
