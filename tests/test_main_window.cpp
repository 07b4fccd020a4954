// Form1: layout, file list, GO, lookup and row display, ending the program.
#include <QApplication>
#include <QListWidget>
#include <QTest>

#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "aux_windows/form3.h"
#include "core/tables/table_format.h"
#include "main_window/form1.h"
#include "tests/test_support.h"
#include "toolkit/fonts.h"

using namespace yex;
using namespace yex::test;
using namespace yex::Module1;

namespace {

QRect TwipsRect(int l, int t, int w, int h) {
  return QRect((l + 7) / 15, (t + 7) / 15, (w + 7) / 15, (h + 7) / 15);
}

void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2)); }

void ClickListItem(QListWidget* list, int row) {
  QListWidgetItem* item = list->item(row);
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void layoutMatchesTheWindowTable();
  void fontsColoursAndTexts();
  void tabOrder();
  void fileListAndSelection();
  void missingDataFolderGivesEmptyList();
  void goWithoutSelection();
  void goListsTheTable();
  void goTwiceAndTrailingText();
  void goOnUnreadableFileChangesNothing();
  void lookupThroughTheBox();
  void lookupOutOfRangeAndNoTable();
  void rowDisplayAndClickEmptying();
  void endButtonAndCloseBoxEndTheProgram();
  void dataSourceWindowShownOnce();
};

void TestMainWindow::layoutMatchesTheWindowTable() {
  TempWorkDir dir;
  Form1& f = Windows::form1();
  QCOMPARE(f.size(), QSize(1084, 600));
  QCOMPARE(f.minimumSize(), f.maximumSize());
  QCOMPARE(f.windowTitle(), QString("Form Factors & Incoherent Scattering Functions"));
  QCOMPARE(f.File1->geometry(), TwipsRect(360, 600, 2175, 6330));
  QCOMPARE(f.List1->geometry(), TwipsRect(3000, 1080, 4695, 6300));
  QCOMPARE(f.Label11->geometry(), TwipsRect(3000, 7680, 3015, 285));
  QCOMPARE(f.Text1->geometry(), TwipsRect(6000, 7680, 1695, 285));
  QCOMPARE(f.Label3->geometry(), TwipsRect(3000, 8040, 3015, 285));
  QCOMPARE(f.Text2->geometry(), TwipsRect(6000, 8040, 1695, 285));
  QCOMPARE(f.Label10->geometry(), TwipsRect(3000, 8400, 3015, 285));
  QCOMPARE(f.Text3->geometry(), TwipsRect(6000, 8400, 1695, 285));
  QCOMPARE(f.Command2->geometry(), TwipsRect(1440, 7200, 1335, 615));
  QCOMPARE(f.Command3->geometry(), TwipsRect(360, 7200, 615, 615));
  QCOMPARE(f.Command1->geometry(), TwipsRect(360, 8160, 615, 555));
  QCOMPARE(f.Command4->geometry(), TwipsRect(1440, 8160, 1335, 555));
  QCOMPARE(f.Picture1->geometry(), TwipsRect(8040, 480, 7935, 7935));
  QCOMPARE(f.Picture2->geometry(), TwipsRect(15360, 0, 480, 480));
  QCOMPARE(f.Picture2->pixmap().size(), QSize(32, 32));
  QCOMPARE(f.windowIcon().availableSizes().value(0), QSize(32, 32));
  // Self-sizing labels start at their given corner.
  QCOMPARE(f.Label4->pos(), QPoint(784, 8));
  QCOMPARE(f.Label23->pos(), QPoint(202, 8));
  QCOMPARE(f.Label17_0->pos(), QPoint(424, 48));
  // The heading over the file list is centred where the layout puts it.
  QCOMPARE(f.Label1->geometry().center().x(), TwipsRect(465, 240, 1965, 285).center().x());
}

