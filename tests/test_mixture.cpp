// The mixture editor: the entry window and the synthesis behind "OK".
#include <QDir>
#include <QTest>
#include <cmath>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "compound_editor/form4.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "tests/test_support.h"
#include "toolkit/fonts.h"

using namespace yex;
using namespace yex::test;
using namespace yex::Module1;

namespace {

const QString kInputError = QStringLiteral("入力したデータに誤りがあります。  よく確認してください。");
const QString kSaved = QStringLiteral("データはファイルに保存されました。");

Form6& OpenEditor() {
  ClearTable();
  Form6& e = Windows::form6();
  e.File1->setPath(DataFolder());
  e.show();
  return e;
}

bool Shown(QWidget* w) { return !w->isHidden(); }

// Which rows show their caption (c), name (n), atomic weight (a), weight (w).
QString RowState(const Form6& e) {
  QString out;
  for (int k = 1; k <= 10; ++k) {
    const MixtureRow& r = e.row(k);
    out += Shown(r.caption) ? 'c' : '-';
    out += Shown(r.name) ? 'n' : '-';
    out += Shown(r.atomicWeight) ? 'a' : '-';
    out += Shown(r.weight) ? 'w' : '-';
    out += ' ';
  }
  return out.trimmed();
}

QString Rows(const QString& shown, int count, int total = 10) {
  QStringList parts;
  for (int k = 1; k <= total; ++k) parts << (k <= count ? shown : QStringLiteral("----"));
  return parts.join(' ');
}

void Count(Form6& e, ScriptedDialogs& d, const QString& answer, bool throughText2 = true) {
  d.answer({answer});
  throughText2 ? e.Text2_Click() : e.Label2_Click();
}

void Pick(Form6& e, ScriptedDialogs& d, int k, const QString& file, const QString& atomicWeight,
          const QString& weight) {
  QVERIFY(e.File1->selectFileName(file));
  d.answer({atomicWeight, weight});
  e.ConstituentPick(k);
}

void Name(Form6& e, ScriptedDialogs& d, const QString& name) {
  d.answer({name});
  e.Text1_Click();
}

bool Near(double a, double b) { return std::fabs(a - b) <= 6e-5 * std::max(std::fabs(a), std::fabs(b)); }

// Sets up water by weight: H (1.008, 11.19 %) and O (15.999, 88.81 %).
void EnterWater(ScriptedDialogs& d, const QString& name) {
  EnterMixture(d, name, {{"H.yex", "1.008", "11.19"}, {"O.yex", "15.999", "88.81"}});
}

}  // namespace

class TestMixture : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void windowLayout();
  void firstOpeningAndBaseName();
  void countsAndRows();
  void pickAndValuePrompts();
  void cancelKeepsEverything();
  void oneConstituentReproducesItsTable();
  void waterByWeight();
  void onlyWeightRatiosMatter();
  void zeroWeightsAndRatios();
  void elevenConstituentsFailAfterTenReads();
  void compoundEntriesFeedAMixture();
  void emptyNameAndNoCount();
};

