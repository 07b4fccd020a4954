// The new-data chooser and the round trip between the windows.
#include <QDir>
#include <QTest>
#include <cmath>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "aux_windows/form3.h"
#include "aux_windows/form5.h"
#include "compound_editor/form4.h"
#include "core/tables/table_format.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "tests/test_support.h"
#include "toolkit/fonts.h"

using namespace yex;
using namespace yex::test;
using namespace yex::Module1;

namespace {

void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2)); }

Form1& StartProgram() {
  Form1& f = Windows::form1();
  f.show();
  return f;
}

void CopyShipped(TempWorkDir& dir, const QString& name) {
  QFile::copy(QStringLiteral(YEX_SHIPPED_DATA "/") + name, dir.data(name));
}

}  // namespace

class TestNavigation : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void chooserLayout();
  void navigationTable();
  void chooserCancelKeepsEverything();
  void editorCancelLeavesClearedTable();
  void editorOkLeavesListShowingLastGo();
  void closeRequestsCannotStrandTheUser();
  void endingWithHiddenWindows();
  void roundTripCompoundFromShippedTables();
  void roundTripMixtureFromShippedTables();
};

void TestNavigation::chooserLayout() {
  TempWorkDir dir;
  Form5& c = Windows::form5();
  QCOMPARE(c.windowTitle(), QString("New Data"));
  QCOMPARE(c.size(), QSize(260, 172));
  QVERIFY(!(c.windowFlags() & Qt::WindowCloseButtonHint));
  QVERIFY(!(c.windowFlags() & Qt::WindowSystemMenuHint));
  QCOMPARE(c.Label1->text(), QString("新規データの作成"));
  QCOMPARE(c.Label1->font().family(), kHgMaruGothic);
  QCOMPARE(c.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  QCOMPARE(c.Label1->pos(), QPoint(64, 16));
  QCOMPARE(c.Command1->text(), QString("Chemical Compound"));
  QCOMPARE(c.Command2->text(), QString("Mixture"));
  QCOMPARE(c.Command3->text(), QString("Cancel"));
  QCOMPARE(c.Command1->geometry(), QRect(24, 48, 209, 25));
  QCOMPARE(c.Command2->geometry(), QRect(24, 88, 209, 25));
  QCOMPARE(c.Command3->geometry(), QRect(24, 128, 209, 25));
  for (QPushButton* b : {c.Command1, c.Command2, c.Command3}) {
    QCOMPARE(b->font().family(), kTimes);
    QCOMPARE(b->font().pointSizeF(), 12.0);
    QVERIFY(!b->isDefault() && !b->autoDefault());
  }
  QCOMPARE(c.Command1->nextInFocusChain(), c.Command2);
  QCOMPARE(c.Command2->nextInFocusChain(), c.Command3);
}

void TestNavigation::navigationTable() {
  TempWorkDir dir;
  Form1& main = StartProgram();
  QCOMPARE(Visible(), QString("Form1"));
  Click(main.Command3);  // data-source button
  QCOMPARE(Visible(), QString("Form1 Form3"));
  Click(Windows::form3().Command1);  // Close
  QCOMPARE(Visible(), QString("Form1"));
  Click(main.Command3);
  Click(main.Command4);  // New Data hides Form1 and Form3
  QCOMPARE(Visible(), QString("Form5"));
  Click(Windows::form5().Command3);  // Cancel
  QCOMPARE(Visible(), QString("Form1"));
  Click(main.Command4);
  Click(Windows::form5().Command1);  // Chemical Compound
  QCOMPARE(Visible(), QString("Form4"));
  QCOMPARE(Form4::loadCount(), 1);
  Click(Windows::form4().Command2);  // editor Cancel
  QCOMPARE(Visible(), QString("Form1"));
  Click(main.Command4);
  Click(Windows::form5().Command1);
  QCOMPARE(Visible(), QString("Form4"));
  QCOMPARE(Form4::loadCount(), 1);  // loaded on first use only
  Windows::form4().Command2_Click();
  Click(main.Command4);
  Click(Windows::form5().Command2);  // Mixture
  QCOMPARE(Visible(), QString("Form6"));
  Click(Windows::form6().Command2);
  QCOMPARE(Visible(), QString("Form1"));
  // A successful OK of either editor returns to Form1.
  dir.writeElement("H.yex", 1);
  main.File1->refresh();
  ScriptedDialogs d;
  Click(main.Command4);
  Click(Windows::form5().Command2);
  Form6& mix = Windows::form6();
  d.answer({"M", "1"});
  mix.Text1_Click();
  mix.Text2_Click();
  QVERIFY(mix.File1->selectFileName("H.yex"));
  d.answer({"1", "1"});
  mix.ConstituentPick(1);
  Click(mix.Command1);
  QCOMPARE(Visible(), QString("Form1"));
  // The data-source window stays hidden after the editors until asked for.
  Click(main.Command3);
  Click(main.Command4);
  Click(Windows::form5().Command1);
  Click(Windows::form4().Command2);
  QCOMPARE(Visible(), QString("Form1"));
  for (auto w : {Windows::Which::Form1, Windows::Which::Form3, Windows::Which::Form4, Windows::Which::Form5,
                 Windows::Which::Form6})
    QCOMPARE(Windows::creations(w), 1);
}

void TestNavigation::chooserCancelKeepsEverything() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& main = StartProgram();
  QVERIFY(main.File1->selectFileName("C.yex"));
  main.Command2_Click();
  main.List1->setCurrentRow(4);
  const QString t1 = main.Text1->text();
  const QImage chart = main.Picture1->image().copy();
  const double f7 = FData(7);
  main.Command4_Click();
  Windows::form5().Command3_Click();
  QCOMPARE(main.List1->count(), 45);
  QCOMPARE(main.List1->currentRow(), 4);
  QCOMPARE(main.Text1->text(), t1);
  QCOMPARE(main.Picture1->image(), chart);
  QCOMPARE(main.File1->selectedFileName(), QString("C.yex"));
  QCOMPARE(SelectedFile, std::string("C.yex"));
  QCOMPARE(FData(7), f7);
}

