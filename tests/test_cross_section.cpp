// Cross sections, differential cross sections and composition averages
// through the command line (the core's own cases: core/test_cross_section.cpp).
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

#include "app/scattering_data/data_folder.h"
#include "core/elements/elements.h"
#include "core/numbers/units.h"
#include "core/physics/composition.h"
#include "core/physics/cross_section.h"
#include "tests/cli_runner.h"
#include "tests/test_support.h"

using namespace yex;
using namespace yex::test;

namespace {

void CopyShipped(const TempWorkDir& dir, const QStringList& names) {
  for (const QString& n : names)
    QFile::copy(QStringLiteral(YEX_SHIPPED_DATA "/") + n + ".yex", dir.data(n + ".yex"));
}

TableLookup Shipped(const QString& name) {
  ScatteringTable t;
  if (!ReadTableFile(QStringLiteral(YEX_SHIPPED_DATA "/") + name + ".yex", t))
    qFatal("no %s", qPrintable(name));
  return TableLookup(t);
}

TableLookup FromFile(const QString& path) {
  ScatteringTable t;
  if (!ReadTableFile(path, t)) qFatal("no %s", qPrintable(path));
  return TableLookup(t);
}

CrossSectionPair Sigma(const TableLookup& t, double e) {
  CrossSectionPair p;
  if (!IntegratedCrossSections(t, e, &p)) qFatal("cannot integrate at %g keV", e);
  return p;
}

// Data lines of CSV output, split.
// Data lines; in x, where a line holds the point once, read as point and x
// both, as in the other units.
QList<QStringList> Rows(const QString& out) {
  QList<QStringList> rows;
  for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
    if (!line.startsWith('#')) rows << line.split(',');
  const bool single = !rows.isEmpty() && rows[0][0] == "x" && rows[0].count("x") == 1;
  rows.removeFirst();  // header
  if (single)
    for (QStringList& row : rows) row.insert(1, row[0]);
  return rows;
}

bool Near(double a, double b, double rel) { return std::fabs(a - b) <= rel * std::fabs(b); }

}  // namespace

class TestCrossSection : public QObject {
  Q_OBJECT
 private slots:
  void commandLine();
  void usageAndDataErrors();
  void wavelengthIsEnergy();
};

