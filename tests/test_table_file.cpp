// Table files as the windows use them: reading as the main window reads,
// atomic writing of the table in memory, the folder's list. The store's own
// rules are tested in the core alone (core/test_table_store.cpp).
#include <QDir>
#include <QFile>
#include <QTest>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "tests/test_support.h"

using namespace yex;
using namespace yex::test;

class TestTableFile : public QObject {
  Q_OBJECT
 private slots:
  void init() { Module1::ResetAll(); }
  void readsFortyFiveOfMoreLines();
  void readFailures();
  void readStopsAtLineFortyFive();
  void writeIsCrLfThirtyFourColumns();
  void writeRoundTrip();
  void failedWriteKeepsOldTable();
  void listing();
};

namespace {

std::string Std(const QString& s) { return QFile::encodeName(s).toStdString(); }

// The core's reason for a file that cannot be read, or "" when it can.
QString ReadFailure(const QString& path, Reading reading = Reading::Lenient) {
  ScatteringTable t;
  ErrorKind kind;
  TableProblem p;
  if (ReadTableFile(Std(path), reading, &t, &kind, &p)) return QString();
  return QString::fromStdString(DescribeProblem("F", p));
}

void WriteCurrent(const QString& path, Existing existing = Existing::Replace) {
  WriteTableFile(Std(path), Module1::CurrentTable(), existing);
}

QString ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return QString::fromStdString(e.what());
  }
  return QString();
}

}  // namespace

void TestTableFile::readsFortyFiveOfMoreLines() {
  TempWorkDir dir;
  dir.writeRaw("T.yex", TableBytes([](int r) { return Row{GridX(std::min(r, 45)), 10.0 * r, 0.5 * r}; }, 50));
  ScatteringTable t;
  QVERIFY(ReadTableFile(DataFilePath("T.yex"), t));
  QCOMPARE(t.f[45], 450.0);
  QCOMPARE(t.x[2], 0.005);
  QCOMPARE(t.rowText[45], FormatTableLine(GridX(45), 450, 22.5));
}

void TestTableFile::readFailures() {
  TempWorkDir dir;
  QVERIFY(ReadFailure(DataFilePath("Missing.yex")).contains("does not exist"));
  dir.writeRaw("Short.yex", TableBytes([](int r) { return Row{GridX(r), 1, 1}; }, 44));
  QVERIFY(ReadFailure(DataFilePath("Short.yex")).contains("44 lines"));
  QDir(dir.path()).mkpath("YEX-data/Folder.yex");
  QVERIFY(ReadFailure(DataFilePath("Folder.yex")).contains("not a file"));
  dir.writeRaw("Empty.yex", QByteArray());
  QVERIFY(!ReadFailure(DataFilePath("Empty.yex")).isEmpty());
  QVERIFY(!ReadFailure(DataFilePath("")).isEmpty());  // the folder itself
}

void TestTableFile::readStopsAtLineFortyFive() {
  // A huge file after line 45 is not loaded at all: the row text is exact.
  TempWorkDir dir;
  QByteArray bytes = TableBytes([](int r) { return Row{GridX(r), 1, 1}; });
  bytes += QByteArray(5 * 1024 * 1024, 'z');
  dir.writeRaw("Big.yex", bytes);
  ScatteringTable t;
  QVERIFY(ReadTableFile(DataFilePath("Big.yex"), t));
  QCOMPARE(t.rowText[45].size(), std::size_t(34));
  QVERIFY(ReadFailure(DataFilePath("Big.yex"), Reading::Strict).contains("more than 65536 bytes"));
}

