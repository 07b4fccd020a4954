// Cross sections, differential cross sections and composition averages:
// closed forms, sums by hand, the command line, and xraylib where present.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

#ifdef YEX_HAVE_XRAYLIB
#include <xraylib.h>
#endif

#include "app/scattering_data/data_folder.h"
#include "core/composition.h"
#include "core/cross_section.h"
#include "core/elements.h"
#include "core/units.h"
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
  void constantTablesGiveClosedForms();
  void compoundIsTheSumOfItsAtoms();
  void differentialAtForwardAndBackward();
  void compositionAverages();
  void commandLine();
  void usageAndDataErrors();
  void wavelengthIsEnergy();
  void againstXraylib();
};

void TestCrossSection::constantTablesGiveClosedForms() {
  // The Thomson and Klein-Nishina totals by their closed forms: 0.6652 barn
  // at low energy, 0.2865 barn at k = 1.
  QVERIFY(Near(KleinNishinaTotal(0.1), 8 * M_PI / 3 * kReSquaredBarn, 5e-4));
  QVERIFY(Near(KleinNishinaTotal(kElectronRestKeV), 0.28653, 1e-4));
  for (const auto& [c, s] : {std::pair{1.0, 1.0}, {6.0, 2.5}, {92.0, 0.1}}) {
    RowValues x, f, sv;
    for (int r = 1; r <= TableRowCount; ++r) {
      x(r) = r == 1 ? 0.0 : 0.005 * std::pow(2e11, (r - 2) / 43.0);  // up to 1e9
      f(r) = c;
      sv(r) = s;
    }
    const TableLookup t(x, f, sv);
    for (double e : {5.0, 17.48, 100.0, 511.0, 5000.0}) {
      const CrossSectionPair p = Sigma(t, e);
      QVERIFY2(Near(p.coh, 8 * M_PI / 3 * kReSquaredBarn * c * c, 1e-6), qPrintable(QString::number(e)));
      QVERIFY2(Near(p.incoh, s * KleinNishinaTotal(e), 1e-6), qPrintable(QString::number(e)));
    }
  }
  // Below row 2 the table is linear in x²: at 0.05 keV no angle reaches row
  // 2 (x = 0.01), so with F from 2 to 1 and S from 0 to 1 there,
  // F = 2 - u, S = u, u = (1 - cos θ) / (2 λ² x₂²); against Simpson's rule on
  // the formulas over cos θ.
  RowValues x, f, sv;
  for (int r = 1; r <= TableRowCount; ++r) {
    x(r) = r == 1 ? 0.0 : 0.005 * r;
    f(r) = r == 1 ? 2.0 : 1.0;
    sv(r) = r == 1 ? 0.0 : 1.0;
  }
  const double e = 0.05, lambda = kHcKeVAngstrom / e, kappa = 1 / (2 * lambda * lambda * 0.01 * 0.01);
  double coh = 0, incoh = 0;
  const int n = 20000;
  for (int i = 0; i <= n; ++i) {
    const double c = -1.0 + 2.0 * i / n, w = (i == 0 || i == n ? 1.0 : i % 2 ? 4.0 : 2.0) * (2.0 / n) / 3.0;
    const double u = kappa * (1 - c), pr = 1 / (1 + e / kElectronRestKeV * (1 - c));
    coh += w * M_PI * kReSquaredBarn * (1 + c * c) * (2 - u) * (2 - u);
    incoh += w * M_PI * kReSquaredBarn * pr * pr * (pr + 1 / pr - (1 - c * c)) * u;
  }
  const CrossSectionPair p = Sigma(TableLookup(x, f, sv), e);
  QVERIFY2(Near(p.coh, coh, 1e-9) && Near(p.incoh, incoh, 1e-9),
           qPrintable(QStringLiteral("%1 %2 against %3 %4").arg(p.coh).arg(p.incoh).arg(coh).arg(incoh)));
}

