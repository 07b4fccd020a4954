// yex-cli run as a user runs it, on folders the test prepares, checked
// against what the windows produce for the same input.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "compound_editor/form4.h"
#include "core/lookup/lookup.h"
#include "core/tables/table_format.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "tests/cli_runner.h"
#include "tests/test_support.h"
#include "toolkit/painter_surface.h"

using namespace yex;
using namespace yex::test;

namespace {

using Result = CliResult;
Result Cli(const QStringList& args) { return RunCli(args); }

QStringList Lines(const QString& s) { return s.split('\n', Qt::SkipEmptyParts); }

QStringList DataFiles() { return QDir("YEX-data").entryList(QDir::Files | QDir::Hidden, QDir::Name); }

}  // namespace

class TestCli : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void helpVersionAndUsage();
  void listInTheMainWindowsOrder();
  void showAndCsv();
  void lookupEqualsTheMainWindow();
  void lookupConventions();
  void compoundByCountsAndFormula();
  void compoundEqualsTheEditorsFile();
  void compoundRefusals();
  void brokenTablesCaseAndRaces();
  void rightOrRefusedWithItsReason();
  void mixtureEqualsTheEditorsFile();
  void plotMatchesTheMainWindowsChart();
  void everyNumberFinishes();
};

void TestCli::helpVersionAndUsage() {
  TempWorkDir dir;
  Result r = Cli({"--help"});
  QCOMPARE(r.status, 0);
  QVERIFY(r.out.contains("usage: yex-cli"));
  for (const char* cmd : {"list", "show", "lookup", "compound", "mixture", "plot"}) {
    r = Cli({cmd, "--help"});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains(QString("yex-cli [--data DIR] ") + cmd), cmd);
  }
  r = Cli({"--version"});
  QCOMPARE(r.out, QString("yex-cli 1.0.0\n"));
  r = Cli({});
  QCOMPARE(r.status, 2);
  r = Cli({"frobnicate"});
  QCOMPARE(r.status, 2);
  QVERIFY(r.err.contains("unknown command frobnicate"));
  QVERIFY(r.out.isEmpty());
}

void TestCli::listInTheMainWindowsOrder() {
  TempWorkDir dir;
  for (const char* n : {"b.yex", "A.yex", "C.yex", "c2.yex", "note.txt"}) dir.writeElement(n, 1);
  Form1& main = Windows::form1();
  QStringList window;
  for (int i = 0; i < main.File1->count(); ++i) window << main.File1->item(i)->text();
  const Result r = Cli({"list"});
  QCOMPARE(r.status, 0);
  QCOMPARE(Lines(r.out), window);
  QCOMPARE(Lines(r.out), (QStringList{"A.yex", "b.yex", "C.yex", "c2.yex"}));
  // Another folder through --data; a missing one is a data error.
  QDir().mkpath("other");
  QFile::copy(dir.data("A.yex"), "other/Z.yex");
  QCOMPARE(Lines(Cli({"--data", "other", "list"}).out), QStringList{"Z.yex"});
  QCOMPARE(Cli({"--data", "nowhere", "list"}).status, 1);
}

void TestCli::showAndCsv() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Result r = Cli({"show", "C"});
  QCOMPARE(r.status, 0);
  QStringList lines = Lines(r.out);
  QCOMPARE(lines.size(), 45);
  ScatteringTable t;
  QVERIFY(ReadTableFile(DataFilePath("C.yex"), t));
  QCOMPARE(lines[1], " 2  " + QString::fromStdString(FormatX(t.x[2]) + "  " + FormatFS(t.f[2]) + "  " +
                                                     FormatFS(t.s[2])));
  r = Cli({"show", "C.yex", "--csv"});
  lines = Lines(r.out);
  QCOMPARE(lines.size(), 46);
  QCOMPARE(lines[0], QString("x,F,S"));
  for (int row = 1; row <= 45; ++row) {
    const QStringList f = lines[row].split(',');
    QCOMPARE(f[0].toDouble(), t.x[row]);  // full precision: exact
    QCOMPARE(f[1].toDouble(), t.f[row]);
    QCOMPARE(f[2].toDouble(), t.s[row]);
  }
  r = Cli({"show", "Missing"});
  QCOMPARE(r.status, 1);
  QVERIFY(r.err.contains("Missing.yex"));
  QCOMPARE(Cli({"show", "../C"}).status, 2);
  // A table saved as D.YEX is listed, so every command opens it by name.
  QVERIFY(QFile::copy(dir.data("C.yex"), dir.data("D.YEX")));
  QVERIFY(Lines(Cli({"list"}).out).contains("D.YEX"));
  for (const QStringList& args : QList<QStringList>{{"show", "D"},
                                                    {"show", "D.YEX"},
                                                    {"lookup", "D", "0.3"},
                                                    {"plot", "D", "d.png"},
                                                    {"curve", "D", "--grid", "1:2:1"}})
    QVERIFY2(Cli(args).status == 0, qPrintable(args.join(' ')));
}

