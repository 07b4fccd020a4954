// The point lookup: range, search from row 2, log-log interpolation from
// the upper row, and tables that break its assumptions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

#include "core/lookup/lookup.h"
#include "core/lookup/table_lookup.h"
#include "core/numbers/elementary_functions.h"
#include "core/tables/table_file.h"
#include "tests/core/support.h"

using namespace yex;
using namespace yex::test;

namespace {

struct Table {
  RowValues x, f, s;
};

Table MakeTable(double z = 6) {
  Table t;
  for (int r = 1; r <= TableRowCount; ++r) {
    const Row v = ElementRow(r, z);
    t.x(r) = v.x;
    t.f(r) = v.f;
    t.s(r) = v.s;
  }
  return t;
}

}  // namespace

TEST(Lookup, InterpolatesBetweenRows) {
  const Table t = MakeTable();
  const double qs[] = {0.0062, 0.0999, 0.11, 0.73, 3.3, 42, 999.9};
  for (double q : qs) {
    int i = 2;
    while (t.x(i) < q) ++i;
    const LookupResult r = LookupPoint(t.x, t.f, t.s, q);
    ASSERT_TRUE(r.inRange) << q;
    // An independent formula (pow, from the lower row): the same value to
    // rounding, 1e-13 relative.
    const double f = LogLog(t.x(i - 1), t.f(i - 1), t.x(i), t.f(i), q);
    const double s = LogLog(t.x(i - 1), t.s(i - 1), t.x(i), t.s(i), q);
    EXPECT_NEAR(r.f, f, 1e-13 * f) << q;
    EXPECT_NEAR(r.s, s, 1e-13 * s) << q;
    EXPECT_TRUE(r.f <= t.f(i - 1) && r.f >= t.f(i)) << q;  // F falls monotonically
  }
}

TEST(Lookup, TableXGivesRowExactly) {
  const Table t = MakeTable();
  for (int row = 2; row <= 43; ++row) {
    const LookupResult r = LookupPoint(t.x, t.f, t.s, t.x(row));
    ASSERT_TRUE(r.inRange) << row;
    EXPECT_EQ(r.f, t.f(row)) << row;
    EXPECT_EQ(r.s, t.s(row)) << row;
  }
}

TEST(Lookup, EdgesOfRange) {
  // Row 1 holds x = 0 and S = 0: 0.005 still answers row 2 exactly.
  const Table t = MakeTable();
  LookupResult r = LookupPoint(t.x, t.f, t.s, 0.005);
  ASSERT_TRUE(r.inRange);
  EXPECT_EQ(r.f, t.f(2));
  EXPECT_EQ(r.s, t.s(2));
  r = LookupPoint(t.x, t.f, t.s, 1000);
  ASSERT_TRUE(r.inRange);
  EXPECT_EQ(r.f, t.f(43));
  EXPECT_EQ(r.s, t.s(43));
}

TEST(Lookup, OutOfRange) {
  const Table t = MakeTable();
  for (double q : {0.0049, 1000.1, 0.0, -1.0, double(NAN), double(INFINITY)})
    EXPECT_FALSE(LookupPoint(t.x, t.f, t.s, q).inRange) << q;
}

