// yex-cli curve run as a user runs it: units, grids, files, formats, errors,
// and every number against the main window's lookup.
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

#include "app/scattering_data/data_folder.h"
#include "core/table_format.h"
#include "core/table_lookup.h"
#include "tests/cli_runner.h"
#include "tests/test_support.h"

using namespace yex;
using namespace yex::test;

namespace {

struct Output {
  QStringList comments;
  QStringList header;
  QList<QStringList> rows;
};

// In x a line holds the point once; it is read here as point and x both,
// as in the other units.
Output Parse(const QString& out, QChar sep = ',') {
  Output o;
  bool single = false;
  for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
    QStringList fields = line.split(sep);
    if (line.startsWith('#')) {
      o.comments << line;
      continue;
    }
    if (o.header.isEmpty()) single = fields.count("x") == 1 && fields[0] == "x";
    if (single) fields.insert(1, fields[0]);
    if (o.header.isEmpty())
      o.header = fields;
    else
      o.rows << fields;
  }
  return o;
}

TableLookup Loaded(const QString& name) {
  ScatteringTable t;
  if (!ReadTableFile(DataFilePath(name + ".yex"), t)) qFatal("cannot read %s", qPrintable(name));
  return TableLookup(t);
}

// Columns F and S from `first` on hold exactly the lookup at x.
bool RowMatches(const QStringList& row, int first, const TableLookup& lookup) {
  const LookupResult r = lookup(row[1].toDouble());
  if (!r.inRange) return row[first].isEmpty() && row[first + 1].isEmpty();
  return row[first].toDouble() == r.f && row[first + 1].toDouble() == r.s;
}

}  // namespace

class TestCurve : public QObject {
  Q_OBJECT
 private slots:
  void init() { dir_ = std::make_unique<TempWorkDir>(); }
  void cleanup() { dir_.reset(); }
  void unitsAgainstHandValues();
  void gridEndsAndCounts();
  void severalTablesEqualOneRunEach();
  void formats();
  void pointsFromFileAndStdin();
  void pointsOutOfRange();
  void readsItsOwnOutput();
  void usageErrors();

 private:
  std::unique_ptr<TempWorkDir> dir_;
};

void TestCurve::unitsAgainstHandValues() {
  dir_->writeElement("Si.yex", 14);
  const TableLookup si = Loaded("Si");
  const double lambdaMo = 12.398419843320026 / 17.48;
  // The # lines say what was asked: the unit, and the energy with its λ or
  // the wavelength.
  struct Case {
    QStringList unit;
    QString point;
    double x;
    QStringList says;
  } cases[] = {
      {{}, "0.3", 0.3, {"# unit: x = sin(theta/2)/lambda in 1/Angstrom"}},
      {{"--unit", "q"}, "2.5", 2.5 / (4 * M_PI), {"# unit: q = 4 pi x in 1/Angstrom"}},
      {{"--unit", "qnm"}, "25", 2.5 / (4 * M_PI), {"# unit: qnm = 4 pi x in 1/nm"}},
      {{"--unit", "theta", "--energy", "17.48"},
       "30",
       std::sin(15 * M_PI / 180) / lambdaMo,
       {"# unit: theta = scattering angle in degrees",
        "# energy: 17.48 keV (lambda = 0.7092917530503448 Angstrom)"}},
      {{"--unit", "theta", "--wavelength", "1.5406"},
       "90",
       std::sin(M_PI / 4) / 1.5406,
       {"# unit: theta = scattering angle in degrees", "# wavelength: 1.5406 Angstrom"}},
  };
  QCOMPARE(QString("0.7092917530503448").toDouble(), lambdaMo);  // the shortest text of λ
  for (const Case& c : cases) {
    const CliResult r = RunCli(QStringList{"curve", "Si", "--grid", c.point + ":" + c.point + ":1"} + c.unit);
    QCOMPARE(r.status, 0);
    const Output o = Parse(r.out);
    QCOMPARE(o.rows.size(), 1);
    QCOMPARE(o.header[0], c.unit.isEmpty() ? QString("x") : c.unit[1]);
    for (const QString& line : c.says) QVERIFY2(o.comments.contains(line), qPrintable(line));
    QCOMPARE(o.comments.filter(QRegularExpression("^# (energy|wavelength):")).size(),
             c.unit.size() > 2 ? 1 : 0);
    QCOMPARE(o.rows[0][0].toDouble(), c.point.toDouble());
    QVERIFY2(std::fabs(o.rows[0][1].toDouble() - c.x) <= 1e-15 * c.x, qPrintable(c.point));
    QVERIFY(RowMatches(o.rows[0], 2, si));
  }
}

