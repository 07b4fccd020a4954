// The compound editor: the entry window and the synthesis behind "OK".
#include <QDir>
#include <QTest>
#include <cmath>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "compound_editor/compound_synthesis.h"
#include "compound_editor/form4.h"
#include "core/tables/table_format.h"
#include "main_window/form1.h"
#include "mixture_editor/mixture_synthesis.h"
#include "tests/test_support.h"
#include "toolkit/fonts.h"

using namespace yex;
using namespace yex::test;
using namespace yex::Module1;

namespace {

const QString kBad = QStringLiteral("入力値が不正です。");
const QString kInputError = QStringLiteral("入力したデータに誤りがあります。  よく確認してください。");

// Opens the editor as the new-data chooser does.
Form4& OpenEditor() {
  ClearTable();
  Form4& e = Windows::form4();
  e.File1->setPath(DataFolder());
  e.show();
  return e;
}

bool Shown(QWidget* w) { return !w->isHidden(); }

QList<bool> RowsShown(const Form4& e, bool captions) {
  QList<bool> out;
  for (int k = 1; k <= 5; ++k) out << (captions ? Shown(e.row(k).caption) : Shown(e.row(k).name));
  return out;
}

// Picks `file` for row k and answers the count prompt.
void Pick(Form4& e, ScriptedDialogs& d, int k, const QString& file, const QString& count) {
  QVERIFY(e.File1->selectFileName(file));
  d.answer({count});
  e.ElementPick(k);
}

void EnterCount(Form4& e, ScriptedDialogs& d, const QString& count) {
  d.answer({count});
  e.Text2_Click();
}

bool Near(double a, double b) {
  return std::fabs(a - b) <= 6e-5 * std::max(std::fabs(a), std::fabs(b)) + 1e-300;
}

}  // namespace

class TestCompound : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void windowLayout();
  void firstOpening();
  void baseName();
  void kindCountThroughText2();
  void kindCountThroughLabel2();
  void elementPickAndAtomCount();
  void cancelKeepsEntriesAndHidesRows();
  void oneConstituentReproducesItsTable();
  void waterFromHydrogenAndOxygen();
  void neverEnteredAmountAndFractionalCount();
  void emptyNameWritesNothing();
  void faultsTakeTheErrorPath();
  void unsafeNamesWriteNothingAnywhere();
  void mixtureEntriesAndNegativeSums();
  void savedBytesEqualTheInMemoryPath();
};