void TestTableFile::writeIsCrLfThirtyFourColumns() {
  TempWorkDir dir;
  for (int r = 1; r <= TableRowCount; ++r) {
    Module1::XData(r) = GridX(r);
    Module1::FData(r) = 26.0 / r;
    Module1::SData(r) = r == 1 ? 0.0 : 0.012345 * r;
  }
  WriteCurrent(DataFilePath("W.yex"));
  const QByteArray bytes = dir.readRaw("W.yex");
  QCOMPARE(bytes.size(), 45 * 36);
  const QList<QByteArray> lines = bytes.split('\n');
  QCOMPARE(lines.size(), 46);  // the last LF ends the file
  for (int i = 0; i < 45; ++i) {
    QCOMPARE(lines[i].size(), 35);
    QVERIFY(lines[i].endsWith('\r'));
  }
  QCOMPARE(lines[0], QByteArray("  .000E+00  .26000E+02  .00000E+00\r"));
  QCOMPARE(lines[1], QByteArray("  .500E-02  .13000E+02  .24690E-01\r"));
}

void TestTableFile::writeRoundTrip() {
  TempWorkDir dir;
  for (int r = 1; r <= TableRowCount; ++r) {
    Module1::XData(r) = GridX(r) * 1.23456;
    Module1::FData(r) = 1.0 / (r * 3.0);
    Module1::SData(r) = r * 7.77777;
  }
  WriteCurrent(DataFilePath("R.yex"));
  // What is written passes the strict reading, with the values an
  // independent reader finds.
  const ScatteringTable t = ReadTableFile(Std(DataFilePath("R.yex")));
  const QList<Row> independent = ReadBack(dir.readRaw("R.yex"));
  for (int r = 1; r <= TableRowCount; ++r) {
    QCOMPARE(t.x[r], independent[r - 1].x);
    QCOMPARE(t.f[r], independent[r - 1].f);
    QCOMPARE(t.s[r], independent[r - 1].s);
    QVERIFY(std::fabs(t.f[r] - Module1::FData(r)) <= 5e-5 * Module1::FData(r));
    QVERIFY(std::fabs(t.x[r] - Module1::XData(r)) <= 5e-3 * Module1::XData(r));
  }
}

void TestTableFile::failedWriteKeepsOldTable() {
  TempWorkDir dir;
  const QByteArray old = TableBytes([](int r) { return Row{GridX(r), 1, 2}; });
  dir.writeRaw("Keep.yex", old);
  Module1::FData(3) = INFINITY;  // a value without a text: nothing is written
  QVERIFY(ErrorOf([&] { WriteCurrent(DataFilePath("Keep.yex")); }).contains("finite"));
  QCOMPARE(dir.readRaw("Keep.yex"), old);
  // A missing folder fails and creates nothing.
  Module1::FData(3) = 1;
  QVERIFY(!ErrorOf([&] { WriteCurrent("NoSuchFolder/X.yex"); }).isEmpty());
  QVERIFY(!QFile::exists("NoSuchFolder"));
  // A folder in the way of the target is not replaced.
  QDir(dir.path()).mkpath("YEX-data/Dir.yex");
  QVERIFY(!ErrorOf([&] { WriteCurrent(DataFilePath("Dir.yex")); }).isEmpty());
  QVERIFY(!ErrorOf([&] { WriteCurrent(DataFilePath("Dir.yex"), Existing::Keep); }).isEmpty());
  QVERIFY(QFileInfo(dir.data("Dir.yex")).isDir());
  // No temporary file is left behind by any of these.
  QCOMPARE(QDir(dir.path() + "/YEX-data").entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestTableFile::listing() {
  TempWorkDir dir;
  for (const char* n : {"b.yex", "A.yex", "c.txt", "C.YEX", "a.yex.bak", ".h.yex"}) dir.writeRaw(n, "x");
  QDir(dir.path()).mkpath("YEX-data/D.yex");
  const QStringList names = ListTableFiles(DataFolder());
  QCOMPARE(names, (QStringList{"A.yex", "b.yex", "C.YEX"}));
  QVERIFY(ListTableFiles(QStringLiteral("NoSuchFolder")).isEmpty());
}

QTEST_GUILESS_MAIN(TestTableFile)
#include "test_table_file.moc"