void TestMainWindow::fontsColoursAndTexts() {
  TempWorkDir dir;
  Form1& f = Windows::form1();
  QCOMPARE(f.Label1->text(), QString("Elements & Materials"));
  QCOMPARE(f.Label1->font().family(), kTimes);
  QCOMPARE(f.Label1->font().pointSizeF(), 12.0);
  QCOMPARE(f.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 192));
  QCOMPARE(f.File1->font().family(), kMsGothic);
  QCOMPARE(f.List1->font().family(), kMsGothic);
  QCOMPARE(f.List1->font().pointSizeF(), 12.0);
  QCOMPARE(f.font().pointSizeF(), 11.25);
  QCOMPARE(f.Label2->text(), QString("x=sin(   /2) /"));
  QCOMPARE(f.Label7->text(), QString("θ     λ"));
  QCOMPARE(f.Label7->font().family(), kMsPGothic);
  QStringList headings;
  for (QLabel* l : {f.Label23, f.Label8, f.Label9, f.Label17_2, f.Label13, f.Label14, f.Label15, f.Label17_0})
    headings << l->text();
  QCOMPARE(headings, (QStringList{"Momentum", "transfer", "Form factor", "F(x)", "Incoherent", "Scattering",
                                  "Function", "S(x)"}));
  QCOMPARE(f.Label11->text(), QString("Momentum transfer"));
  QCOMPARE(f.Label3->text(), QString("Form factor"));
  QCOMPARE(f.Label10->text(), QString("Incoherent scattering function"));
  for (QLabel* l : {f.Label11, f.Label3, f.Label10}) {
    QCOMPARE(l->palette().color(QPalette::Window), QColor(255, 255, 192));
    QCOMPARE(l->font().pointSizeF(), 11.25);
  }
  for (QLineEdit* t : {f.Text1, f.Text2, f.Text3}) {
    QCOMPARE(t->palette().color(QPalette::Base), QColor(192, 255, 255));
    QCOMPARE(t->font().family(), kMsPGothic);
    QCOMPARE(t->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QVERIFY(t->toolTip().isEmpty());
    QVERIFY(t->text().isEmpty());
  }
  QCOMPARE(f.Command2->toolTip(), QString(" GO "));
  QCOMPARE(f.Command3->toolTip(), QString("データの出典"));
  QCOMPARE(f.Command1->toolTip(), QString(" bye "));
  QCOMPARE(f.Command4->toolTip(), QString("化合物データの作成"));
  QCOMPARE(f.Command4->text(), QString("New Data"));
  QCOMPARE(f.Command4->font().pointSizeF(), 11.25);
  QVERIFY(!f.Command2->icon().isNull());
  QVERIFY(f.Command2->styleSheet().contains("rgb(0,128,0)"));
  QVERIFY(f.Command1->styleSheet().contains("rgb(0,128,0)"));
  QVERIFY(f.Label4->text().isEmpty());
  QCOMPARE(f.Label4->font().pointSizeF(), 14.25);
  // The Japanese faces resolve to installed fonts with Japanese glyphs.
  QVERIFY(QFontMetrics(f.File1->font()).inFont(QChar(0x51FA)));
}

void TestMainWindow::tabOrder() {
  TempWorkDir dir;
  Form1& f = Windows::form1();
  QList<QWidget*> expected{f.File1,    f.Command2, f.List1, f.Command1, f.Command3,
                           f.Command4, f.Text1,    f.Text2, f.Text3};
  for (int i = 1; i < expected.size(); ++i) {
    QWidget* next = expected[i - 1]->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus || !expected.contains(next)) next = next->nextInFocusChain();
    QCOMPARE(next, expected[i]);
  }
}

void TestMainWindow::fileListAndSelection() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("C.yex", 6);
  dir.writeRaw("notes.txt", "x");
  Form1& f = Windows::form1();
  QCOMPARE(f.File1->count(), 2);
  QCOMPARE(f.File1->item(0)->text(), QString("C.yex"));
  f.show();
  ClickListItem(f.File1, 1);
  QCOMPARE(SelectedFile, std::string("H.yex"));
  // Moving with the arrow keys counts as a click.
  f.File1->setFocus();
  QTest::keyClick(f.File1, Qt::Key_Up);
  QCOMPARE(SelectedFile, std::string("C.yex"));
}

void TestMainWindow::missingDataFolderGivesEmptyList() {
  TempWorkDir dir;
  QDir(dir.path()).rmdir("YEX-data");
  Form1& f = Windows::form1();
  QCOMPARE(f.File1->count(), 0);
  ScriptedDialogs d;
  f.Command2_Click();
  QCOMPARE(d.messages(), QStringList{"Select element or material"});
}