void TestMixture::windowLayout() {
  TempWorkDir dir;
  Form6& e = OpenEditor();
  QCOMPARE(e.windowTitle(), QString("Mixture"));
  QCOMPARE(e.size(), QSize(438, 371));
  QCOMPARE(e.pos(), QPoint(70, 89));
  QVERIFY(!(e.windowFlags() & Qt::WindowCloseButtonHint));
  QCOMPARE(e.Label3->text(), QString("混合物データの新規作成"));
  QCOMPARE(e.Label2->text(), QString("元素数（最大10）"));
  QCOMPARE(e.Label4->text(), QString("元素データ"));
  QCOMPARE(e.Label6->text(), QString("原子量"));
  QCOMPARE(e.Label5->text(), QString("重量(%)"));
  QCOMPARE(e.Label1->palette().color(QPalette::Window), QColor(255, 255, 192));
  QCOMPARE(e.File1->geometry(), QRect(312, 32, 113, 305));
  QCOMPARE(e.File1->font().family(), kMsGothic);
  QCOMPARE(e.Command1->geometry(), QRect(48, 328, 81, 33));
  QCOMPARE(e.Command2->geometry(), QRect(144, 328, 81, 33));
  // Control numbers with their gaps.
  QVERIFY(!e.findChild<QWidget*>("Text13"));
  QVERIFY(!e.findChild<QWidget*>("Text14"));
  QVERIFY(!e.findChild<QWidget*>("Label14"));
  const int captions[] = {8, 9, 10, 11, 12, 13, 15, 16, 17, 18};
  const int names[] = {3, 4, 5, 6, 7, 15, 16, 17, 18, 19};
  const int weights[] = {8, 9, 10, 11, 12, 20, 21, 22, 23, 24};
  for (int k = 1; k <= 10; ++k) {
    const MixtureRow& r = e.row(k);
    const int top = (1680 + 240 * (k - 1) + 7) / 15;
    QCOMPARE(r.caption->objectName(), QString("Label%1").arg(captions[k - 1]));
    QCOMPARE(r.name->objectName(), QString("Text%1").arg(names[k - 1]));
    QCOMPARE(r.atomicWeight->objectName(), QString("Text%1").arg(24 + k));
    QCOMPARE(r.weight->objectName(), QString("Text%1").arg(weights[k - 1]));
    QCOMPARE(r.caption->text(), k < 10 ? QString("元素 %1").arg(k) : QString("元素10"));
    QCOMPARE(r.caption->font().family(), k <= 4 ? kMsMincho : kMsGothic);
    QCOMPARE(r.caption->geometry(), QRect(16, top, 73, 17));
    QCOMPARE(r.name->geometry(), QRect(88, top, 81, 18));
    QCOMPARE(r.atomicWeight->geometry(), QRect(168, top, 65, 18));
    QCOMPARE(r.weight->geometry(), QRect(232, top, 65, 18));
  }
}

void TestMixture::firstOpeningAndBaseName() {
  TempWorkDir dir;
  Form6& e = OpenEditor();
  QVERIFY(e.Text1->text().isEmpty() && e.Text2->text().isEmpty());
  QVERIFY(Shown(e.Label4) && Shown(e.Label5) && Shown(e.Label6));
  QCOMPARE(RowState(e), Rows("----", 0));
  QVERIFY(!Shown(e.File1));
  ScriptedDialogs d;
  e.Label1_Click();  // cancelled
  QCOMPARE(d.messages(),
           (QStringList{"新規ファイル名を入力して下さい（拡張子なしで）", "ファイル名を入力してください"}));
  d.answer({"Air"});
  e.Label1_Click();
  QCOMPARE(e.Text1->text(), QString("Air"));
  d.answer({"Air2"});
  e.Text1_Click();
  QCOMPARE(e.Text1->text(), QString("Air2"));
}

void TestMixture::countsAndRows() {
  TempWorkDir dir;
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  Count(e, d, "3", false);
  QCOMPARE(d.calls()[0].message, QString("混合物を構成する元素の種類数"));
  QCOMPARE(RowState(e), Rows("cn-w", 3));
  QVERIFY(Shown(e.File1));
  d.clear();
  Count(e, d, "3");
  QCOMPARE(d.calls()[0].message, QString("化合物を構成する元素の種類数"));
  QCOMPARE(RowState(e), Rows("cnaw", 3));
  QCOMPARE(d.calls().size(), 1);  // no test, no warning
  Count(e, d, "11", false);
  QCOMPARE(ElementKindCount, 11.0);
  QCOMPARE(RowState(e), "cnaw cnaw cnaw " + Rows("cn-w", 6, 6) + " ----");
  Count(e, d, "10", false);
  QVERIFY(RowState(e).endsWith("cn-w"));
  Count(e, d, "2");  // rows stay; counts may shrink
  QCOMPARE(ElementKindCount, 2.0);
  QVERIFY(RowState(e).startsWith("cnaw cnaw cnaw cn-w"));
  for (const char* none : {"0", "", "abc", "-3"}) {
    Count(e, d, none, false);
    QCOMPARE(ElementKindCount, QString(none).toDouble());
  }
  FreshProgram();
  Form6& f = OpenEditor();
  Count(f, d, "2.5");
  QCOMPARE(RowState(f), Rows("cnaw", 2));
  FreshProgram();
  Form6& g = OpenEditor();
  Count(g, d, "abc", false);
  QCOMPARE(RowState(g), Rows("----", 0));
  QVERIFY(Shown(g.File1));
}

