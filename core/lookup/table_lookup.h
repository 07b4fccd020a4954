// The point lookup over a table loaded once: the same rule as LookupPoint,
// with what the formula needs from the table computed ahead, for many points.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/lookup/lookup.h"
#include "core/tables/table.h"

namespace yex {

// The ways Many can run: the scalar code, or vector code for an
// instruction set (the same bits from each).
enum class LookupKernel { Scalar, Sse2, Avx2, Avx512, Simd128 };
const char* KernelName(LookupKernel kernel);
// The kernels compiled in that this processor runs, the scalar one first,
// the widest last; Many uses the last.
const std::vector<LookupKernel>& AvailableKernels();

class TableLookup {
 public:
  TableLookup(const RowValues& x, const RowValues& f, const RowValues& s);
  explicit TableLookup(const ScatteringTable& t);

  // Bit for bit LookupPoint(x, f, s, q): the row found is the first from
  // row 2 whose x is not below q, found by a branch-free binary search over
  // the running maximum of the x column (so a column that is not ascending
  // finds the same row, and scattered points cost what a sweep costs), and
  // the interpolation evaluates the same expression in the
  // same order from the same logarithms.
  LookupResult operator()(double q) const;

  // F and S at n points, NaN where operator() is not in range; one call for
  // a whole array, so that the per-point work is inlined.
  // Several points at a time with the widest vector instructions the
  // processor has, each point's bits those of operator().
  void Many(const double* q, std::size_t n, double* f, double* s) const;
  // Many by a given kernel, one of AvailableKernels() (another runs the
  // scalar code): for tests and benchmarks.
  void Many(const double* q, std::size_t n, double* f, double* s, LookupKernel kernel) const;

  // The interpolation between rows i - 1 and i (2 <= i <= rows()) at q, by the
  // same expression, wherever q lies; not in range when the pair holds a
  // value that is not positive or the result is not finite. Used to
  // integrate over the table.
  LookupResult Between(int i, double q) const;
  // Between at n points, NaN where it is not in range.
  void BetweenMany(int i, const double* q, std::size_t n, double* f, double* s) const;
  void BetweenMany(int i, const double* q, std::size_t n, double* f, double* s, LookupKernel kernel) const;

  // For the vector kernels (core/lookup/lookup_lanes.h): the search keys, and a
  // record of eight doubles a row, so that a lane's values for a row lie
  // side by side: ln x, x, ln F, dF, ln S, dS, and dx where the pair is
  // usable (NaN where it is not), then padding.
  enum LaneField { kLnX, kX, kLnF, kDF, kLnS, kDS, kLaneDx, kLaneFields = 8 };
  const double* searchKeys() const { return searchKey_.data(); }
  const double* laneRows() const { return laneRows_.data(); }
  // The same fields one after another: field k of row i at
  // k * (rows() + 1) + i.
  const double* laneColumns() const { return laneColumns_.data(); }
  // The vector kernels count the keys one by one: a table of the file's 45
  // rows takes them, a table of any other length the binary search.
  bool LanesApply() const { return rows_ == TableRowCount; }

  int rows() const { return rows_; }
  // The pair (i - 1, i) that q lies in, as operator() finds it, or 0 for q
  // outside LookupMinX..LookupMaxX or beyond the last row.
  int PairOf(double q) const;
  // Whether the pair (i - 1, i) can be interpolated on log axes.
  bool PairUsable(int i) const { return usable_[i]; }
  // Why it cannot: "rows 11-12: F of row 12 is 0, and a value on log axes
  // must be positive".
  std::string PairProblem(int i) const;

  double x(int row) const { return x_[row]; }
  double f(int row) const { return f_[row]; }
  double s(int row) const { return s_[row]; }

 private:
  void Prepare();
  void ManyScalar(const double* q, std::size_t n, double* f, double* s) const;
  void BetweenScalar(int i, const double* q, std::size_t n, double* f, double* s) const;
  // The bodies of operator() and Between, inlined into Many's loop.
  LookupResult At(double q) const;
  LookupResult Interpolate(int i, double q) const;

  int rows_ = TableRowCount;
  std::vector<double> x_, f_, s_;
  // Running maximum of x from row 2 (key j for row j + 2), a NaN counted as
  // +inf (it stops the search as it would stop the linear one), padded with
  // +inf to a power of two (64 for a file's table) so that the search always
  // takes the same halvings, whatever the order of the points.
  int keyCount_ = 64;
  std::vector<double> searchKey_, blockKey_;
  // For the pair (i - 1, i): whether all six values are usable, and the
  // logarithms and differences the formula takes.
  std::vector<char> usable_;
  std::vector<double> lx_, lf_, ls_, dx_, df_, ds_;
  std::vector<double> laneRows_, laneColumns_;
};

}  // namespace yex