void TestMainWindow::goWithoutSelection() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  f.List1->addItem("earlier");
  f.Text2->setText("keep");
  ScriptedDialogs d;
  Click(f.Command2);
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].kind, DialogCall::Warning);
  QCOMPARE(d.calls()[0].message, QString("Select element or material"));
  QCOMPARE(d.calls()[0].title, QString("YEX"));
  QCOMPARE(f.List1->count(), 1);
  QCOMPARE(f.Text2->text(), QString("keep"));
  QVERIFY(f.Label4->text().isEmpty());
}

void TestMainWindow::goListsTheTable() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  f.File1_Click("C.yex");
  f.Text1->setText("1");
  f.Text2->setText("2");
  f.Text3->setText("3");
  f.Command2_Click();
  QCOMPARE(f.Label4->text(), QString("C.yex"));
  QCOMPARE(f.List1->count(), 45);
  QCOMPARE(f.List1->item(1)->text(),
           QString::fromStdString(FormatTableLine(0.005, ElementRow(2, 6).f, ElementRow(2, 6).s)));
  QVERIFY(f.Text1->text().isEmpty() && f.Text2->text().isEmpty() && f.Text3->text().isEmpty());
  QVERIFY(f.List1->selectedItems().isEmpty());
  QCOMPARE(XData(2), 0.005);
  QCOMPARE(FData(1), 6.0);
  QCOMPARE(RowText(45), FormatTableLine(1e9, ElementRow(45, 6).f, ElementRow(45, 6).s));
  // The chart was drawn: red pixels where F falls.
  const QImage& img = f.Picture1->image();
  int red = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) red += img.pixel(x, y) == qRgb(255, 0, 0);
  QVERIFY(red > 300);
}

void TestMainWindow::goTwiceAndTrailingText() {
  TempWorkDir dir;
  QByteArray bytes = TableBytes([](int r) { return ElementRow(r, 8); });
  bytes.replace(QByteArray("\r\n"), QByteArray(" trailing note\r\n"));
  dir.writeRaw("O.yex", bytes);
  Form1& f = Windows::form1();
  f.File1_Click("O.yex");
  f.Command2_Click();
  f.Command2_Click();
  QCOMPARE(f.List1->count(), 45);
  QVERIFY(f.List1->item(3)->text().endsWith(" trailing note"));
  QCOMPARE(f.List1->item(3)->text().size(), 34 + 14);
  QCOMPARE(FData(4), ParseTableLine(FormatTableLine(GridX(4), ElementRow(4, 8).f, 0)).f);
}

void TestMainWindow::goOnUnreadableFileChangesNothing() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  dir.writeRaw("Short.yex", TableBytes([](int r) { return ElementRow(r, 1); }, 44));
  QDir(dir.path()).mkpath("YEX-data/Dir.yex");
  Form1& f = Windows::form1();
  f.File1_Click("C.yex");
  f.Command2_Click();
  f.List1->setCurrentRow(5);
  const QImage chart = f.Picture1->image().copy();
  const double f10 = FData(10);
  for (const char* bad : {"Short.yex", "Gone.yex", "Dir.yex"}) {
    ScriptedDialogs d;
    f.File1_Click(bad);
    f.Command2_Click();
    QCOMPARE(d.calls().size(), 1);
    QCOMPARE(d.calls()[0].kind, DialogCall::Warning);
    QVERIFY2(d.calls()[0].message.contains(bad), qPrintable(d.calls()[0].message));
    QCOMPARE(f.Label4->text(), QString("C.yex"));
    QCOMPARE(f.List1->count(), 45);
    QCOMPARE(f.Text1->text(), QString("2.50E-02"));  // row 6 is still displayed
    QCOMPARE(FData(10), f10);
    QCOMPARE(f.Picture1->image(), chart);
  }
}

