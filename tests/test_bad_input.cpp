// Files nobody should have put into the data folder, and faults of the file
// system: the program keeps running, says what is wrong, and loses nothing.
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <random>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "compound_editor/form4.h"
#include "core/tables/table_format.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "tests/test_support.h"

using namespace yex;
using namespace yex::test;
using namespace yex::Module1;

namespace {

// While alive, file permissions are checked as an unprivileged user, so the
// read-only cases mean something even when the tests run as root.
class AsNobody {
 public:
  AsNobody() : previous_(geteuid() == 0 ? setfsuid(65534) : -1) {
    if (previous_ >= 0) setfsgid(65534);
  }
  ~AsNobody() {
    if (previous_ >= 0) {
      setfsuid(previous_);
      setfsgid(0);
    }
  }

 private:
  int previous_;
};

Form1& LoadedMainWindow(TempWorkDir& dir) {
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  f.File1_Click("C.yex");
  f.Command2_Click();
  return f;
}

// GO on `name` is refused with one warning naming it, and the C table stays.
void ExpectRefused(Form1& f, const QString& name) {
  ScriptedDialogs d;
  const QImage chart = f.Picture1->image().copy();
  f.File1_Click(name);
  f.Command2_Click();
  QCOMPARE(d.calls().size(), 1);
  QCOMPARE(d.calls()[0].kind, DialogCall::Warning);
  QVERIFY2(d.calls()[0].message.contains(name), qPrintable(d.calls()[0].message));
  QCOMPARE(f.Label4->text(), QString("C.yex"));
  QCOMPARE(FData(1), 6.0);
  QCOMPARE(f.Picture1->image(), chart);
}

// Saves a one-constituent compound named `name` through the editor.
QList<DialogCall> SaveCompound(const QString& name) {
  Form4& e = Windows::form4();
  e.File1->setPath(DataFolder());
  ElementKindCount = 1;
  ElementFile(1) = "C.yex";
  ElementAmount(1) = 2;
  e.Text1->setText(name);
  ScriptedDialogs d;
  d.answer({"Yes"});  // an existing table is replaced: the question is not the point here
  e.Command1_Click();
  QList<DialogCall> calls = d.calls();
  if (!calls.isEmpty() && calls[0].kind == DialogCall::Question) calls.removeFirst();
  return calls;
}

}  // namespace

class TestBadInput : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void binaryFiles();
  void hugeSingleLine();
  void emptyLinesAndLineEnds();
  void folderAndOddNames();
  void tenThousandTables();
  void readOnlyFolderAndTarget();
  void dataFolderRemovedWhileRunning();
};

void TestBadInput::binaryFiles() {
  TempWorkDir dir;
  Form1& f = LoadedMainWindow(dir);
  std::mt19937 rng(3);
  QByteArray noLines(4096, 0), manyLines(8192, 0);
  for (char& c : noLines) c = char(rng() % 256 == '\n' ? 0 : rng() % 256);
  noLines.replace('\n', 'x');
  for (char& c : manyLines) c = char(rng() % 256);
  for (int i = 0; i < 60; ++i) manyLines[i * 100] = '\n';
  dir.writeRaw("X.yex", noLines);
  ExpectRefused(f, "X.yex");
  // Garbage that happens to have 45 lines loads as whatever numbers it holds;
  // nothing may stop the program, in the list, the chart or a lookup.
  dir.writeRaw("Y.yex", manyLines);
  ScriptedDialogs d;
  f.File1_Click("Y.yex");
  f.Command2_Click();
  QCOMPARE(f.List1->count(), 45);
  for (const char* q : {"0.005", "0.1", "10", "1000"}) {
    f.Text1->setText(q);
    f.Text1_KeyPress(13);
    QVERIFY(!f.Text2->text().contains("inf", Qt::CaseInsensitive) &&
            !f.Text2->text().contains("nan", Qt::CaseInsensitive));
  }
  for (int row = 0; row < 45; ++row) {
    f.List1->setCurrentRow(row);
    QVERIFY(!f.Text3->text().contains("nan", Qt::CaseInsensitive));
  }
}