void TestMixture::pickAndValuePrompts() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  dir.writeElement("Fe.yex", 26);
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  Count(e, d, "3", false);  // atomic-weight boxes stay hidden
  d.clear();
  e.ConstituentPick(1);
  QCOMPARE(d.messages(), QStringList{"元素を選択してください"});
  d.clear();
  QVERIFY(e.File1->selectFileName("C.yex"));
  e.ConstituentPick(1);  // both prompts cancelled
  QCOMPARE(d.messages(),
           (QStringList{"原子量(atomic weight)を入力して下さい", "相対重量(%)を入力して下さい"}));
  QCOMPARE(e.row(1).name->text(), QString("C.yex"));
  QCOMPARE(ElementFile(1), std::string("C.yex"));
  QVERIFY(e.row(1).atomicWeight->text().isEmpty() && e.row(1).weight->text().isEmpty());
  QCOMPARE(AtomicWeight(1), 0.0);
  QCOMPARE(ElementAmount(1), 0.0);
  Pick(e, d, 2, "C.yex", "12.011 g", "30");
  QCOMPARE(AtomicWeight(2), 12.011);
  QCOMPARE(e.row(2).atomicWeight->text(), QString("12.011 g"));  // the hidden box holds it
  QVERIFY(!Shown(e.row(2).atomicWeight));
  Pick(e, d, 3, "C.yex", "55,85", "70");
  QCOMPARE(AtomicWeight(3), 55.0);
  d.clear();
  Pick(e, d, 3, "Fe.yex", "55.845", "71");
  QCOMPARE(d.calls()[0].defaultText, QString("55,85"));
  QCOMPARE(d.calls()[1].defaultText, QString("70"));
  QCOMPARE(ElementFile(3), std::string("Fe.yex"));
  QCOMPARE(ElementAmount(3), 71.0);
  // The weight box of row 6 alone asks only the weight.
  d.clear();
  d.answer({"4.5"});
  e.WeightEntry(6);
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(ElementAmount(6), 4.5);
  QVERIFY(ElementFile(6).empty());
  QCOMPARE(AtomicWeight(6), 0.0);
  // Text typed straight into a box is shown, not stored.
  e.row(3).weight->setText("99");
  QCOMPARE(ElementAmount(3), 71.0);
}

void TestMixture::cancelKeepsEverything() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  Name(e, d, "Soot");
  Count(e, d, "1");
  Pick(e, d, 1, "C.yex", "12", "100");
  e.Command2_Click();
  QVERIFY(!e.isVisible());
  QVERIFY(Windows::form1().isVisible());
  QCOMPARE(RowState(e), Rows("----", 0));
  QVERIFY(Shown(e.Label6));
  const int loads = Form6::loadCount();
  OpenEditor();
  QCOMPARE(Form6::loadCount(), loads);
  QCOMPARE(e.Text1->text(), QString("Soot"));
  QCOMPARE(e.Text2->text(), QString("1"));
  QCOMPARE(e.row(1).weight->text(), QString("100"));
  QCOMPARE(ElementAmount(1), 100.0);
  QVERIFY(Shown(e.File1));
  QVERIFY(!QFile::exists(dir.data("Soot.yex")));
}

void TestMixture::oneConstituentReproducesItsTable() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  Name(e, d, "Graphite");
  Count(e, d, "1");
  Pick(e, d, 1, "C.yex", "", "");  // weights unused and may be 0
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].title, QString("New Data : Graphite.yex"));
  QCOMPARE(dir.readRaw("Graphite.yex"), dir.readRaw("C.yex"));
  QCOMPARE(AtomRatio(1), 1.0);
}

