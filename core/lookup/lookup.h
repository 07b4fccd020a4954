// Point lookup: F and S at a momentum transfer, interpolated on log-log axes.
#pragma once

#include "core/tables/table.h"

namespace yex {

constexpr double LookupMinX = 0.005;
constexpr double LookupMaxX = 1000.0;

struct LookupResult {
  bool inRange = false;
  double f = 0.0;
  double s = 0.0;
};

// Searches from row 2 for the first row whose x is not below q and
// interpolates between it and the row above, evaluating from the upper row.
// A q equal to that row's x answers its F and S exactly. Out of range: q
// outside LookupMinX..LookupMaxX, a search running past row 45, a pair holding
// a value that is not positive, or a result that is not finite.
LookupResult LookupPoint(const RowValues& x, const RowValues& f, const RowValues& s, double q);

}  // namespace yex