TEST(Lookup, BrokenTables) {
  // Nothing loaded (all zeros): the search would run past row 45.
  Table zeros;
  EXPECT_FALSE(LookupPoint(zeros.x, zeros.f, zeros.s, 0.1).inRange);
  // A last row below the typed x.
  Table t = MakeTable();
  for (int r = 38; r <= TableRowCount; ++r) t.x(r) = 20 + r;  // ends at 65
  EXPECT_FALSE(LookupPoint(t.x, t.f, t.s, 70).inRange);
  EXPECT_TRUE(LookupPoint(t.x, t.f, t.s, 64.5).inRange);
  // A pair holding a zero or a negative value.
  t = MakeTable();
  t.f(12) = 0;
  EXPECT_FALSE(LookupPoint(t.x, t.f, t.s, 0.095).inRange);
  // ...but the row's own x answers the row, zero included.
  const LookupResult exact = LookupPoint(t.x, t.f, t.s, 0.1);
  ASSERT_TRUE(exact.inRange);
  EXPECT_EQ(exact.f, 0.0);
  // The pair is named for messages.
  const TableLookup named(t.x, t.f, t.s);
  EXPECT_EQ(named.PairOf(0.095), 12);
  EXPECT_FALSE(named.PairUsable(12));
  EXPECT_EQ(named.PairProblem(12), "rows 11-12: F of row 12 is 0, and a value on log axes must be positive");
  t = MakeTable();
  t.s(20) = -1;
  EXPECT_FALSE(LookupPoint(t.x, t.f, t.s, 0.45).inRange);
}

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every row's x, its neighbours one ulp away, powers of two and their
// neighbours (where Ln takes its other cases), and `randoms` points spread
// in log over the lookup's range and a little beyond. The array forms, by
// every kernel this processor runs, give the same bits, NaN where the
// point is out of range.
std::string FirstDifference(const Table& t, int randoms, std::mt19937_64& rng) {
  const TableLookup fast(t.x, t.f, t.s);
  std::vector<double> qs;
  for (int r = 1; r <= TableRowCount; ++r)
    for (double q : {t.x(r), std::nextafter(t.x(r), 0.0), std::nextafter(t.x(r), 2e3)}) qs.push_back(q);
  for (double q : {LookupMinX, LookupMaxX, std::nextafter(LookupMinX, 0.0), std::nextafter(LookupMaxX, 2e3),
                   0.0, -1.0, double(NAN), double(INFINITY), 1e-310})
    qs.push_back(q);
  for (int e = -8; e <= 10; ++e)
    for (double d : {0.0, 0x1p-21, -0x1p-21, 0x1p-19}) qs.push_back(std::ldexp(1.0 + d, e));
  std::uniform_real_distribution<double> logq(std::log(0.004), std::log(1200.0));
  for (int i = 0; i < randoms; ++i) qs.push_back(std::exp(logq(rng)));
  const auto same = [](const LookupResult& a, double f, double s) {
    return a.inRange ? SameBits(f, a.f) && SameBits(s, a.s) : std::isnan(f) && std::isnan(s);
  };
  const auto describe = [](double q, const char* what, const LookupResult& a, double f, double s) {
    std::ostringstream o;
    o.precision(17);
    o << "q = " << q << ", " << what << ": " << a.inRange << " " << a.f << " " << a.s << " against " << f
      << " " << s;
    return o.str();
  };
  std::vector<double> f(qs.size()), s(qs.size());
  for (LookupKernel kernel : AvailableKernels()) {
    fast.Many(qs.data(), qs.size(), f.data(), s.data(), kernel);
    for (std::size_t k = 0; k < qs.size(); ++k) {
      const LookupResult a = LookupPoint(t.x, t.f, t.s, qs[k]), b = fast(qs[k]);
      if (a.inRange != b.inRange || !SameBits(a.f, b.f) || !SameBits(a.s, b.s))
        return describe(qs[k], "operator()", a, b.f, b.s);
      if (!same(a, f[k], s[k])) return describe(qs[k], KernelName(kernel), a, f[k], s[k]);
    }
    // Between over every pair, wherever q lies, with a length that leaves
    // a tail for the scalar code.
    for (int i = 2; i <= TableRowCount; ++i) {
      const std::size_t n = qs.size() / 7 + i % 5;
      fast.BetweenMany(i, qs.data(), n, f.data(), s.data(), kernel);
      for (std::size_t k = 0; k < n; ++k)
        if (!same(fast.Between(i, qs[k]), f[k], s[k]))
          return describe(qs[k], KernelName(kernel), fast.Between(i, qs[k]), f[k], s[k]);
    }
  }
  // The shuffled order and the full default path.
  std::shuffle(qs.begin(), qs.end(), rng);
  fast.Many(qs.data(), qs.size(), f.data(), s.data());
  for (std::size_t k = 0; k < qs.size(); ++k)
    if (!same(fast(qs[k]), f[k], s[k])) return describe(qs[k], "Many", fast(qs[k]), f[k], s[k]);
  return {};
}

}  // namespace