void TestMixture::waterByWeight() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  Form1& main = Windows::form1();
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  EnterWater(d, "Water");
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].kind, DialogCall::Notice);
  QCOMPARE(d.calls()[0].message, kSaved);
  QCOMPARE(d.calls()[0].title, QString("New Data : Water.yex"));
  QCOMPARE(WorkPath, std::string("Water.yex"));
  const double r2 = ((1.008 / 15.999) * 88.81) / 11.19;
  QCOMPARE(AtomRatio(2), r2);
  QVERIFY(std::fabs(r2 - 0.50003) < 1e-5);
  const QList<Row> h = ReadBack(dir.readRaw("H.yex")), o = ReadBack(dir.readRaw("O.yex"));
  const QList<Row> w = ReadBack(dir.readRaw("Water.yex"));
  for (int i = 0; i < 45; ++i) {
    QCOMPARE(w[i].x, o[i].x);
    QVERIFY(Near(w[i].f, std::sqrt(h[i].f * h[i].f + r2 * o[i].f * o[i].f)));
    QVERIFY(i == 0 || Near(w[i].s, h[i].s + r2 * o[i].s));
  }
  // Rows and the atomic-weight heading are hidden; the main window lists it.
  QCOMPARE(RowState(e), Rows("----", 0));
  QVERIFY(!Shown(e.Label6));
  QVERIFY(Shown(e.Label4) && Shown(e.Label5) && Shown(e.File1));
  QVERIFY(!e.isVisible());
  QVERIFY(main.isVisible());
  QVERIFY(!main.File1->findItems("Water.yex", Qt::MatchExactly).isEmpty());
  // The heading stays gone on the next visit, even after a new count.
  OpenEditor();
  Count(e, d, "2");
  QVERIFY(!Shown(e.Label6));
}

void TestMixture::onlyWeightRatiosMatter() {
  TempWorkDir dir;
  dir.writeElement("Si.yex", 14);
  dir.writeElement("O.yex", 8);
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  Count(e, d, "2");
  const char* pairs[][3] = {{"Mix1", "10", "90"}, {"Mix2", "1", "9"}, {"Mix3", "20", "180"}};
  for (auto& p : pairs) {
    OpenEditor();
    Name(e, d, p[0]);
    Pick(e, d, 1, "Si.yex", "28.085", p[1]);
    Pick(e, d, 2, "O.yex", "15.999", p[2]);
    e.Command1_Click();
  }
  QCOMPARE(dir.readRaw("Mix2.yex"), dir.readRaw("Mix1.yex"));
  QCOMPARE(dir.readRaw("Mix3.yex"), dir.readRaw("Mix1.yex"));
}

void TestMixture::zeroWeightsAndRatios() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  const QByteArray old = TableBytes([](int r) { return ElementRow(r, 50); });
  dir.writeRaw("Target.yex", old);
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  EnterWater(d, "Target");
  auto expectError = [&](const char* what) {
    d.clear();
    OpenEditor();
    d.answer({"Yes"});  // replace the existing target
    e.Command1_Click();
    QVERIFY2(d.calls().size() == 2 && d.calls()[1].message == kInputError, what);
    QCOMPARE(d.calls()[1].title, QString("Input Error"));
    QVERIFY2(dir.readRaw("Target.yex") == old, what);
    QCOMPARE(WorkPath, std::string("O.yex"));  // both files were read first
    QVERIFY(Shown(e.Label6));
    QVERIFY(e.isVisible());
  };
  d.answer({"0"});
  e.AtomicWeightEntry(2);
  expectError("atomic weight 0 in row 2");
  d.answer({"15.999", "0"});
  e.AtomicWeightEntry(2);
  e.WeightEntry(1);
  expectError("relative weight 0 in row 1");
  d.answer({"0"});
  e.AtomicWeightEntry(2);
  expectError("0 / 0");
  d.answer({"-15.999", "11.19"});
  e.AtomicWeightEntry(2);
  e.WeightEntry(1);
  d.answer({"-500"});  // makes the sum under the root negative somewhere
  e.WeightEntry(2);
  AtomicWeight(2) = 15.999;
  expectError("negative sum");
  // An atomic weight of 0 in row 1 makes every other ratio 0.
  d.answer({"88.81", "0"});
  e.WeightEntry(2);
  e.AtomicWeightEntry(1);
  d.clear();
  d.answer({"Yes"});
  e.Command1_Click();
  QCOMPARE(d.calls()[1].message, kSaved);
  QCOMPARE(AtomRatio(2), 0.0);
  QCOMPARE(dir.readRaw("Target.yex"), dir.readRaw("H.yex"));
}

