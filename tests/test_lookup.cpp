// The point lookup: range, search from row 2, log-log interpolation from
// the upper row, and tables that break its assumptions.
#include <QTest>
#include <cmath>

#include "main_window/lookup.h"
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

QTEST_APPLESS_MAIN(TestLookup)
#include "test_lookup.moc"
