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

}  // namespace

class TestCli : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void listInTheMainWindowsOrder();
  void lookupEqualsTheMainWindow();
  void compoundEqualsTheEditorsFile();
  void mixtureEqualsTheEditorsFile();
  void plotMatchesTheMainWindowsChart();
};

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
QTEST_MAIN(TestCli)
#include "test_cli.moc"