void TestMixture::elevenConstituentsFailAfterTenReads() {
  TempWorkDir dir;
  for (int k = 1; k <= 10; ++k) dir.writeElement(QString("E%1.yex").arg(k), k);
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  Name(e, d, "Eleven");
  Count(e, d, "11");
  for (int k = 1; k <= 10; ++k) Pick(e, d, k, QString("E%1.yex").arg(k), "1", "1");
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls()[0].title, QString("Input Error"));
  QCOMPARE(WorkPath, std::string("E10.yex"));
  QVERIFY(ElementFData(2, 10) > 9.9);
  QVERIFY(!QFile::exists(dir.data("Eleven.yex")));
  // Ten is the most, and it works.
  Count(e, d, "10");
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls()[0].message, kSaved);
}

void TestMixture::compoundEntriesFeedAMixture() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  ScriptedDialogs d;
  // Rows 1-2 entered in the compound editor: files and atom counts 2 and 1.
  Form4& c = Windows::form4();
  c.File1->setPath(DataFolder());
  d.answer({"2"});
  c.Text2_Click();
  QVERIFY(c.File1->selectFileName("H.yex"));
  d.answer({"2"});
  c.ElementPick(1);
  QVERIFY(c.File1->selectFileName("O.yex"));
  d.answer({"1"});
  c.ElementPick(2);
  c.Command2_Click();
  // The mixture editor gives row 2 an atomic weight only; "OK" uses the rest.
  Form6& e = OpenEditor();
  Name(e, d, "Shared");
  d.answer({"4"});
  e.AtomicWeightEntry(1);
  d.answer({"2"});
  e.AtomicWeightEntry(2);
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls()[0].message, kSaved);
  QCOMPARE(AtomRatio(2), ((4.0 / 2.0) * 1.0) / 2.0);
  const QList<Row> h = ReadBack(dir.readRaw("H.yex")), o = ReadBack(dir.readRaw("O.yex"));
  const QList<Row> m = ReadBack(dir.readRaw("Shared.yex"));
  QVERIFY(Near(m[15].s, h[15].s + o[15].s));
}

void TestMixture::emptyNameAndNoCount() {
  TempWorkDir dir;
  dir.writeElement("H.yex", 1);
  Form6& e = OpenEditor();
  ScriptedDialogs d;
  e.Command1_Click();
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].kind, DialogCall::Warning);
  QCOMPARE(d.calls()[0].message, QString("ファイル名を入力してください"));
  Name(e, d, "Nothing");
  d.clear();
  e.Command1_Click();  // no count: nothing to combine, nothing written
  QCOMPARE(d.calls()[0].title, QString("Input Error"));
  QVERIFY(!QFile::exists(dir.data("Nothing.yex")));
  QVERIFY(Shown(e.Label6));
  e.Text1->setText("../Nothing");
  Count(e, d, "1");
  Pick(e, d, 1, "H.yex", "1", "1");
  d.clear();
  e.Command1_Click();
  QCOMPARE(d.calls()[0].title, QString("Input Error"));
  QVERIFY(!QFile::exists("Nothing.yex"));
}

QTEST_MAIN(TestMixture)
#include "test_mixture.moc"