void TestCurve::gridEndsAndCounts() {
  dir_->writeElement("O.yex", 8);
  struct Case {
    QStringList points;
    int count;
    double first, third, last;
  } cases[] = {
      // Decimal grids: each point the double nearest its decimal value.
      {{"--grid", "0.1:0.5:0.1"}, 5, 0.1, 0.3, 0.5},   // STOP on the grid
      {{"--grid", "0:1:0.1"}, 11, 0, 0.2, 1},          // 10 * 0.1 within 1e-9 of 1
      {{"--grid", "0.1:0.55:0.1"}, 5, 0.1, 0.3, 0.5},  // STOP off the grid
      {{"--grid", "1:2:0.3"}, 4, 1, 1.6, 1.9},         {{"--grid", "1e-2:9e-2:2e-2"}, 5, 0.01, 0.05, 0.09},
      {{"--log-grid", "0.01:100:5"}, 5, 0.01, 1, 100}, {{"--log-grid", "100:0.01:3"}, 3, 100, 0.01, 0.01},
  };
  for (const Case& c : cases) {
    const CliResult r = RunCli(QStringList{"curve", "O"} + c.points);
    QCOMPARE(r.status, c.first == 0 ? 1 : 0);  // x = 0 lies outside the lookup's range
    const Output o = Parse(r.out);
    QCOMPARE(o.rows.size(), c.count);
    QCOMPARE(o.rows.first()[0].toDouble(), c.first);
    // Exactly (QCOMPARE compares doubles within a tolerance).
    QVERIFY2(o.rows[2 % c.count][0].toDouble() == c.third, qPrintable(o.rows[2 % c.count][0]));
    QCOMPARE(o.rows.last()[0].toDouble(), c.last);
  }
}

void TestCurve::severalTablesEqualOneRunEach() {
  for (const char* e : {"H", "O", "U"})
    dir_->writeElement(QString(e) + ".yex", e[0] == 'H' ? 1 : e[0] == 'O' ? 8 : 92);
  const QStringList points{"--log-grid", "0.003:1500:2000"};
  const Output all = Parse(RunCli(QStringList{"curve", "H", "O.yex", "U"} + points).out);
  QCOMPARE(all.header, (QStringList{"x", "x", "F(H)", "S(H)", "F(O)", "S(O)", "F(U)", "S(U)"}));
  QCOMPARE(all.rows.size(), 2000);
  for (int t = 0; t < 3; ++t) {
    const Output one = Parse(RunCli(QStringList{"curve", all.header[2 + 2 * t].mid(2, 1)} + points).out);
    const TableLookup lookup = Loaded(all.header[2 + 2 * t].mid(2, 1));
    for (int i = 0; i < all.rows.size(); ++i) {
      QCOMPARE(one.rows[i], all.rows[i].mid(0, 2) + all.rows[i].mid(2 + 2 * t, 2));
      QVERIFY(RowMatches(all.rows[i], 2 + 2 * t, lookup));
    }
  }
}

void TestCurve::formats() {
  dir_->writeElement("C.yex", 6);
  const QStringList points{"curve", "C", "--grid", "0.002:0.05:0.004"};
  const CliResult csv = RunCli(points);
  const CliResult tsv = RunCli(points + QStringList{"--tsv"});
  const CliResult display = RunCli(points + QStringList{"--display", "--csv"});
  QCOMPARE(csv.status, 1);  // 0.002 is out of range
  const Output c = Parse(csv.out), t = Parse(tsv.out, '\t'), d = Parse(display.out);
  QCOMPARE(t.rows, c.rows);
  QCOMPARE(t.comments, c.comments);
  QVERIFY(c.comments.filter("# table C: YEX-data/C.yex").size() == 1);
  QCOMPARE(d.rows.size(), c.rows.size());
  for (int i = 0; i < c.rows.size(); ++i) {
    QCOMPARE(d.rows[i][0], QString::fromStdString(FormatX(c.rows[i][0].toDouble())));
    QCOMPARE(d.rows[i][1], QString::fromStdString(FormatX(c.rows[i][1].toDouble())));
    for (int k : {2, 3})
      QCOMPARE(d.rows[i][k], c.rows[i][k].isEmpty()
                                 ? QString()
                                 : QString::fromStdString(FormatFS(c.rows[i][k].toDouble())));
  }
}

void TestCurve::pointsFromFileAndStdin() {
  dir_->writeElement("O.yex", 8);
  const QByteArray text = "# two-theta scan\n\n0.3, 7.1\n  \t0.5\tcounts\r\n+1e-1\n# end\n2.5";
  QFile f("points.txt");
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(text);
  f.close();
  const CliResult file = RunCli({"curve", "O", "--from", "points.txt"});
  const CliResult in = RunCli({"curve", "O", "--from", "-"}, text);
  QCOMPARE(file.status, 0);
  QCOMPARE(Parse(in.out).rows, Parse(file.out).rows);
  QStringList xs;
  for (const QStringList& row : Parse(file.out).rows) xs << row[0];
  QCOMPARE(xs, (QStringList{"0.3", "0.5", "0.1", "2.5"}));
  // A stray word ends the run, naming file and line; the lines before stand.
  const CliResult bad = RunCli({"curve", "O", "--from", "-"}, "0.2\n0.4\nbackground\n0.6\n");
  QCOMPARE(bad.status, 2);
  QVERIFY2(bad.err.contains("standard input:3: \"background\" is not a number"), qPrintable(bad.err));
  QCOMPARE(Parse(bad.out).rows.size(), 2);
}