void TestCli::lookupEqualsTheMainWindow() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& main = Windows::form1();
  main.File1_Click("C.yex");
  main.Command2_Click();
  const QStringList typed{"0.005", "0.0123", "0.1", "5e-2", "0.77", "13", "999.5", "1000"};
  const Result r = Cli(QStringList{"lookup", "C"} + typed);
  QCOMPARE(r.status, 0);
  const QStringList lines = Lines(r.out);
  QCOMPARE(lines.size(), typed.size());
  for (int i = 0; i < typed.size(); ++i) {
    main.Text1->setText(typed[i]);
    main.Text1_KeyPress(13);
    QCOMPARE(lines[i], main.Text1->text() + ' ' + main.Text2->text() + ' ' + main.Text3->text());
  }
}

void TestCli::lookupConventions() {
  TempWorkDir dir;
  dir.writeElement("Si.yex", 14);
  ScatteringTable t;
  QVERIFY(ReadTableFile(DataFilePath("Si.yex"), t));
  auto expected = [&](double x) {
    int i = 2;
    while (t.x[i] < x) ++i;
    return QString::fromStdString(FormatX(x) + " " +
                                  FormatFS(LogLog(t.x[i - 1], t.f[i - 1], t.x[i], t.f[i], x)) + " " +
                                  FormatFS(LogLog(t.x[i - 1], t.s[i - 1], t.x[i], t.s[i], x)));
  };
  // Cu K-alpha at 8.04778 keV, theta = 30 degrees, by hand.
  const double lambda = 12.398419843320026 / 8.04778;
  Result r = Cli({"lookup", "Si", "--theta", "30", "--energy", "8.04778"});
  QCOMPARE(r.status, 0);
  QCOMPARE(Lines(r.out), QStringList{expected(std::sin(15 * M_PI / 180) / lambda)});
  r = Cli({"lookup", "Si", "--theta", "30", "--theta", "90", "--wavelength", "0.7093"});
  QCOMPARE(Lines(r.out), (QStringList{expected(std::sin(15 * M_PI / 180) / 0.7093),
                                      expected(std::sin(M_PI / 4) / 0.7093)}));
  r = Cli({"lookup", "Si", "--q", "2.5", "0.3"});
  QCOMPARE(Lines(r.out), (QStringList{expected(2.5 / (4 * M_PI)), expected(0.3)}));
  // Out of range: named on standard error, the rest printed, status 1.
  r = Cli({"lookup", "Si", "0.0049", "0.3", "1000.1"});
  QCOMPARE(r.status, 1);
  QCOMPARE(Lines(r.out), QStringList{expected(0.3)});
  QCOMPARE(Lines(r.err), (QStringList{"yex-cli: 0.0049: This value is out of range.",
                                      "yex-cli: 1000.1: This value is out of range."}));
  QCOMPARE(Cli({"lookup", "Si", "--theta", "30"}).status, 2);
  for (const char* option : {"--energy", "--wavelength"})
    for (const char* value : {"-1", "0"}) {
      r = Cli({"lookup", "Si", option, value, "--theta", "3"});
      QCOMPARE(r.status, 2);
      QVERIFY(r.err.contains("must be positive"));
    }
  QCOMPARE(Cli({"lookup", "Si", "--q", "abc"}).status, 2);
}