void TestBadInput::hugeSingleLine() {
  TempWorkDir dir;
  Form1& f = LoadedMainWindow(dir);
  dir.writeRaw("Big.yex", QByteArray(10 * 1024 * 1024, '7'));
  QElapsedTimer t;
  t.start();
  ExpectRefused(f, "Big.yex");
  QVERIFY(t.elapsed() < 5000);
  // The same long line followed by 44 more loads, its list text cut short.
  QByteArray long45 = QByteArray(10 * 1024 * 1024, '7') + "\r\n";
  long45 += TableBytes([](int r) { return ElementRow(r, 2); }, 44);
  dir.writeRaw("Long.yex", long45);
  ScriptedDialogs d;
  f.File1_Click("Long.yex");
  f.Command2_Click();
  QVERIFY(d.calls().isEmpty());
  QCOMPARE(f.List1->count(), 45);
  QVERIFY(f.List1->item(0)->text().size() < 5000);
  QCOMPARE(XData(1), 7777777777.0);
}

void TestBadInput::emptyLinesAndLineEnds() {
  TempWorkDir dir;
  Form1& f = LoadedMainWindow(dir);
  dir.writeRaw("Empty.yex", QByteArray(45 * 2, '\n').replace("\n\n", "\r\n"));
  f.File1_Click("Empty.yex");
  f.Command2_Click();
  QCOMPARE(f.List1->count(), 45);
  QVERIFY(f.List1->item(44)->text().isEmpty());
  QCOMPARE(FData(1), 0.0);
  ScriptedDialogs d;
  f.Text1->setText("0.1");
  f.Text1_KeyPress(13);
  QCOMPARE(d.messages(), QStringList{"This value is out of range."});
  // LF alone and CR LF read the same table and list the same texts.
  const QByteArray crlf = TableBytes([](int r) { return ElementRow(r, 29); });
  dir.writeRaw("Crlf.yex", crlf);
  dir.writeRaw("Lf.yex", QByteArray(crlf).replace("\r\n", "\n"));
  f.File1_Click("Crlf.yex");
  f.Command2_Click();
  QStringList a;
  for (int i = 0; i < 45; ++i) a << f.List1->item(i)->text();
  const double s30 = SData(30);
  f.File1_Click("Lf.yex");
  f.Command2_Click();
  QStringList b;
  for (int i = 0; i < 45; ++i) b << f.List1->item(i)->text();
  QCOMPARE(b, a);
  QCOMPARE(SData(30), s30);
  QCOMPARE(a[0].size(), 34);
}

void TestBadInput::folderAndOddNames() {
  TempWorkDir dir;
  QDir(dir.path()).mkpath("YEX-data/Folder.yex");
  // A name that is not valid UTF-8.
  const QByteArray odd = QFile::encodeName(dir.data("")) + "\xff\xfe.yex";
  const int fd = ::open(odd.constData(), O_CREAT | O_WRONLY, 0644);
  QVERIFY(fd >= 0);
  const QByteArray bytes = TableBytes([](int r) { return ElementRow(r, 3); });
  QCOMPARE(::write(fd, bytes.constData(), bytes.size()), ssize_t(bytes.size()));
  ::close(fd);
  Form1& f = LoadedMainWindow(dir);
  QVERIFY(f.File1->findItems("Folder.yex", Qt::MatchExactly).isEmpty());
  ExpectRefused(f, "Folder.yex");
  // Qt cannot name a file whose name is not UTF-8, so it is not listed and
  // cannot be picked; it stays untouched while the rest works.
  QCOMPARE(f.File1->count(), 1);
  ScriptedDialogs d;
  f.File1_Click("C.yex");
  f.Command2_Click();
  QVERIFY(d.calls().isEmpty());
  QCOMPARE(SaveCompound("Next")[0].message, QString("データはファイルに保存されました。"));
  const int rfd = ::open(odd.constData(), O_RDONLY);
  QVERIFY(rfd >= 0);
  QByteArray back(bytes.size() + 10, 0);
  QCOMPARE(::read(rfd, back.data(), back.size()), ssize_t(bytes.size()));
  ::close(rfd);
  QCOMPARE(back.left(bytes.size()), bytes);
}