void TestCompound::windowLayout() {
  TempWorkDir dir;
  Form4& e = OpenEditor();
  QCOMPARE(e.windowTitle(), QString("Chemical compound"));
  QCOMPARE(e.size(), QSize(389, 292));
  QCOMPARE(e.pos(), QPoint(70, 89));
  QVERIFY(!(e.windowFlags() & Qt::WindowCloseButtonHint));
  QVERIFY(!(e.windowFlags() & Qt::WindowSystemMenuHint));
  QCOMPARE(e.Label3->text(), QString("化合物データの新規作成"));
  QCOMPARE(e.Label3->font().family(), kHgMaruGothic);
  QCOMPARE(e.Label3->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  QCOMPARE(e.Label1->text(), QString("新規ファイル名"));
  QCOMPARE(e.Label2->text(), QString("元素数（最大５）"));
  QVERIFY(e.Label2->alignment() & Qt::AlignRight);
  QCOMPARE(e.Label4->text(), QString("元素データ"));
  QCOMPARE(e.Label4->font().pointSizeF(), 9.0);
  QCOMPARE(e.Label5->text(), QString("原子数"));
  QCOMPARE(e.Label7->text(), QString("Element"));
  QCOMPARE(e.Label7->font().pointSizeF(), 14.25);
  QCOMPARE(e.Label1->font().family(), kMsMincho);
  QCOMPARE(e.Label1->palette().color(QPalette::Window), QColor(192, 255, 255));
  QCOMPARE(e.Text1->font().family(), kMsPGothic);
  QCOMPARE(e.Text1->font().pointSizeF(), 9.0);
  QCOMPARE(e.Text1->geometry(), QRect(136, 40, 97, 18));
  QCOMPARE(e.File1->geometry(), QRect(256, 32, 113, 240));
  QCOMPARE(e.Command1->text(), QString("OK"));
  QCOMPARE(e.Command1->geometry(), QRect(24, 240, 89, 33));
  QCOMPARE(e.Command2->text(), QString("Cancel"));
  QCOMPARE(e.Command2->font().family(), kTimes);
  for (int k = 1; k <= 5; ++k) {
    const int top = (1800 + 240 * (k - 1) + 7) / 15;
    QCOMPARE(e.row(k).caption->text(), QString("元素 %1").arg(k));
    QCOMPARE(e.row(k).caption->geometry(), QRect(16, top, 65, 17));
    QCOMPARE(e.row(k).name->geometry(), QRect(80, top, 89, 18));
    QCOMPARE(e.row(k).count->geometry(), QRect(168, top, 65, 18));
    QCOMPARE(e.row(k).name->objectName(), QString("Text%1").arg(2 + k));
    QCOMPARE(e.row(k).count->objectName(), QString("Text%1").arg(7 + k));
    QCOMPARE(e.row(k).caption->objectName(), QString("Label%1").arg(7 + k));
  }
}

void TestCompound::firstOpening() {
  TempWorkDir dir;
  Form4& e = OpenEditor();
  QVERIFY(e.Text1->text().isEmpty());
  QVERIFY(e.Text2->text().isEmpty());
  QCOMPARE(RowsShown(e, true), QList<bool>(5, false));
  QCOMPARE(RowsShown(e, false), QList<bool>(5, false));
  QVERIFY(!Shown(e.File1));
  QCOMPARE(Windows::creations(Windows::Which::Form4), 1);
}

void TestCompound::baseName() {
  TempWorkDir dir;
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"Water"});
  e.Label1_Click();
  QCOMPARE(e.Text1->text(), QString("Water.mix"));
  QCOMPARE(d.calls()[0].message, QString("新規ファイル名を入力して下さい（拡張子なしで）"));
  QCOMPARE(d.calls()[0].title, QString("YEX"));
  d.answer({"Water"});
  e.Text1_Click();
  QCOMPARE(e.Text1->text(), QString("Water"));
  QCOMPARE(d.calls()[1].defaultText, QString("Water.mix"));
  d.clear();
  e.Text1_Click();  // cancelled
  QCOMPARE(e.Text1->text(), QString("Water"));
  QCOMPARE(d.calls().size(), 2);
  QCOMPARE(d.calls()[1].kind, DialogCall::Warning);
  QCOMPARE(d.calls()[1].message, QString("ファイル名を入力して下さい"));
}

void TestCompound::kindCountThroughText2() {
  TempWorkDir dir;
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  EnterCount(e, d, "3");
  QCOMPARE(d.calls()[0].message, QString("化合物を構成する元素の種類数"));
  QCOMPARE(ElementKindCount, 3.0);
  QCOMPARE(RowsShown(e, true), (QList<bool>{true, true, true, false, false}));
  QVERIFY(Shown(e.File1));
  for (const char* bad : {"0", "-1", "abc", ""}) {
    d.clear();
    EnterCount(e, d, bad);
    QCOMPARE(d.messages().last(), kBad);
    QCOMPARE(e.Text2->text(), QString(bad));
    QCOMPARE(ElementKindCount, 3.0);
  }
  EnterCount(e, d, "6");  // no upper limit: rows 1-4
  QCOMPARE(ElementKindCount, 6.0);
  QCOMPARE(RowsShown(e, true), (QList<bool>{true, true, true, true, false}));
  EnterCount(e, d, "5");
  QCOMPARE(RowsShown(e, true), QList<bool>(5, true));
  EnterCount(e, d, "2");  // rows are never hidden by a smaller count
  QCOMPARE(ElementKindCount, 2.0);
  QCOMPARE(RowsShown(e, true), QList<bool>(5, true));
}