void TestCli::compoundByCountsAndFormula() {
  TempWorkDir dir;
  for (const char* e : {"H", "O", "Ca", "P", "Cu", "S", "Fe", "K", "C", "N"})
    dir.writeElement(QString(e) + ".yex", 1 + qHash(QString(e)) % 30);
  Result r = Cli({"compound", "W1", "H:2", "O:1"});
  QCOMPARE(r.status, 0);
  QCOMPARE(Lines(r.out),
           (QStringList{"wrote " + QDir::toNativeSeparators("YEX-data/W1.yex"), "  H.yex  2", "  O.yex  1"}));
  r = Cli({"compound", "W2", "--formula", "H2O"});
  QCOMPARE(r.status, 0);
  QCOMPARE(dir.readRaw("W2.yex"), dir.readRaw("W1.yex"));
  r = Cli({"compound", "Ap", "--formula", "Ca5(PO4)3OH"});
  QCOMPARE(Lines(r.out).mid(1), (QStringList{"  Ca.yex  5", "  P.yex  3", "  O.yex  13", "  H.yex  1"}));
  QCOMPARE(Cli({"compound", "Ap2", "Ca:5", "P:3", "O:13", "H:1"}).status, 0);
  QCOMPARE(dir.readRaw("Ap2.yex"), dir.readRaw("Ap.yex"));
  r = Cli({"compound", "Vit", "--formula", "CuSO4·5H2O"});
  QCOMPARE(Lines(r.out).mid(1), (QStringList{"  Cu.yex  1", "  S.yex  1", "  O.yex  9", "  H.yex  10"}));
  r = Cli({"compound", "Prussiate", "--formula", "K4[Fe(CN)6]*3H2O"});
  QCOMPARE(r.status, 0);
  QCOMPARE(Lines(r.out).size(), 7);
  r = Cli({"compound", "Wus", "--formula", "Fe0.95O"});
  QCOMPARE(Lines(r.out).mid(1), (QStringList{"  Fe.yex  0.95", "  O.yex  1"}));
}

void TestCli::compoundEqualsTheEditorsFile() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  ScriptedDialogs d;
  EnterCompound(d, "ByEditor", {{"H.yex", "2"}, {"O.yex", "1"}});
  Windows::form4().Command1_Click();
  QCOMPARE(Cli({"compound", "ByCli", "--formula", "H2O"}).status, 0);
  QCOMPARE(dir.readRaw("ByCli.yex"), dir.readRaw("ByEditor.yex"));
}

void TestCli::compoundRefusals() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  const QByteArray old = TableBytes([](int r) { return ElementRow(r, 40); });
  dir.writeRaw("Keep.yex", old);
  const QStringList before = DataFiles();
  struct Case {
    QStringList args;
    int status;
    const char* says;
  };
  const QList<Case> cases{
      {{"compound", "Keep", "--formula", "H2O"},
       1,
       "YEX-data/Keep.yex already exists; give --force to replace it"},
      {{"compound", "H", "--formula", "H2O", "--force"}, 2, "H.yex is a shipped table"},
      {{"compound", "Keep", "--formula", "H2Xx"}, 2, "unknown element symbol \"Xx\""},
      {{"compound", "Keep", "--formula", "H2(O"}, 2, "unbalanced \"(\""},
      {{"compound", "Keep", "--formula", "NaCl"}, 1, "Na.yex"},
      {{"compound", "Keep", "H:2", "Missing:1"}, 1, "Missing.yex"},
      {{"compound", "Keep", "H:0"}, 2, "positive"},
      {{"compound", "Keep", "H"}, 2, "TABLE:COUNT"},
      {{"compound", "../Keep", "H:1"}, 2, "cannot be a table name"},
      {{"mixture", ".Keep", "H:1"}, 2, "cannot be a table name"},
      {{"compound", "Keep", "H:1", "O:1", "H:1", "O:1", "H:1", "O:1", "H:1", "O:1", "H:1", "O:1", "H:1"},
       2,
       "at most 10"},
      {{"mixture", "Keep", "H:10", "Keep:90"}, 2, "give the atomic weight"},
      {{"mixture", "Keep", "H:0:1", "O:90:16"}, 2, "H:0:1: the weight percent must be positive"},
      {{"mixture", "Keep", "H:50:0", "O:50"}, 2, "H:50:0: the atomic weight must be positive"},
      {{"mixture", "Keep", "H:1:1e300", "O:1:1e-300"}, 1, "Keep not built"},
  };
  for (const Case& c : cases) {
    // Past the first case, --force: the old table survives any failure.
    const Result r = Cli(&c == &cases.first() ? c.args : c.args + QStringList{"--force"});
    QVERIFY2(r.status == c.status, qPrintable(c.args.join(' ') + " -> " + QString::number(r.status)));
    QVERIFY2(r.err.contains(c.says), qPrintable(r.err));
    QCOMPARE(Lines(r.err).size() <= 2, true);
    QCOMPARE(DataFiles(), before);
    QCOMPARE(dir.readRaw("Keep.yex"), old);
  }
  QVERIFY(!QFile::exists("Keep.yex"));
}