void TestNavigation::editorCancelLeavesClearedTable() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& main = StartProgram();
  main.File1_Click("C.yex");
  main.Command2_Click();
  const QImage chart = main.Picture1->image().copy();
  RowText(0) = "untouched";
  XData(0) = 42;
  main.Command4_Click();
  Windows::form5().Command1_Click();
  Windows::form4().Command2_Click();
  QCOMPARE(main.List1->count(), 45);
  QCOMPARE(main.Picture1->image(), chart);
  for (int r = 1; r <= 45; ++r) QVERIFY(XData(r) == 0 && FData(r) == 0 && SData(r) == 0);
  QCOMPARE(XData(0), 42.0);  // only rows 1..45 are cleared
  QCOMPARE(RowText(0), std::string("untouched"));
  QVERIFY(!RowText(5).empty());
  ScriptedDialogs d;
  main.Text1->setText("0.1");
  main.Text1_KeyPress(13);
  QCOMPARE(d.messages(), QStringList{"This value is out of range."});
}

void TestNavigation::editorOkLeavesListShowingLastGo() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  dir.writeElement("H.yex", 1);
  Form1& main = StartProgram();
  main.File1_Click("C.yex");
  main.Command2_Click();
  const QString line5 = main.List1->item(4)->text();
  ScriptedDialogs d;
  main.Command4_Click();
  Windows::form5().Command1_Click();
  EnterCompound(d, "H3", {{"H.yex", "3"}});
  Windows::form4().Command1_Click();
  QCOMPARE(main.List1->item(4)->text(), line5);
  QCOMPARE(main.Label4->text(), QString("C.yex"));
  main.Text1->setText("0.1");
  main.Text1_KeyPress(13);
  QCOMPARE(
      main.Text3->text(),
      QString::fromStdString(FormatFS(3 * ParseTableLine(FormatTableLine(0.1, 1, ElementRow(12, 1).s)).s)));
}

void TestNavigation::closeRequestsCannotStrandTheUser() {
  TempWorkDir dir;
  Form1& main = StartProgram();
  main.Command4_Click();
  QVERIFY(!Windows::form5().close());
  QCOMPARE(Visible(), QString("Form5"));
  Windows::form5().Command1_Click();
  QVERIFY(!Windows::form4().close());
  QCOMPARE(Visible(), QString("Form4"));
  Windows::form4().Command2_Click();
  main.Command4_Click();
  Windows::form5().Command2_Click();
  QVERIFY(!Windows::form6().close());
  QCOMPARE(Visible(), QString("Form6"));
}