void TestCompound::kindCountThroughLabel2() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"2"});
  e.Label2_Click();
  QCOMPARE(ElementKindCount, 2.0);
  QCOMPARE(RowsShown(e, false), (QList<bool>{true, true, false, false, false}));
  QCOMPARE(RowsShown(e, true), QList<bool>(5, false));
  QVERIFY(!Shown(e.File1));
  QCOMPARE(d.calls().size(), 1);
  e.ElementPick(1);  // nothing can be selected in the hidden list
  QCOMPARE(d.messages().last(), QString("元素を選択して下さい"));
  d.clear();
  e.Label2_Click();  // cancelled: 0, no warning
  QCOMPARE(ElementKindCount, 0.0);
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].kind, DialogCall::Prompt);
  d.answer({"2.5"});
  e.Text2_Click();
  QCOMPARE(RowsShown(e, true), (QList<bool>{true, true, false, false, false}));
}

void TestCompound::elementPickAndAtomCount() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  EnterCount(e, d, "2");
  d.clear();
  e.ElementPick(1);
  QCOMPARE(d.messages(), QStringList{"元素を選択して下さい"});
  QVERIFY(ElementFile(1).empty());
  d.clear();
  Pick(e, d, 1, "H.yex", "2");
  QCOMPARE(e.row(1).name->text(), QString("H.yex"));
  QCOMPARE(ElementFile(1), std::string("H.yex"));
  QCOMPARE(ElementAmount(1), 2.0);
  QCOMPARE(d.calls()[0].message, QString("原子数を入力して下さい"));
  for (const char* good : {"0.5", "3"}) {
    d.answer({good});
    e.AtomCount(1);
    QCOMPARE(ElementAmount(1), QString(good).toDouble());
  }
  for (const char* bad : {"0", "-2", "abc"}) {
    d.clear();
    d.answer({bad});
    e.AtomCount(1);
    QCOMPARE(d.messages().last(), kBad);
    QCOMPARE(e.row(1).count->text(), QString(bad));
    QCOMPARE(ElementAmount(1), 3.0);
  }
  d.clear();
  e.AtomCount(1);  // cancelled: the box empties, the stored count stays
  QVERIFY(e.row(1).count->text().isEmpty());
  QCOMPARE(ElementAmount(1), 3.0);
  QCOMPARE(d.messages().last(), kBad);
  // Picking row 2 again replaces it and asks the count preset with the old text.
  Pick(e, d, 2, "H.yex", "4");
  d.clear();
  Pick(e, d, 2, "O.yex", "1");
  QCOMPARE(ElementFile(2), std::string("O.yex"));
  QCOMPARE(d.calls()[0].defaultText, QString("4"));
  QCOMPARE(ElementAmount(2), 1.0);
}

void TestCompound::cancelKeepsEntriesAndHidesRows() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"Gas"});
  e.Text1_Click();
  EnterCount(e, d, "3");
  Pick(e, d, 1, "H.yex", "2");
  e.Command2_Click();
  QVERIFY(!e.isVisible());
  QVERIFY(Windows::form1().isVisible());
  QCOMPARE(RowsShown(e, true), QList<bool>(5, false));
  QCOMPARE(RowsShown(e, false), QList<bool>(5, false));
  QVERIFY(!QFile::exists(dir.data("Gas.yex")));
  const int loads = Form4::loadCount();
  Form4& again = OpenEditor();
  QCOMPARE(&again, &e);
  QCOMPARE(Form4::loadCount(), loads);
  QCOMPARE(Windows::creations(Windows::Which::Form4), 1);
  QCOMPARE(e.Text1->text(), QString("Gas"));
  QCOMPARE(e.Text2->text(), QString("3"));
  QCOMPARE(e.row(1).name->text(), QString("H.yex"));
  QCOMPARE(ElementKindCount, 3.0);
  QCOMPARE(ElementAmount(1), 2.0);
  QVERIFY(Shown(e.File1));
  QCOMPARE(RowsShown(e, true), QList<bool>(5, false));
}

void TestCompound::oneConstituentReproducesItsTable() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"Carbon"});
  e.Text1_Click();
  EnterCount(e, d, "1");
  Pick(e, d, 1, "C.yex", "1");
  e.Command1_Click();
  QCOMPARE(d.calls().last().kind, DialogCall::Notice);
  QCOMPARE(dir.readRaw("Carbon.yex"), dir.readRaw("C.yex"));
}