void TestCli::brokenTablesCaseAndRaces() {
  TempWorkDir dir;
  for (const char* e : {"H", "C", "O"})
    QFile::copy(QStringLiteral(YEX_SHIPPED_DATA "/") + e + ".yex", dir.data(QString(e) + ".yex"));
  const QByteArray carbon = dir.readRaw("C.yex");
  QByteArray tabs = carbon, nan = carbon;
  tabs.replace("  .", "\t.");
  nan.replace(36 * 4 + 10, 12, "         NaN");
  dir.writeRaw("Ccsv.yex", Cli({"show", "C", "--csv"}).out.toUtf8());
  dir.writeRaw("Ctab.yex", tabs);
  dir.writeRaw("Cnan.yex", nan);
  dir.writeRaw("Ccut.yex", carbon.left(44 * 36 + 20));
  QByteArray doubled;  // carbon with every x doubled
  for (const Row& r : ReadBack(carbon))
    doubled += FormatTableLine(2 * r.x, r.f, r.s).c_str() + QByteArray("\r\n");
  dir.writeRaw("C2.yex", doubled);
  const struct {
    const char* table;
    const char* says;
  } broken[] = {{"Ccsv", "line 1: \"x,F,S\" is not a table line"},
                {"Ctab", "line 1: \"\\x09.000E+00"},
                {"Cnan", "line 5: F \"         NaN\" is not a number"},
                {"Ccut", "line 45: "}};
  const QStringList before = DataFiles();
  for (const auto& b : broken) {
    const QString t = b.table;
    for (const QStringList& args :
         {QStringList{"lookup", t, "0.1"}, QStringList{"cross-section", t, "--energy", "10"},
          QStringList{"curve", t, "--grid", "0.1:0.2:0.1"},
          QStringList{"compound", "New", t + ":1", "O:1"}}) {
      const Result r = Cli(args);
      QVERIFY2(r.status == 1 && r.out.isEmpty(), qPrintable(args.join(' ')));
      QVERIFY2(r.err.contains("YEX-data/" + t + ".yex " + b.says), qPrintable(r.err));
    }
  }
  QCOMPARE(DataFiles(), before);
  // Tables on different x columns are not combined, in either order.
  for (const QStringList& args :
       {QStringList{"compound", "COa", "C2:1", "O:1"}, QStringList{"compound", "COb", "O:1", "C2:1"}}) {
    const Result r = Cli(args);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("differ in x from row 2 (") && r.err.contains("C2.yex"), qPrintable(r.err));
  }
  QCOMPARE(DataFiles(), before);
  // One identity for a name whatever its case.
  QCOMPARE(Cli({"lookup", "c", "0.1"}).out, Cli({"lookup", "C", "0.1"}).out);
  QCOMPARE(Cli({"compound", "c", "--formula", "H2O", "--force"}).status, 2);
  QCOMPARE(Cli({"compound", "Water", "--formula", "H2O"}).status, 0);
  const Result again = Cli({"compound", "WATER", "--formula", "H2O2"});
  QVERIFY2(again.status == 1 && again.err.contains("YEX-data/Water.yex already exists"),
           qPrintable(again.err));
  QCOMPARE(Cli({"compound", "WATER", "--formula", "H2O2", "--force"}).out.section('\n', 0, 0),
           QString("wrote YEX-data/Water.yex"));
  QVERIFY(!DataFiles().contains("WATER.yex"));
  // Of two saves of one new name started together, exactly one wins.
  for (int round = 0; round < 25; ++round) {
    const QString name = QString("R%1").arg(round);
    QProcess a, b;
    a.start(QStringLiteral(YEX_CLI_PATH), {"compound", name, "--formula", "H2O"});
    b.start(QStringLiteral(YEX_CLI_PATH), {"compound", name, "--formula", "H2O2"});
    QVERIFY(a.waitForFinished() && b.waitForFinished());
    QVERIFY2((a.exitCode() == 0) != (b.exitCode() == 0), qPrintable(name));
    QVERIFY(QString::fromUtf8((a.exitCode() ? a : b).readAllStandardError()).contains("already exists"));
  }
}