void TestCurve::pointsOutOfRange() {
  dir_->writeElement("O.yex", 8);
  const CliResult r = RunCli({"curve", "O", "--from", "-"}, "0.001\n0.3\n1000\n1000.5\n");
  QCOMPARE(r.status, 1);
  const Output o = Parse(r.out);
  QCOMPARE(o.rows.size(), 4);
  for (int i : {0, 3}) QCOMPARE(o.rows[i].mid(2), (QStringList{"", ""}));
  for (int i : {1, 2}) QVERIFY(!o.rows[i][2].isEmpty() && !o.rows[i][3].isEmpty());
  QCOMPARE(r.err, QString("yex-cli: 2 points outside x = 0.005..1000: fields left empty\n"));
}

// What curve writes, read back by --from: the # lines and the header are
// skipped, the first column is the point in the unit.
void TestCurve::readsItsOwnOutput() {
  dir_->writeElement("Si.yex", 14);
  dir_->writeElement("O.yex", 8);
  for (const char* unit : {"x", "q", "qnm", "theta"})
    for (const char* format : {"--csv", "--tsv"}) {
      const QStringList request{"curve", "Si", "O", "--unit", unit, "--energy", "17.48", format};
      const CliResult written = RunCli(request + QStringList{"--grid", "1:30:0.7"});
      const CliResult read = RunCli(request + QStringList{"--from", "-"}, written.out.toUtf8());
      QVERIFY2(read.status == written.status, unit);
      const QChar sep = format[2] == 't' ? '\t' : ',';
      QCOMPARE(Parse(read.out, sep).header, Parse(written.out, sep).header);
      QCOMPARE(Parse(read.out, sep).rows, Parse(written.out, sep).rows);
      QCOMPARE(Parse(read.out, sep).rows.size(), 42);
    }
}

void TestCurve::usageErrors() {
  dir_->writeElement("O.yex", 8);
  QDir().mkdir("folder");
  const QList<QStringList> cases = {
      {"curve", "O"},                                          // no points
      {"curve", "--grid", "1:2:1"},                            // no table
      {"curve", "O", "--grid", "1:2:1", "--from", "-"},        // two sources
      {"curve", "O", "--grid", "1:2:1", "--grid", "1:3:1"},    // one source twice
      {"curve", "O", "--unit", "theta", "--grid", "1:2:1"},    // theta without energy
      {"curve", "O", "--grid", "1:2:0"},                       // STEP = 0
      {"curve", "O", "--grid", "1:2:-0.5"},                    // STEP < 0
      {"curve", "O", "--grid", "2:1:0.5"},                     // STOP below START
      {"curve", "O", "--grid", "1:2"},                         // not START:STOP:STEP
      {"curve", "O", "--log-grid", "1:2:1"},                   // N < 2
      {"curve", "O", "--log-grid", "1:2:2.5"},                 // N not whole
      {"curve", "O", "--log-grid", "0:2:5"},                   // log of 0
      {"curve", "O", "--from", "missing.txt"},                 // unreadable file
      {"curve", "O", "--from", "folder"},                      // not a file
      {"curve", "O", "--grid", "1:2:1", "--unit", "nm"},       // unknown unit
      {"curve", "O", "--grid", "1:2:1", "--energy", "0"},      // energy not positive
      {"curve", "O", "--grid", "1:2:1", "--wavelength", "0"},  // wavelength not positive
      {"curve", "O", "--grid", "1:2:1", "--energy", "8", "--wavelength", "1"},
      {"curve", "O", "--grid", "1:2:1", "--csv", "--tsv"},
      {"curve", "O", "--grid", "1:2:1", "--bogus"},
  };
  for (const QStringList& args : cases) {
    const CliResult r = RunCli(args);
    QVERIFY2(r.status == 2, qPrintable(args.join(' ')));
    QVERIFY2(r.out.isEmpty(), qPrintable(args.join(' ')));
    QCOMPARE(r.err.count("yex-cli: "), 1);
  }
  // A missing table is a data error, as in every command.
  const CliResult missing = RunCli({"curve", "Missing", "--grid", "1:2:1"});
  QCOMPARE(missing.status, 1);
  QVERIFY(missing.out.isEmpty());
  // An empty file has no points either.
  const CliResult empty = RunCli({"curve", "O", "--from", "-"}, "# nothing\n");
  QCOMPARE(empty.status, 2);
  QVERIFY(empty.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestCurve)
#include "test_curve.moc"