void TestNavigation::endingWithHiddenWindows() {
  TempWorkDir dir;
  Form1& main = StartProgram();
  main.Command3_Click();
  main.Command4_Click();
  Windows::form5().Command2_Click();
  Windows::form6().Command2_Click();
  main.close();
  QVERIFY(Windows::ProgramEnded());
  QCOMPARE(Visible(), QString());
}

void TestNavigation::roundTripCompoundFromShippedTables() {
  TempWorkDir dir;
  CopyShipped(dir, "H.yex");
  CopyShipped(dir, "O.yex");
  Form1& main = StartProgram();
  ScriptedDialogs d;
  Click(main.Command4);
  Click(Windows::form5().Command1);
  Form4& e = Windows::form4();
  d.answer({"H2O", "2"});
  Click(e.Text1);
  Click(e.Text2);
  QVERIFY(e.File1->selectFileName("H.yex"));
  d.answer({"2"});
  Click(e.row(1).caption);
  QVERIFY(e.File1->selectFileName("O.yex"));
  d.answer({"1"});
  Click(e.row(2).name);
  Click(e.Command1);
  QCOMPARE(Visible(), QString("Form1"));
  QVERIFY(main.File1->selectFileName("H2O.yex"));
  QCOMPARE(SelectedFile, std::string("H2O.yex"));
  Click(main.Command2);
  QCOMPARE(main.Label4->text(), QString("H2O.yex"));
  main.Text1->setText("0.1");
  main.Text1_KeyPress(13);
  // Independently: the shipped rows at 0.09 and 0.1, combined and rounded as
  // written, then interpolated.
  const QList<Row> h = ReadBack(dir.readRaw("H.yex")), o = ReadBack(dir.readRaw("O.yex"));
  const QList<Row> w = ReadBack(dir.readRaw("H2O.yex"));
  for (int i : {10, 11}) {
    QVERIFY(std::fabs(w[i].f - std::sqrt(2 * h[i].f * h[i].f + o[i].f * o[i].f)) < 1e-4 * w[i].f);
    QVERIFY(std::fabs(w[i].s - (2 * h[i].s + o[i].s)) < 1e-4 * w[i].s);
  }
  QCOMPARE(w[11].x, 0.1);
  QCOMPARE(main.Text2->text(), QString::fromStdString(FormatFS(w[11].f)));
  QCOMPARE(main.Text3->text(), QString::fromStdString(FormatFS(w[11].s)));
  main.Text1->setText("0.095");
  main.Text1_KeyPress(13);
  QCOMPARE(main.Text2->text(),
           QString::fromStdString(FormatFS(LogLog(w[10].x, w[10].f, w[11].x, w[11].f, 0.095))));
  QVERIFY(d.messages().contains("データはファイルに保存されました。"));
}

void TestNavigation::roundTripMixtureFromShippedTables() {
  TempWorkDir dir;
  CopyShipped(dir, "H.yex");
  CopyShipped(dir, "O.yex");
  Form1& main = StartProgram();
  ScriptedDialogs d;
  Click(main.Command4);
  Click(Windows::form5().Command2);
  Form6& e = Windows::form6();
  d.answer({"WaterW", "2"});
  Click(e.Label1);
  Click(e.Text2);
  QVERIFY(e.File1->selectFileName("H.yex"));
  d.answer({"1.008", "11.19"});
  Click(e.row(1).caption);
  QVERIFY(e.File1->selectFileName("O.yex"));
  d.answer({"15.999", "88.81"});
  Click(e.row(2).name);
  Click(e.Command1);
  QCOMPARE(Visible(), QString("Form1"));
  QVERIFY(main.File1->selectFileName("WaterW.yex"));
  Click(main.Command2);
  main.Text1->setText("0.1");
  main.Text1_KeyPress(13);
  const double r2 = ((1.008 / 15.999) * 88.81) / 11.19;
  const QList<Row> h = ReadBack(dir.readRaw("H.yex")), o = ReadBack(dir.readRaw("O.yex"));
  const QList<Row> w = ReadBack(dir.readRaw("WaterW.yex"));
  QVERIFY(std::fabs(w[11].f - std::sqrt(h[11].f * h[11].f + r2 * o[11].f * o[11].f)) < 1e-4 * w[11].f);
  QVERIFY(std::fabs(w[11].s - (h[11].s + r2 * o[11].s)) < 1e-4 * w[11].s);
  QCOMPARE(main.Text2->text(), QString::fromStdString(FormatFS(w[11].f)));
  QCOMPARE(main.Text3->text(), QString::fromStdString(FormatFS(w[11].s)));
}

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
