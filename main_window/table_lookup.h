// The point lookup over a table loaded once: the same rule as LookupPoint,
// with what the formula needs from the table computed ahead, for many points.
#pragma once

#include <array>

#include "app/scattering_data/module1.h"
#include "main_window/lookup.h"

namespace yex {

class TableLookup {
 public:
  TableLookup(const RowValues& x, const RowValues& f, const RowValues& s);
  explicit TableLookup(const ScatteringTable& t);

  // Bit for bit LookupPoint(x, f, s, q): the row found is the first from
  // row 2 whose x is not below q, found by a binary search over the running
  // maximum of the x column (so a column that is not ascending finds the
  // same row), and the interpolation evaluates the same expression in the
  // same order from the same logarithms.
  LookupResult operator()(double q) const;

  // The interpolation between rows i - 1 and i (2 <= i <= 45) at q, by the
  // same expression, wherever q lies; not in range when the pair holds a
  // value that is not positive or the result is not finite. Used to
  // integrate over the table.
  LookupResult Between(int i, double q) const;

  double x(int row) const { return x_[row]; }
  double f(int row) const { return f_[row]; }
  double s(int row) const { return s_[row]; }

 private:
  void Prepare();

  static constexpr int N = TableRowCount + 1;
  std::array<double, N> x_{}, f_{}, s_{};
  // Running maximum of x from row 2, a NaN counted as +inf (it stops the
  // search as it would stop the linear one).
  std::array<double, N> searchKey_{};
  // For the pair (i - 1, i): whether all six values are usable, and the
  // logarithms and differences the formula takes.
  std::array<bool, N> usable_{};
  std::array<double, N> lx_{}, lf_{}, ls_{}, dx_{}, df_{}, ds_{};
};

}  // namespace yex