TEST(Lookup, FastLookupIsBitForBitTheWindowsLookup) {
  std::mt19937_64 rng(20261207);
  // Every shipped table, 100,000 random points each.
  const std::vector<std::string> shipped = ListTableFiles(YEX_SHIPPED_DATA);
  ASSERT_EQ(shipped.size(), 98u);
  for (const std::string& name : shipped) {
    const ScatteringTable st = ReadTableFile(std::string(YEX_SHIPPED_DATA "/") + name);
    Table t;
    for (int r = 1; r <= TableRowCount; ++r) {
      t.x(r) = st.x[r];
      t.f(r) = st.f[r];
      t.s(r) = st.s[r];
    }
    EXPECT_EQ(FirstDifference(t, 100000, rng), "") << name;
  }
  // Tables that break the assumptions: nothing loaded, x not ascending (a
  // dip, a drop at the end, a NaN, a repeated x), unusable values.
  std::vector<std::function<void(Table&)>> hostile = {
      [](Table& t) { t = Table(); },
      [](Table& t) { t.x(20) = 0.01; },
      [](Table& t) {
        for (int r = 38; r <= TableRowCount; ++r) t.x(r) = 20 + r;
      },
      [](Table& t) { t.x(30) = NAN; },
      [](Table& t) { t.x(15) = t.x(14); },
      [](Table& t) {
        t.x(25) = -3;
        t.x(26) = INFINITY;
      },
      [](Table& t) {
        t.f(12) = 0;
        t.s(20) = -1;
        t.f(30) = NAN;
        t.s(33) = INFINITY;
      },
      [](Table& t) {
        t.f(40) = 1e300;
        t.f(41) = 1e-300;
      },
      // Results near the ends of Exp's range: subnormal, and just finite.
      [](Table& t) {
        t.f(10) = 1e-310;
        t.s(11) = 1e-300;
        t.f(30) = 1.7e308;
        t.s(31) = 1e307;
      },
  };
  for (std::size_t k = 0; k < hostile.size(); ++k) {
    Table t = MakeTable(26);
    hostile[k](t);
    EXPECT_EQ(FirstDifference(t, 20000, rng), "") << "hostile table " << k;
  }
}

// YEX's own ln, exp and sin (the same bits on every platform) against the C
// library's: within one unit in the last place over the arguments the
// lookups, grids and angles meet and beyond, exact where the value is, and
// the edges of their ranges.
TEST(ElementaryFunctions, WithinAnUlp) {
  const auto ulps = [](double a, double b) {
    std::int64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return a == b ? 0 : std::llabs(x - y);
  };
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> wide(-744.0, 709.0), narrow(-8.0, 8.0), degrees(-1000.0, 1000.0);
  for (int i = 0; i < 200000; ++i) {
    const double e = i % 2 ? wide(rng) : narrow(rng), l = std::exp(wide(rng)),
                 a = degrees(rng) * M_PI / 360.0;
    ASSERT_LE(ulps(Exp(e), std::exp(e)), 1) << e;
    ASSERT_LE(ulps(Ln(l), std::log(l)), 1) << l;
    ASSERT_LE(ulps(Sin(a), std::sin(a)), 1) << a;
  }
  const struct {
    double got, want;
  } exact[] = {{Exp(0.0), 1.0},
               {Exp(-0.0), 1.0},
               {Exp(1e-300), 1.0},
               {Exp(710.0), INFINITY},
               {Exp(-746.0), 0.0},
               {Exp(-745.0), 5e-324},
               {Exp(-INFINITY), 0},
               {Ln(1.0), 0.0},
               {Ln(0.0), -INFINITY},
               {Ln(INFINITY), INFINITY},
               {Ln(5e-324), std::log(5e-324)},
               {Ln(0x1p-1022), std::log(0x1p-1022)},
               {Sin(0.0), 0.0},
               {Sin(M_PI / 2), 1.0}};
  for (const auto& c : exact) EXPECT_EQ(c.got, c.want);
  EXPECT_TRUE(std::isnan(Ln(-1.0)) && std::isnan(Exp(NAN)) && std::isnan(Sin(1e300)));
}