void TestCrossSection::commandLine() {
  TempWorkDir dir;
  CopyShipped(dir, {"H", "O", "Si", "C"});
  QCOMPARE(RunCli({"compound", "Water", "--formula", "H2O"}).status, 0);
  // cross-section: energies in the order given, cm²/g where a mass is known.
  CliResult r = RunCli({"cross-section", "C", "Water:18.015", "O.yex", "--energy", "20", "--energy", "8"});
  QCOMPARE(r.status, 0);
  QVERIFY(
      r.out.contains("E_keV,coh(C),incoh(C),coh_cm2g(C),incoh_cm2g(C),coh(Water),incoh(Water),"
                     "coh_cm2g(Water),incoh_cm2g(Water),coh(O),incoh(O),coh_cm2g(O),incoh_cm2g(O)\n"));
  QList<QStringList> rows = Rows(r.out);
  QCOMPARE(rows.size(), 2);
  const TableLookup water = FromFile(dir.data("Water.yex"));
  for (int i = 0; i < 2; ++i) {
    const double e = i == 0 ? 20 : 8;
    QCOMPARE(rows[i][0].toDouble(), e);
    const CrossSectionPair c = Sigma(Shipped("C"), e), w = Sigma(water, e);
    QCOMPARE(rows[i][1].toDouble(), c.coh);
    QCOMPARE(rows[i][4].toDouble(), BarnToCm2PerGram(c.incoh, StandardAtomicWeight(6)));
    QCOMPARE(rows[i][6].toDouble(), w.incoh);
    QCOMPARE(rows[i][7].toDouble(), w.coh * 1e-24 * 6.02214076e23 / 18.015);
  }
  // A table without a known mass has no cm²/g columns; the grid is in log.
  r = RunCli({"cross-section", "Water", "--energy-grid", "10:1000:3"});
  QCOMPARE(r.out.split('\n').filter("E_keV").first(), QString("E_keV,coh(Water),incoh(Water)"));
  rows = Rows(r.out);
  QCOMPARE(rows.size(), 3);
  QVERIFY(Near(rows[1][0].toDouble(), 100, 1e-14));
  QCOMPARE(rows[2][0], QString("1000"));
  // curve --dcs at θ = 90° and 180°, against the formulas.
  r = RunCli({"curve", "C", "--unit", "theta", "--energy", "59.54", "--grid", "90:180:90", "--dcs"});
  QCOMPARE(r.status, 0);
  rows = Rows(r.out);
  for (const QStringList& row : rows) {
    CrossSectionPair d;
    QVERIFY(DifferentialCrossSections(row[1].toDouble(), row[2].toDouble(), row[3].toDouble(), 59.54, &d));
    QCOMPARE(row[4].toDouble(), d.coh);
    QCOMPARE(row[5].toDouble(), d.incoh);
  }
  // An x beyond 1/λ: empty dcs fields, counted, status 1.
  r = RunCli({"curve", "C", "--energy", "10", "--grid", "0.5:1:0.5", "--dcs"});
  QCOMPARE(r.status, 1);
  rows = Rows(r.out);
  QVERIFY(!rows[0][4].isEmpty());
  QCOMPARE(rows[1].mid(4), (QStringList{"", ""}));
  QVERIFY(!rows[1][2].isEmpty());
  // average: the composition line, the columns, equal to the library.
  r = RunCli({"average", "--formula", "SiO2", "--unit", "q", "--grid", "1:3:1", "--energy", "61.3",
              "--breit-dirac", "3"});
  QCOMPARE(r.status, 0);
  QVERIFY(r.out.contains("# sum n = 3; c(Si) = 0.3333333333333333, c(O) = 0.6666666666666666\n"));
  QVERIFY(r.out.contains("q,x,f2_mean,f_mean_sq,S_mean,S_mean_BD\n"));
  const std::vector<Constituent> sio2{{Shipped("Si"), 1}, {Shipped("O"), 2}};
  rows = Rows(r.out);
  QCOMPARE(rows.size(), 3);
  for (const QStringList& row : rows) {
    const double x = XFromQ(row[0].toDouble());
    const CompositionAverages a = AverageAt(sio2, AtomFractions(sio2), x);
    double bd = 0;
    QVERIFY(BreitDiracFactor(x, 61.3, 3, &bd));
    QCOMPARE(row[2].toDouble(), a.f2Mean);
    QCOMPARE(row[3].toDouble(), a.fMeanSq);
    QCOMPARE(row[4].toDouble(), a.sMean);
    QCOMPARE(row[5].toDouble(), a.sMean * bd);
  }
  // The same by TABLE:COUNT, and out-of-range points.
  const CliResult byCounts = RunCli({"average", "Si:1", "O.yex:2", "--unit", "q", "--grid", "1:3:1",
                                     "--energy", "61.3", "--breit-dirac", "3"});
  QCOMPARE(Rows(byCounts.out), rows);
  r = RunCli({"average", "--formula", "SiO2", "--grid", "0.001:0.011:0.005"});
  QCOMPARE(r.status, 1);
  QCOMPARE(Rows(r.out)[0].mid(2), (QStringList{"", "", ""}));
}

