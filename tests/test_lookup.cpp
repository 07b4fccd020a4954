// The point lookup: range, search from row 2, log-log interpolation from
// the upper row, and tables that break its assumptions.
#include <QDir>
#include <QTest>
#include <cmath>
#include <cstring>
#include <random>

#include "app/scattering_data/data_folder.h"
#include "core/elementary_functions.h"
#include "core/lookup.h"
#include "core/table_lookup.h"
#include "tests/test_support.h"

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

class TestLookup : public QObject {
  Q_OBJECT
 private slots:
  void interpolatesBetweenRows();
  void tableXGivesRowExactly();
  void edgesOfRange();
  void outOfRange();
  void brokenTables();
  void fastLookupIsBitForBitTheWindowsLookup();
  void elementaryFunctionsWithinAnUlp();
};

void TestLookup::interpolatesBetweenRows() {
  const Table t = MakeTable();
  const double qs[] = {0.0062, 0.0999, 0.11, 0.73, 3.3, 42, 999.9};
  for (double q : qs) {
    int i = 2;
    while (t.x(i) < q) ++i;
    const LookupResult r = LookupPoint(t.x, t.f, t.s, q);
    QVERIFY(r.inRange);
    QCOMPARE(r.f, LogLog(t.x(i - 1), t.f(i - 1), t.x(i), t.f(i), q));
    QCOMPARE(r.s, LogLog(t.x(i - 1), t.s(i - 1), t.x(i), t.s(i), q));
    QVERIFY(r.f <= t.f(i - 1) && r.f >= t.f(i));  // F falls monotonically
  }
}

void TestLookup::tableXGivesRowExactly() {
  const Table t = MakeTable();
  for (int row = 2; row <= 43; ++row) {
    const LookupResult r = LookupPoint(t.x, t.f, t.s, t.x(row));
    QVERIFY(r.inRange);
    QCOMPARE(r.f, t.f(row));
    QCOMPARE(r.s, t.s(row));
  }
}

void TestLookup::edgesOfRange() {
  // Row 1 holds x = 0 and S = 0: 0.005 still answers row 2 exactly.
  const Table t = MakeTable();
  LookupResult r = LookupPoint(t.x, t.f, t.s, 0.005);
  QVERIFY(r.inRange);
  QCOMPARE(r.f, t.f(2));
  QCOMPARE(r.s, t.s(2));
  r = LookupPoint(t.x, t.f, t.s, 1000);
  QVERIFY(r.inRange);
  QCOMPARE(r.f, t.f(43));
  QCOMPARE(r.s, t.s(43));
}

void TestLookup::outOfRange() {
  const Table t = MakeTable();
  for (double q : {0.0049, 1000.1, 0.0, -1.0, double(NAN), double(INFINITY)})
    QVERIFY(!LookupPoint(t.x, t.f, t.s, q).inRange);
}

void TestLookup::brokenTables() {
  // Nothing loaded (all zeros): the search would run past row 45.
  Table zeros;
  QVERIFY(!LookupPoint(zeros.x, zeros.f, zeros.s, 0.1).inRange);
  // A last row below the typed x.
  Table t = MakeTable();
  for (int r = 38; r <= TableRowCount; ++r) t.x(r) = 20 + r;  // ends at 65
  QVERIFY(!LookupPoint(t.x, t.f, t.s, 70).inRange);
  QVERIFY(LookupPoint(t.x, t.f, t.s, 64.5).inRange);
  // A pair holding a zero or a negative value.
  t = MakeTable();
  t.f(12) = 0;
  QVERIFY(!LookupPoint(t.x, t.f, t.s, 0.095).inRange);
  // ...but the row's own x answers the row, zero included.
  const LookupResult exact = LookupPoint(t.x, t.f, t.s, 0.1);
  QVERIFY(exact.inRange);
  QCOMPARE(exact.f, 0.0);
  t = MakeTable();
  t.s(20) = -1;
  QVERIFY(!LookupPoint(t.x, t.f, t.s, 0.45).inRange);
}

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every row's x, its neighbours one ulp away, powers of two and their
// neighbours (where Ln takes its other cases), and `randoms` points spread
// in log over the lookup's range and a little beyond. The array forms, by
// every kernel this processor runs, give the same bits, NaN where the
// point is out of range.
QString FirstDifference(const Table& t, int randoms, std::mt19937_64& rng) {
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
    return QStringLiteral("q = %1, %2: %3 %4 %5 against %6 %7")
        .arg(q, 0, 'g', 17)
        .arg(QString::fromLatin1(what))
        .arg(a.inRange)
        .arg(a.f, 0, 'g', 17)
        .arg(a.s, 0, 'g', 17)
        .arg(f, 0, 'g', 17)
        .arg(s, 0, 'g', 17);
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

void TestLookup::fastLookupIsBitForBitTheWindowsLookup() {
  std::mt19937_64 rng(20261207);
  // Every shipped table, 100,000 random points each.
  const QStringList shipped = QDir(QStringLiteral(YEX_SHIPPED_DATA)).entryList({"*.yex"}, QDir::Files);
  QCOMPARE(shipped.size(), 98);
  for (const QString& name : shipped) {
    ScatteringTable st;
    QVERIFY(ReadTableFile(QStringLiteral(YEX_SHIPPED_DATA "/") + name, st));
    Table t;
    for (int r = 1; r <= TableRowCount; ++r) {
      t.x(r) = st.x[r];
      t.f(r) = st.f[r];
      t.s(r) = st.s[r];
    }
    const QString diff = FirstDifference(t, 100000, rng);
    QVERIFY2(diff.isEmpty(), qPrintable(name + ": " + diff));
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
    const QString diff = FirstDifference(t, 20000, rng);
    QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("hostile table %1: ").arg(k) + diff));
  }
}

// YEX's own ln, exp and sin (the same bits on every platform) against the C
// library's: within one unit in the last place over the arguments the
// lookups, grids and angles meet and beyond, exact where the value is, and
// the edges of their ranges.
void TestLookup::elementaryFunctionsWithinAnUlp() {
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
    QVERIFY2(ulps(Exp(e), std::exp(e)) <= 1, qPrintable(QString::number(e, 'g', 17)));
    QVERIFY2(ulps(Ln(l), std::log(l)) <= 1, qPrintable(QString::number(l, 'g', 17)));
    QVERIFY2(ulps(Sin(a), std::sin(a)) <= 1, qPrintable(QString::number(a, 'g', 17)));
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
  for (const auto& c : exact) QCOMPARE(c.got, c.want);
  QVERIFY(std::isnan(Ln(-1.0)) && std::isnan(Exp(NAN)) && std::isnan(Sin(1e300)));
}

QTEST_APPLESS_MAIN(TestLookup)
#include "test_lookup.moc"