void TestCompound::waterFromHydrogenAndOxygen() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  Form1& main = Windows::form1();
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"Water"});
  e.Text1_Click();
  EnterCount(e, d, "2");
  Pick(e, d, 1, "H.yex", "2");
  Pick(e, d, 2, "O.yex", "1");
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].kind, DialogCall::Notice);
  QCOMPARE(d.calls()[0].message, QString("データはファイルに保存されました。"));
  QCOMPARE(d.calls()[0].title, "New Data : " + QDir::toNativeSeparators("YEX-data/Water.yex"));
  const QList<Row> h = ReadBack(dir.readRaw("H.yex")), o = ReadBack(dir.readRaw("O.yex"));
  const QList<Row> w = ReadBack(dir.readRaw("Water.yex"));
  QCOMPARE(w.size(), 45);
  QCOMPARE(dir.readRaw("Water.yex").size(), 45 * 36);
  for (int i = 0; i < 45; ++i) {
    QCOMPARE(w[i].x, o[i].x);
    QVERIFY2(Near(w[i].f, std::sqrt(2 * h[i].f * h[i].f + o[i].f * o[i].f)), qPrintable(QString::number(i)));
    QVERIFY(Near(w[i].s, 2 * h[i].s + o[i].s));
  }
  // Memory holds the new table (unrounded); RowText the last file read.
  QCOMPARE(FData(10), std::sqrt(2 * h[9].f * h[9].f + o[9].f * o[9].f));
  QCOMPARE(QByteArray::fromStdString(RowText(3)), dir.readRaw("O.yex").split('\n')[2].chopped(1));
  QCOMPARE(WorkPath, QDir::toNativeSeparators("YEX-data/Water.yex").toStdString());
  // Back in the main window: rows hidden, editor hidden, list refreshed.
  QVERIFY(!e.isVisible());
  QCOMPARE(RowsShown(e, false), QList<bool>(5, false));
  QVERIFY(main.isVisible());
  QVERIFY(!main.File1->findItems("Water.yex", Qt::MatchExactly).isEmpty());
  QCOMPARE(e.Text1->text(), QString("Water"));
  // The lookup works on the new table.
  main.Text1->setText("0.1");
  main.Text1_KeyPress(13);
  QCOMPARE(main.Text2->text(), QString::fromStdString(FormatFS(FData(12))));
  // "OK" again asks before replacing the file: No goes back to the name
  // prompt, Yes repeats the same synthesis over it.
  const QByteArray first = dir.readRaw("Water.yex");
  e.show();
  d.clear();
  d.answer({"No", "Water"});
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 2);
  QCOMPARE(d.calls()[0].kind, DialogCall::Question);
  QCOMPARE(d.calls()[0].message, QString("Water.yex は既に存在します。置き換えますか？"));
  QCOMPARE(d.calls()[1].kind, DialogCall::Prompt);
  d.clear();
  d.answer({"Yes"});
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 2);
  QCOMPARE(d.calls()[1].message, QString("データはファイルに保存されました。"));
  QCOMPARE(dir.readRaw("Water.yex"), first);
  // A shipped element's name is refused, back to the name prompt.
  const QByteArray oxygen = dir.readRaw("O.yex");
  e.show();
  e.Text1->setText("O");
  d.clear();
  d.answer({"Water"});
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 2);
  QCOMPARE(d.calls()[0].message, QString("O は元素のデータファイルの名前です。別の名前を入力して下さい。"));
  QCOMPARE(d.calls()[1].kind, DialogCall::Prompt);
  QCOMPARE(dir.readRaw("O.yex"), oxygen);
  QCOMPARE(e.Text1->text(), QString("Water"));
  // Through Label1 the name gains ".mix".
  e.show();
  d.answer({"Water"});
  e.Label1_Click();
  e.Command1_Click();
  QVERIFY(QFile::exists(dir.data("Water.mix.yex")));
}