void TestCrossSection::usageAndDataErrors() {
  TempWorkDir dir;
  CopyShipped(dir, {"H", "O"});
  const QList<QStringList> usage = {
      {"cross-section", "H"},
      {"cross-section", "--energy", "10"},
      {"cross-section", "H", "--energy", "0"},
      {"cross-section", "H", "--energy", "-5"},
      {"cross-section", "H", "--energy", "ten"},
      {"cross-section", "H", "--energy-grid", "10:100:1"},
      {"cross-section", "H", "--energy-grid", "0:100:5"},
      {"cross-section", "H", "--energy-grid", "10:100"},
      {"cross-section", "H", "--energy", "10", "--energy-grid", "10:100:5"},
      {"cross-section", "H:0", "--energy", "10"},
      {"cross-section", "H:abc", "--energy", "10"},
      {"curve", "H", "--grid", "1:2:1", "--dcs"},
      {"average", "--grid", "1:2:1"},
      {"average", "--formula", "H2Xx", "--grid", "1:2:1"},
      {"average", "--formula", "H2O", "H:1", "--grid", "1:2:1"},
      {"average", "H:0", "--grid", "1:2:1"},
      {"average", "H", "--grid", "1:2:1"},
      {"average", "--formula", "H2O"},
      {"average", "--formula", "H2O", "--grid", "1:2:1", "--breit-dirac", "2"},
      {"average", "--formula", "H2O", "--grid", "1:2:1", "--energy", "20", "--breit-dirac", "4"},
      {"average", "--formula", "H2O", "--grid", "1:2:1", "--energy", "0"},
      {"average", "--formula", "H2O", "--log-grid", "1:2:1"},
  };
  for (const QStringList& args : usage) {
    const CliResult r = RunCli(args);
    QVERIFY2(r.status == 2 && r.out.isEmpty(), qPrintable(args.join(' ')));
  }
  // Data errors: a missing table, a table that cannot be integrated.
  dir.writeRaw("Flat.yex", TableBytes([](int r) { return Row{r == 1 ? 0.0 : GridX(r), 0.0, 1.0}; }));
  dir.writeRaw("NoZero.yex", TableBytes([](int r) { return Row{r == 1 ? 1e-3 : GridX(r), 1.0, 1.0}; }));
  for (const QStringList& args : QList<QStringList>{{"cross-section", "Nothing", "--energy", "10"},
                                                    {"cross-section", "Flat", "--energy", "10"},
                                                    {"cross-section", "NoZero", "--energy", "10"},
                                                    {"cross-section", "H", "--energy", "1.8e10"},
                                                    {"average", "--formula", "NaCl", "--grid", "1:2:1"}}) {
    const CliResult r = RunCli(args);
    QVERIFY2(r.status == 1 && r.out.isEmpty(), qPrintable(args.join(' ')));
  }
  // A Breit-Dirac factor beyond x lambda = 1: the field is left empty and the
  // run is not a success.
  const CliResult bd =
      RunCli({"average", "--formula", "H2O", "--grid", "0.5:1:0.5", "--energy", "10", "--breit-dirac", "2"});
  QCOMPARE(bd.status, 1);
  QVERIFY(!Rows(bd.out)[0][5].isEmpty());
  QCOMPARE(Rows(bd.out)[1][5], QString());
}

// --wavelength hc/E and --energy E give the same numbers in every command
// that takes both: two paths that share no code before the wavelength.
void TestCrossSection::wavelengthIsEnergy() {
  TempWorkDir dir;
  CopyShipped(dir, {"C", "O", "Si"});
  const QString energy = "17.48", wavelength = QString::number(kHcKeVAngstrom / 17.48, 'g', 17);
  const QList<QStringList> commands = {
      {"curve", "C", "--unit", "theta", "--grid", "10:170:40", "--dcs"},
      {"average", "--formula", "SiO2", "--unit", "theta", "--grid", "10:170:40", "--breit-dirac", "2"},
      {"lookup", "Si", "--theta", "30", "--theta", "120"},
  };
  for (const QStringList& args : commands) {
    const CliResult byE = RunCli(args + QStringList{"--energy", energy});
    const CliResult byL = RunCli(args + QStringList{"--wavelength", wavelength});
    QCOMPARE(byE.status, 0);
    QCOMPARE(byL.status, 0);
    const auto fields = [](const QString& out) {
      QStringList all;
      for (const QString& line : out.split('\n'))
        if (!line.startsWith('#') && !line.isEmpty()) all += line.split(QRegularExpression("[, ]"));
      return all;
    };
    const QStringList a = fields(byE.out), b = fields(byL.out);
    QCOMPARE(a.size(), b.size());
    for (int i = 0; i < a.size(); ++i) {
      bool numeric = false;
      const double va = a[i].toDouble(&numeric), vb = b[i].toDouble();
      QVERIFY2(numeric ? Near(va, vb, 1e-12) && !a[i].isEmpty() : a[i] == b[i],
               qPrintable(args.join(' ') + ": " + a[i] + " against " + b[i]));
    }
  }
}

QTEST_GUILESS_MAIN(TestCrossSection)
#include "test_cross_section.moc"