void TestMainWindow::lookupThroughTheBox() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  f.show();
  f.File1_Click("C.yex");
  f.Command2_Click();
  ScriptedDialogs d;
  f.Text1->setFocus();
  f.Text1->clear();
  QTest::keyClicks(f.Text1, "5e-2");
  QCOMPARE(f.Text1->text(), QString("5e-2"));  // other keys type as usual
  QTest::keyClick(f.Text1, Qt::Key_Return);
  QCOMPARE(f.Text1->text(), QString("5.00E-02"));
  QCOMPARE(f.Text2->text(), QString::fromStdString(FormatFS(FData(9))));
  QCOMPARE(f.Text3->text(), QString::fromStdString(FormatFS(SData(9))));
  // Between rows: the log-log line through rows 12 (0.1) and 13 (0.125).
  f.Text1->setText("0.11");
  f.Text1_KeyPress(13);
  const double slope = std::log(FData(13) / FData(12)) / std::log(0.125 / 0.1);
  QCOMPARE(f.Text2->text(), QString::fromStdString(FormatFS(FData(12) * std::pow(1.1, slope))));
  // 1000 is row 43 of the grid exactly.
  f.Text1->setText("1000");
  f.Text1_KeyPress(13);
  QCOMPARE(f.Text2->text(), QString::fromStdString(FormatFS(FData(43))));
  f.Text1->setText("0.005");
  f.Text1_KeyPress(13);
  QCOMPARE(f.Text3->text(), QString::fromStdString(FormatFS(SData(2))));
  QVERIFY(d.calls().isEmpty());
  // Keys other than Enter do nothing but type.
  f.Text1_KeyPress('a');
  QCOMPARE(f.Text1->text(), QString("5.00E-03"));
}

void TestMainWindow::lookupOutOfRangeAndNoTable() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  ScriptedDialogs d;
  // Nothing loaded yet: out of range, no crash.
  f.Text1->setText("0.1");
  f.Text1_KeyPress(13);
  QCOMPARE(d.messages(), QStringList{"This value is out of range."});
  QVERIFY(f.Text1->text().isEmpty());
  f.File1_Click("C.yex");
  f.Command2_Click();
  for (const char* typed : {"0.0049", "1000.1", "0,5", "abc", ""}) {
    d.clear();
    f.Text1->setText(typed);
    f.Text2->setText("x");
    f.Text1_KeyPress(13);
    QCOMPARE(d.calls().size(), 1);
    QCOMPARE(d.calls()[0].kind, DialogCall::Warning);
    QCOMPARE(d.calls()[0].message, QString("This value is out of range."));
    QVERIFY(f.Text1->text().isEmpty() && f.Text2->text().isEmpty() && f.Text3->text().isEmpty());
  }
}

void TestMainWindow::rowDisplayAndClickEmptying() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  f.show();
  f.File1_Click("C.yex");
  f.Command2_Click();
  ClickListItem(f.List1, 0);
  QCOMPARE(f.Text1->text(), QString("0.00E+00"));
  QCOMPARE(f.Text2->text(), QString("6.0000E+00"));
  QCOMPARE(f.Text3->text(), QString("0.0000E+00"));
  // Arrow keys move through the rows like clicks.
  f.List1->setFocus();
  QTest::keyClick(f.List1, Qt::Key_Down);
  QCOMPARE(f.Text1->text(), QString("5.00E-03"));
  QCOMPARE(f.Text2->text(), QString::fromStdString(FormatFS(FData(2))));
  // A click into the x box empties the three boxes.
  Click(f.Text1);
  QVERIFY(f.Text1->text().isEmpty() && f.Text2->text().isEmpty() && f.Text3->text().isEmpty());
}

void TestMainWindow::endButtonAndCloseBoxEndTheProgram() {
  TempWorkDir dir;
  Form1& f = Windows::form1();
  f.show();
  f.Command3_Click();
  QVERIFY(!Windows::ProgramEnded());
  f.close();
  QVERIFY(Windows::ProgramEnded());
  QVERIFY(!f.isVisible());
  QVERIFY(!Windows::form3().isVisible());
  FreshProgram();
  Form1& g = Windows::form1();
  g.show();
  Click(g.Command1);
  QVERIFY(Windows::ProgramEnded());
  QVERIFY(!g.isVisible());
}

void TestMainWindow::dataSourceWindowShownOnce() {
  TempWorkDir dir;
  Form1& f = Windows::form1();
  f.show();
  Click(f.Command3);
  Click(f.Command3);
  QCOMPARE(Windows::creations(Windows::Which::Form3), 1);
  QVERIFY(Windows::form3().isVisible());
  QVERIFY(f.isVisible());
  Windows::form3().Command1_Click();
  QVERIFY(!Windows::form3().isVisible());
  f.Command3_Click();
  QVERIFY(Windows::form3().isVisible());
  QCOMPARE(Windows::creations(Windows::Which::Form3), 1);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