void TestCompound::neverEnteredAmountAndFractionalCount() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("Odd.yex", 8);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"Part"});
  e.Text1_Click();
  EnterCount(e, d, "2.5");
  Pick(e, d, 1, "H.yex", "1");
  QVERIFY(e.File1->selectFileName("Odd.yex"));
  d.answer({"0"});  // refused: row 2's amount is never set
  e.ElementPick(2);
  ElementFile(3) = "Missing.yex";  // beyond 2.5: never read
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls().last().message, QString("データはファイルに保存されました。"));
  const QList<Row> h = ReadBack(dir.readRaw("H.yex")), odd = ReadBack(dir.readRaw("Odd.yex"));
  const QList<Row> w = ReadBack(dir.readRaw("Part.yex"));
  for (int i = 0; i < 45; ++i) {
    QCOMPARE(w[i].x, odd[i].x);
    QVERIFY(Near(w[i].f, std::fabs(h[i].f)));
    QCOMPARE(w[i].s, h[i].s);
  }
  // Tables on another x column, or not well formed, are refused: a table
  // combined row by row from them would be wrong.
  dir.writeElement("Wide.yex", 8, 2.0);
  dir.writeRaw("Csv.yex", "x,F,S\n0,8,0\n");
  for (const char* second : {"Wide.yex", "Csv.yex"}) {
    ElementFile(2) = second;
    e.Text1->setText("Part2");
    d.clear();
    e.Command1_Click();
    QCOMPARE(d.calls().last().title, QString("Input Error"));
    QVERIFY(!QFile::exists(dir.data("Part2.yex")));
  }
}

void TestCompound::emptyNameWritesNothing() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  EnterCount(e, d, "1");
  Pick(e, d, 1, "H.yex", "1");
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].kind, DialogCall::Warning);
  QCOMPARE(d.calls()[0].message, QString("ファイル名が入力されていません"));
  QVERIFY(e.isVisible());
  QCOMPARE(QDir("YEX-data").entryList(QDir::Files).size(), 1);
}

void TestCompound::faultsTakeTheErrorPath() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeRaw("Short.yex", TableBytes([](int r) { return ElementRow(r, 2); }, 44));
  const QByteArray old = TableBytes([](int r) { return ElementRow(r, 3); });
  dir.writeRaw("Target.yex", old);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"Target"});
  e.Text1_Click();
  auto expectError = [&](const char* what) {
    d.clear();
    d.answer({"Yes"});  // replace the existing target
    e.Command1_Click();
    QVERIFY2(d.calls().size() == 2, what);
    QCOMPARE(d.calls()[1].kind, DialogCall::Notice);
    QCOMPARE(d.calls()[1].message, kInputError);
    QCOMPARE(d.calls()[1].title, QString("Input Error"));
    QVERIFY2(e.isVisible(), what);
    QVERIFY2(dir.readRaw("Target.yex") == old, what);
  };
  expectError("count never entered");
  d.answer({"0"});
  e.Label2_Click();
  expectError("count 0");
  d.answer({"-1"});
  e.Label2_Click();
  expectError("count -1");
  EnterCount(e, d, "2");
  Pick(e, d, 1, "H.yex", "2");
  expectError("row 2 never picked");
  Pick(e, d, 2, "Short.yex", "1");
  expectError("44-line table");
  ElementFile(2) = "Gone.yex";
  expectError("missing table");
  for (int k = 1; k <= 10; ++k) {
    ElementFile(k) = "H.yex";
    ElementAmount(k) = 1;
  }
  d.answer({"12"});
  e.Label2_Click();
  expectError("more than ten");
  QCOMPARE(WorkPath, std::string("H.yex"));  // ten files were read first
  QCOMPARE(QDir("YEX-data").entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void TestCompound::unsafeNamesWriteNothingAnywhere() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  QDir(dir.path()).mkdir("YEX-data/sub");
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  EnterCount(e, d, "1");
  Pick(e, d, 1, "H.yex", "1");
  const QStringList before =
      QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& name :
       {QStringLiteral("../evil"), QStringLiteral("sub/evil"), QStringLiteral("a\\b"), QStringLiteral("a:b"),
        QStringLiteral("a*"), QStringLiteral("what?"), QStringLiteral("q\"uote"), QStringLiteral("<x>"),
        QStringLiteral("p|q"), QStringLiteral("tab\there"), QStringLiteral("."), QStringLiteral(".."),
        QStringLiteral("nel\u0085line"), QStringLiteral("\u0080"), QStringLiteral("csi\u009B"),
        QStringLiteral(".Hidden")}) {
    e.Text1->setText(name);  // typed straight into the box
    d.clear();
    e.Command1_Click();
    QCOMPARE(d.calls().size(), 1);
    QCOMPARE(d.calls()[0].title, QString("Input Error"));
  }
  QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
  QCOMPARE(QDir("YEX-data").entryList(QDir::Files | QDir::Hidden), QStringList{"H.yex"});
  QVERIFY(QDir("YEX-data/sub").isEmpty());
  // Blanks and non-ASCII letters are fine.
  e.Text1->setText("水 sample");
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls()[0].title, "New Data : " + QDir::toNativeSeparators("YEX-data/水 sample.yex"));
  QVERIFY(QFile::exists(dir.data("水 sample.yex")));
}