void TestCrossSection::compoundIsTheSumOfItsAtoms() {
  TempWorkDir dir;
  CopyShipped(dir, {"H", "O"});
  QCOMPARE(RunCli({"compound", "Water", "--formula", "H2O"}).status, 0);
  const TableLookup water = FromFile(dir.data("Water.yex")), h = Shipped("H"), o = Shipped("O");
  for (double e : {8.0, 17.48, 60.0, 150.0}) {
    const CrossSectionPair w = Sigma(water, e), sh = Sigma(h, e), so = Sigma(o, e);
    // Within the five digits the written table keeps, and the difference
    // between interpolating a sum on log-log axes and summing interpolations
    // (up to 1.3e-4 at 8 keV).
    QVERIFY(Near(w.coh, 2 * sh.coh + so.coh, 2e-4));
    QVERIFY(Near(w.incoh, 2 * sh.incoh + so.incoh, 2e-4));
  }
}

void TestCrossSection::differentialAtForwardAndBackward() {
  const double re2 = 0.079407877, e = 59.54, k = e / 510.99895;
  CrossSectionPair d;
  QVERIFY(DifferentialCrossSections(0.0, 6.0, 0.5, e, &d));  // θ = 0: Thomson, P = 1
  QCOMPARE(d.coh, re2 * 36.0);
  QVERIFY(Near(d.incoh, re2 * 0.5, 1e-15));
  const double xBack = 1.0 / WavelengthFromEnergy(e);  // θ = 180°
  QVERIFY(DifferentialCrossSections(xBack, 2.0, 3.0, e, &d));
  const double p = 1.0 / (1.0 + 2.0 * k);
  QVERIFY(Near(d.coh, re2 * 4.0, 1e-12));
  QVERIFY(Near(d.incoh, re2 / 2 * p * p * (p + 1 / p) * 3.0, 1e-12));
  QVERIFY(!DifferentialCrossSections(xBack * 1.001, 2.0, 3.0, e, &d));  // no angle reaches it
}

void TestCrossSection::compositionAverages() {
  const TableLookup si = Shipped("Si"), o = Shipped("O");
  const std::vector<Constituent> sio2{{si, 1}, {o, 2}};
  const std::vector<double> c = AtomFractions(sio2);
  for (double x : {0.05, 0.3, 1.7, 12.0}) {
    const LookupResult a = si(x), b = o(x);
    const CompositionAverages avg = AverageAt(sio2, c, x);
    QVERIFY(avg.inRange);
    QVERIFY(Near(avg.f2Mean, (a.f * a.f + 2 * b.f * b.f) / 3, 1e-14));
    QVERIFY(Near(avg.fMeanSq, std::pow((a.f + 2 * b.f) / 3, 2), 1e-14));
    QVERIFY(Near(avg.sMean, (a.s + 2 * b.s) / 3, 1e-14));
  }
  QVERIFY(!AverageAt(sio2, c, 0.001).inRange);
  // Breit-Dirac: P^K with cos θ from x at the energy.
  const double e = 61.3, x = 2.0, l = WavelengthFromEnergy(e);
  const double cosT = 1 - 2 * l * l * x * x, p = 1 / (1 + e / 510.99895 * (1 - cosT));
  for (int k : {2, 3}) {
    double factor = 0;
    QVERIFY(BreitDiracFactor(x, e, k, &factor));
    QVERIFY(Near(factor, std::pow(p, k), 1e-14));
  }
}

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

void TestCrossSection::againstXraylib() {
#ifndef YEX_HAVE_XRAYLIB
  QSKIP("xraylib is not installed");
#else
  // Different evaluations of related data: Compton within 2.5 % for every
  // element, Rayleigh within 2 % up to Z = 30.
  for (int z = 1; z <= 98; ++z) {
    const TableLookup t = Shipped(QString::fromLatin1(ElementSymbol(z).data(), int(ElementSymbol(z).size())));
    for (double e : {10.0, 20.0, 50.0, 100.0}) {
      const CrossSectionPair p = Sigma(t, e);
      const QString where = QStringLiteral("Z = %1 at %2 keV: %3 %4 against %5 %6")
                                .arg(z)
                                .arg(e)
                                .arg(p.coh)
                                .arg(p.incoh)
                                .arg(CSb_Rayl(z, e, nullptr))
                                .arg(CSb_Compt(z, e, nullptr));
      QVERIFY2(Near(p.incoh, CSb_Compt(z, e, nullptr), 0.025), qPrintable(where));
      if (z <= 30) QVERIFY2(Near(p.coh, CSb_Rayl(z, e, nullptr), 0.02), qPrintable(where));
    }
  }
#endif
}

QTEST_GUILESS_MAIN(TestCrossSection)
#include "test_cross_section.moc"