void TestCli::rightOrRefusedWithItsReason() {
  TempWorkDir dir;
  for (const char* e : {"H", "C", "O", "Si"})
    QFile::copy(QStringLiteral(YEX_SHIPPED_DATA "/") + e + ".yex", dir.data(QString(e) + ".yex"));
  QByteArray zero = dir.readRaw("C.yex");
  zero.replace(36 * 11 + 10, 12, "  .00000E+00");  // F of row 12
  dir.writeRaw("Zero.yex", zero);
  QCOMPARE(Cli({"compound", "Wt", "--formula", "H2O"}).status, 0);
  const auto data = [](const QStringList& args) {
    QStringList l = Lines(Cli(args).out);
    l.erase(std::remove_if(l.begin(), l.end(), [](const QString& x) { return x.startsWith('#'); }), l.end());
    return l;
  };
  // Scaled amounts give the unscaled numbers, in every computation.
  for (const auto& [scaled, plain] : std::vector<std::pair<QStringList, QStringList>>{
           {{"average", "Si:1e308", "O:1e308", "--grid", "0.1:0.1:1"},
            {"average", "Si:1", "O:1", "--grid", "0.1:0.1:1"}},
           {{"average", "Si:1e-310", "O:1e-310", "--grid", "0.1:0.1:1"},
            {"average", "Si:1", "O:1", "--grid", "0.1:0.1:1"}},
           {{"mixture", "Ma", "H:1e308", "O:1e308"}, {"mixture", "Mb", "H:1", "O:1"}}}) {
    QCOMPARE(data(scaled).mid(1), data(plain).mid(1));
  }
  QCOMPARE(dir.readRaw("Ma.yex"), dir.readRaw("Mb.yex"));
  const struct {
    QStringList args;
    int status;
    const char* out;  // the first data line, or ""
    const char* err;
  } cases[] = {
      {{"cross-section", "C:1e-310", "--energy", "10"},
       1,
       "",
       "sigma per gram is beyond the range of numbers"},
      {{"compound", "Big", "H:1e308", "O:1e308"}, 1, "", "Big not built"},
      {{"curve", "C", "--grid", "1:2:1e9"}, 0, "1,1.1121,", ""},
      {{"lookup", "Zero", "0.095"}, 1, "", "yex-cli: 0.095: YEX-data/Zero.yex rows 11-12: F of row 12 is 0"},
      {{"cross-section", "Zero", "--energy", "10"}, 1, "", "(rows 11-12: F of row 12 is 0"},
      {{"curve", "Zero", "--grid", "0.09:0.1:0.005"},
       1,
       "0.09,",
       "(YEX-data/Zero.yex rows 11-12: F of row 12 is 0"},
      {{"lookup", "C", "1e999"}, 2, "", "yex-cli: x 1e999: too large to hold as a number"},
      {{"lookup", "C", "-1"}, 2, "", "yex-cli: x -1: a momentum transfer is not negative"},
      {{"lookup", "C", "--q", "-1"}, 2, "", "yex-cli: q -1: a momentum transfer is not negative"},
      {{"lookup", "C", "--theta", "-5", "--energy", "10"},
       2,
       "",
       "yex-cli: theta -5: a scattering angle lies in"},
      {{"curve", "C", "--grid", "-1:1:0.5"},
       2,
       "",
       "yex-cli: grid -1:1:0.5: a momentum transfer is not negative"},
      {{"lookup", "C", "0"}, 1, "", "yex-cli: 0: This value is out of range."},
      {{"cross-section", "C", "--energy-grid", "1:100:1e7"}, 2, "", "N may be at most 1000000"},
      {{"curve", "C", "--log-grid", "0.1:1:1e13"}, 2, "", "N may be at most 1e+12"},
      {{"curve", "C", "--grid", "0.005:1000:1e-9"}, 2, "", "more than 100000000; give --large-grid"},
      {{"average", "Wt:1", "--grid", "0.1:0.1:0.1"},
       0,
       "0.1,",
       "note: \"Wt\" is no element's table and counts as one"},
      {{"cross-section", "Wt", "--energy", "10"},
       0,
       "10,",
       "note: \"Wt\" is no element's table: its cross sections are per amount"},
  };
  // Behaviours pinned one a row: Q in 1/nm, a replaced table's permissions,
  // a point complete only where every table answers, STOP within 1e-9.
  QCOMPARE(Cli({"lookup", "C", "--qnm", "12.566370614359172"}).out.section(' ', 1),
           Cli({"lookup", "C", "0.1"}).out.section(' ', 1));
  QFile::setPermissions(dir.data("Wt.yex"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
  QCOMPARE(Cli({"compound", "Wt", "--formula", "H2O", "--force"}).status, 0);
  QCOMPARE(QFile::permissions(dir.data("Wt.yex")) & 0x70ff,
           QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
  dir.writeElement("Half.yex", 6, 1e-7);  // rows up to x = 100
  const Result mixed = Cli({"curve", "C", "Half", "--grid", "600:700:100"});
  QVERIFY2(mixed.status == 1 && mixed.err.contains("2 points outside"), qPrintable(mixed.err));
  QVERIFY(data({"curve", "C", "Half", "--grid", "600:700:100"})
              .mid(1)
              .filter(QRegularExpression("^\\d+,[^,]+,[^,]+,,$"))
              .size() == 2);
  QCOMPARE(data({"curve", "C", "--grid", "0.1:0.30000000001:0.1"}).last().section(',', 0, 0),
           QString("0.30000000001"));
  QCOMPARE(data({"curve", "C", "--grid", "0.1:0.3001:0.1"}).last().section(',', 0, 0), QString("0.3"));
  // A streamed block reaches standard output whole while input still comes.
  QProcess stream;
  stream.start(QStringLiteral(YEX_CLI_PATH), {"curve", "C", "--from", "-"});
  stream.write(QByteArray("0.1\n").repeated(50000));  // more than one block read
  QByteArray got;
  while (stream.waitForReadyRead(2000)) got += stream.readAllStandardOutput();
  QVERIFY2(stream.state() == QProcess::Running && got.endsWith('\n') && got.count('\n') > 1000,
           qPrintable(QString::number(got.size())));
  stream.closeWriteChannel();
  QVERIFY(stream.waitForFinished());
  for (const auto& c : cases) {
    const Result r = Cli(c.args);
    const QString what = c.args.join(' ') + " -> " + QString::number(r.status) + " " + r.err;
    QVERIFY2(r.status == c.status && r.err.contains(c.err), qPrintable(what));
    QVERIFY2(*c.out ? data(c.args).value(1).startsWith(c.out) : data(c.args).size() <= 1, qPrintable(what));
    QVERIFY2(!r.out.contains("inf") && !r.out.contains("nan"), qPrintable(what));
  }
}

void TestCli::mixtureEqualsTheEditorsFile() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  ScriptedDialogs d;
  EnterMixture(d, "ByEditor", {{"H.yex", "1.008", "11.19"}, {"O.yex", "15.999", "88.81"}});
  Windows::form6().Command1_Click();
  Result r = Cli({"mixture", "Explicit", "H:11.19:1.008", "O:88.81:15.999"});
  QCOMPARE(r.status, 0);
  QCOMPARE(dir.readRaw("Explicit.yex"), dir.readRaw("ByEditor.yex"));
  QCOMPARE(
      Lines(r.out)[2],
      QString("  O.yex  r = %1  (atomic weight 15.999)").arg(((1.008 / 15.999) * 88.81) / 11.19, 0, 'g', 10));
  r = Cli({"mixture", "Standard", "H:11.19", "O.yex:88.81"});  // standard atomic weights
  QCOMPARE(r.status, 0);
  QCOMPARE(dir.readRaw("Standard.yex"), dir.readRaw("ByEditor.yex"));
}

void TestCli::plotMatchesTheMainWindowsChart() {
  TempWorkDir dir;
  dir.writeElement("U.yex", 92);
  Form1& main = Windows::form1();
  main.File1_Click("U.yex");
  main.Command2_Click();
  Result r = Cli({"plot", "U", "chart.png"});
  QCOMPARE(r.status, 0);
  // yex-cli draws the same chart by the same code without the window
  // toolkit: its own lines and glyphs, so alike pixel for pixel but for the
  // text's smoothing and a pixel here and there along a line.
  const QImage png = QImage("chart.png").convertToFormat(QImage::Format_RGB32);
  const QImage window = main.Picture1->image().convertToFormat(QImage::Format_RGB32);
  QCOMPARE(png.size(), window.size());
  int differ = 0, red[2] = {0, 0}, yellow[2] = {0, 0};
  for (int y = 0; y < png.height(); ++y)
    for (int x = 0; x < png.width(); ++x) {
      const QRgb a = png.pixel(x, y), b = window.pixel(x, y);
      differ +=
          std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 96;
      for (const auto& [k, c] : {std::pair{0, a}, std::pair{1, b}}) {
        red[k] += c == qRgb(255, 0, 0);
        yellow[k] += c == qRgb(255, 255, 0);
      }
    }
  QVERIFY2(differ < png.width() * png.height() * 3 / 100, qPrintable(QString::number(differ)));
  QVERIFY2(std::abs(red[0] - red[1]) < red[1] / 6 && std::abs(yellow[0] - yellow[1]) < yellow[1] / 6,
           qPrintable(QString("%1 %2 %3 %4").arg(red[0]).arg(red[1]).arg(yellow[0]).arg(yellow[1])));
  r = Cli({"plot", "U", "chart.svg", "--size", "800"});
  QCOMPARE(r.status, 0);
  QFile svg("chart.svg");
  QVERIFY(svg.open(QIODevice::ReadOnly));
  const QByteArray text = svg.readAll();
  QVERIFY(text.contains("<svg") && text.contains("width=\"800\"") && text.contains(">F(x)</tspan>") &&
          text.contains(">10</tspan><tspan dy=\"-"));
  QCOMPARE(text.count("stroke=\"#ff0000\""), 43);  // F between the 44 rows drawn
  QCOMPARE(Cli({"plot", "U", "chart.gif"}).status, 2);
  QCOMPARE(Cli({"plot", "Nothing", "x.png"}).status, 1);
  QVERIFY(!QFile::exists("x.png"));
}

// The extremes of the doubles, and what is no number, in every numeric
// option of every command: an answer or a message, never a hang (RunCli's
// time limit is the assertion); nan and inf are refused as usage errors.
void TestCli::everyNumberFinishes() {
  TempWorkDir dir;
  for (const char* e : {"H", "O", "Si", "Pb"})
    QVERIFY(QFile::copy(QString(YEX_SHIPPED_DATA "/") + e + ".yex", dir.data(QString(e) + ".yex")));
  const QStringList requests{"lookup Si #",
                             "lookup Si --q #",
                             "lookup Si --qnm #",
                             "lookup Si --theta # --energy 8",
                             "lookup Si --theta 30 --energy #",
                             "lookup Si --theta 30 --wavelength #",
                             "curve Si --grid #:1:0.1",
                             "curve Si --grid 0.1:#:0.1",
                             "curve Si --grid 0.1:1:#",
                             "curve Si --log-grid #:1:5",
                             "curve Si --log-grid 0.1:#:5",
                             "curve Si --log-grid 0.1:1:#",
                             "curve Si --unit theta --grid 1:179:89 --energy # --dcs",
                             "curve Si --unit q --grid 1:2:1 --wavelength # --dcs",
                             "average Si:# O:1 --grid 0.1:1:0.1",
                             "average --formula SiO2 --grid 0.1:1:0.1 --energy # --breit-dirac 2",
                             "cross-section Pb --energy #",
                             "cross-section Pb:# --energy 10",
                             "cross-section Pb --energy-grid #:1:5",
                             "cross-section Pb --energy-grid 1:#:5",
                             "cross-section Pb --energy-grid 1:10:#",
                             "compound X H:# --force",
                             "mixture X H:# O:1 --force",
                             "mixture X H:1:# O:1 --force",
                             "plot Si p.png --size #"};
  const QStringList extremes{"4.9406564584124654e-324", "1e-300", "1e-160", "1e308",
                             "1.7976931348623157e308",  "-1e308"};
  for (const QString& request : requests) {
    for (const QString& value : extremes + QStringList{"nan", "inf", "-inf"}) {
      QString line = request;
      const Result r = Cli(line.replace('#', value).split(' '));
      const bool number = !value.contains('n');
      QVERIFY2(number || r.status == 2, qPrintable(line + " -> " + QString::number(r.status)));
      QVERIFY2(r.status == 0 ? !r.out.isEmpty() : !r.err.isEmpty(), qPrintable(line + ": " + r.err));
    }
  }
}

QTEST_MAIN(TestCli)
#include "test_cli.moc"