void TestCompound::mixtureEntriesAndNegativeSums() {
  // The mixture editor shares the entry storage: a negative relative weight
  // left there gives a negative sum under the root, which is refused.
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  Form4& e = OpenEditor();
  ScriptedDialogs d;
  d.answer({"Neg"});
  e.Text1_Click();
  ElementKindCount = 2;
  ElementFile(1) = "H.yex";
  ElementFile(2) = "O.yex";
  ElementAmount(1) = 1;
  ElementAmount(2) = -50;
  e.Command1_Click();
  QCOMPARE(d.calls().last().title, QString("Input Error"));
  QVERIFY(!QFile::exists(dir.data("Neg.yex")));
  // Left-over mixture rows within the count are read and combined.
  ElementAmount(2) = 0.5;
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls().last().message, QString("データはファイルに保存されました。"));
  const QList<Row> h = ReadBack(dir.readRaw("H.yex")), o = ReadBack(dir.readRaw("O.yex"));
  const QList<Row> n = ReadBack(dir.readRaw("Neg.yex"));
  QVERIFY(Near(n[20].s, h[20].s + 0.5 * o[20].s));
}

// The page builds tables from tables in memory: the same entries give the
// bytes the editors' save sequence writes, for both editors.
void TestCompound::savedBytesEqualTheInMemoryPath() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  QByteArray lfOnly = dir.readRaw("O.yex");
  dir.writeRaw("Own.yex", lfOnly.replace("\r\n", "\n"));
  const TableSource memory = [&dir](const std::string& file) {
    const QByteArray bytes = dir.readRaw(QString::fromStdString(file));
    ScatteringTable t;
    std::string why;
    if (!ParseTableBytes(std::string_view(bytes.constData(), bytes.size()), t, &why))
      Fail(ErrorKind::Io, why);
    return t;
  };
  struct Case {
    const char* name;
    std::vector<Ingredient> entries;
    bool mixture;
  };
  const Case cases[] = {
      {"Water", {{"H.yex", 2}, {"O.yex", 1}}, false},
      {"Odd", {{"Own.yex", 0.37}, {"H.yex", 2.5}, {"O.yex", 1e-3}}, false},
      {"Brine", {{"H.yex", 10.8, 1.008}, {"O.yex", 85.7, 15.999}, {"Own.yex", 3.5, 22.99}}, true}};
  for (const Case& c : cases) {
    QList<ConstituentEntry> stored;
    for (const Ingredient& e : c.entries)
      stored.append({QString::fromStdString(e.file), e.amount, e.atomicWeight});
    StoreConstituents(stored);
    const SaveResult saved = c.mixture ? SaveMixture(c.name) : SaveCompound(c.name);
    QVERIFY2(saved.outcome == SaveOutcome::Saved, c.name);
    const SynthesisResult r =
        Synthesize(c.mixture ? Synthesis::Mixture : Synthesis::Compound, c.entries, memory);
    std::string text;
    QVERIFY(FormatTable(r.table, &text));
    QCOMPARE(QByteArray::fromStdString(text), dir.readRaw(QString(c.name) + ".yex"));
  }
}

QTEST_MAIN(TestCompound)
#include "test_compound.moc"