void TestBadInput::tenThousandTables() {
  TempWorkDir dir;
  const QByteArray bytes = TableBytes([](int r) { return ElementRow(r, 5); });
  for (int i = 0; i < 10000; ++i) dir.writeRaw(QString("T%1.yex").arg(i, 5, 10, QChar('0')), bytes);
  QElapsedTimer t;
  t.start();
  Form1& f = Windows::form1();
  qInfo("file list of 10,000 tables filled in %lld ms", static_cast<long long>(t.elapsed()));
  QCOMPARE(f.File1->count(), 10000);
  QCOMPARE(f.File1->item(9999)->text(), QString("T09999.yex"));
  QVERIFY(f.File1->selectFileName("T05000.yex"));
  QCOMPARE(SelectedFile, std::string("T05000.yex"));
  f.Command2_Click();
  QCOMPARE(f.Label4->text(), QString("T05000.yex"));
  t.restart();
  f.File1->refresh();
  QCOMPARE(f.File1->count(), 10000);
  QCOMPARE(f.File1->selectedFileName(), QString("T05000.yex"));
}

void TestBadInput::readOnlyFolderAndTarget() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  const QByteArray old = TableBytes([](int r) { return ElementRow(r, 9); });
  dir.writeRaw("Old.yex", old);
  ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
  // A read-only target in a writable folder.
  ::chmod(QFile::encodeName(dir.data("")).constData(), 0777);
  ::chmod(QFile::encodeName(dir.data("Old.yex")).constData(), 0444);
  QList<DialogCall> calls;
  {
    AsNobody nobody;
    calls = SaveCompound("Old");
  }
  QCOMPARE(calls.size(), 1);
  QCOMPARE(calls[0].title, QString("Input Error"));
  QCOMPARE(dir.readRaw("Old.yex"), old);
  // A read-only folder: nothing can be created in it.
  ::chmod(QFile::encodeName(dir.data("")).constData(), 0555);
  {
    AsNobody nobody;
    calls = SaveCompound("New");
  }
  ::chmod(QFile::encodeName(dir.data("")).constData(), 0755);
  QCOMPARE(calls.size(), 1);
  QCOMPARE(calls[0].title, QString("Input Error"));
  QCOMPARE(QDir(dir.data("")).entryList(QDir::Files | QDir::Hidden), (QStringList{"C.yex", "Old.yex"}));
  QCOMPARE(dir.readRaw("Old.yex"), old);
  // With the folder writable again the same save works.
  calls = SaveCompound("New");
  QCOMPARE(calls[0].title, "New Data : " + QDir::toNativeSeparators("YEX-data/New.yex"));
}

void TestBadInput::dataFolderRemovedWhileRunning() {
  TempWorkDir dir;
  Form1& f = LoadedMainWindow(dir);
  QVERIFY(QDir(dir.data("")).removeRecursively());
  ExpectRefused(f, "C.yex");
  f.File1->refresh();
  QCOMPARE(f.File1->count(), 0);
  const QList<DialogCall> calls = SaveCompound("Lost");
  QCOMPARE(calls.size(), 1);
  QCOMPARE(calls[0].title, QString("Input Error"));
  Form6& m = Windows::form6();
  m.File1->setPath(DataFolder());
  QCOMPARE(m.File1->count(), 0);
  m.Text1->setText("Lost");
  ScriptedDialogs d;
  m.Command1_Click();
  QCOMPARE(d.calls()[0].title, QString("Input Error"));
  QVERIFY(!QFileInfo::exists(dir.data("")));
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
