// Table files and the table store: reading (as the main window reads, and
// strictly), atomic and exclusive writing, names compared without case, and
// what killed saves leave.
#include <QDir>
#include <QFile>
#include <QTest>
#include <atomic>
#include <thread>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "core/table_file.h"
#include "core/table_format.h"
#include "core/table_store.h"
#include "tests/test_support.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

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
  void strictReadingRefusesWhatIsNoTable();
  void namesWithoutCaseAndForEverySystem();
  void racingSavesOneWins();
  void leftOversOfKilledSaves();
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

ScatteringTable Smooth(double z) {
  ScatteringTable t;
  std::string why;
  const QByteArray b = TableBytes([z](int r) { return ElementRow(r, z); });
  ParseTableBytes(std::string_view(b.constData(), static_cast<std::size_t>(b.size())), t, &why);
  return t;
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

void TestTableFile::strictReadingRefusesWhatIsNoTable() {
  // Carbon-like rows as written; each case breaks them one way. The line and
  // a piece of the reason come from the bytes themselves.
  const QByteArray good = TableBytes([](int r) { return ElementRow(r, 6); });
  QList<QByteArray> lines = good.split('\n');
  lines.removeLast();
  auto joined = [](QList<QByteArray> l, const char* end = "\n") { return l.join(end) + end; };
  auto with = [&](int line, const QByteArray& text) {
    QList<QByteArray> l = lines;
    l[line - 1] = text;
    return joined(l);
  };
  QByteArray tabs = good, utf16;
  tabs.replace("  .", "\t.");
  for (const char c : good) utf16 += QByteArray(1, c) + '\0';
  QList<QByteArray> swapped = lines;
  swapped.swapItemsAt(9, 10);
  QList<QByteArray> gap = lines;
  gap.insert(19, "\r");
  const struct {
    const char* what;
    QByteArray bytes;
    int line;  // -1: accepted
    const char* reason;
  } cases[] = {
      {"as written", good, -1, ""},
      {"LF only and no last line end", joined(lines).replace("\r", "").chopped(1), -1, ""},
      {"blank lines after", good + "\r\n  \r\n\n", -1, ""},
      {"a CSV", "x,F,S\n0,6,0\n", 1, "\"x,F,S\" is not a table line"},
      {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + good, 1, "\\xEF\\xBB\\xBF"},
      {"UTF-16", utf16, 1, "not a table line"},
      {"binary junk", QByteArray("\x7f" "ELF\x02\x01\x01", 7) + good, 1, "not a table line"},
      {"tabs for blanks", tabs, 1, "\"\\x09.000E+00\\x09.60000E+01"},
      {"NaN in F", with(5, "  .200E-01         NaN  .10000E+01\r"), 5, "F \"         NaN\" is not a number"},
      {"two numbers in one field", with(6, "  .250E-01  .59 34E+01  .10000E+01\r"), 6, "F \"  .59 34E+01\" is not"},
      {"beyond the doubles", with(7, "  .300E-01  .1000E+999  .10000E+01\r"), 7, "beyond the range"},
      {"negative S", with(8, "  .350E-01  .59000E+01 -.10000E+01\r"), 8, "S is negative"},
      {"x not ascending", joined(swapped), 11, "x must ascend"},
      {"a blank line among them", joined(gap), 20, "blank"},
      {"cut inside line 45", good.left(44 * 36 + 20), 45, "is not a table line of 34 characters"},
      {"45 blank lines", QByteArray(45, '\n'), 1, "blank"},
      {"44 lines", TableBytes([](int r) { return ElementRow(r, 6); }, 44), 0, "holds 44 lines"},
      {"a line after the 45th", good + "  .100E+05  .10000E+01  .10000E+01\r\n", 46, "follows the 45 lines"},
      {"far too large", good + QByteArray(70000, ' '), 0, "bytes, far more than a table"},
  };
  for (const auto& c : cases) {
    ScatteringTable t;
    TableProblem p;
    const bool ok = ParseTableStrict(std::string_view(c.bytes.constData(), std::size_t(c.bytes.size())), t, &p);
    QVERIFY2(ok == (c.line < 0), c.what);
    if (ok) {
      QCOMPARE(t.f[1], 6.0);
      continue;
    }
    QVERIFY2(p.line == c.line, qPrintable(QString("%1: line %2").arg(c.what).arg(p.line)));
    QVERIFY2(QString::fromStdString(p.reason).contains(c.reason), qPrintable(QString::fromStdString(p.reason)));
  }
  // The store names the file and the line.
  TempWorkDir dir;
  dir.writeRaw("Ccsv.yex", "x,F(C),S(C)\n0,6,0\n");
  QCOMPARE(ErrorOf([] { DataStore().LoadTyped("Ccsv"); }),
           QString("YEX-data/Ccsv.yex line 1: \"x,F(C),S(C)\" is not a table line"));
}

void TestTableFile::namesWithoutCaseAndForEverySystem() {
  TempWorkDir dir;
  dir.writeElement("Fe.yex", 26);
  dir.writeElement("water.yex", 3);
  dir.writeElement("ab.yex", 1);
  dir.writeElement("AB.yex", 2);
  dir.writeElement("Cu.YEX", 29);
  FolderStore store = DataStore();
  const struct {
    const char* typed;
    const char* file;  // "" when refused, with `why` in the message
    const char* why;
  } found[] = {{"fe", "Fe.yex", ""},          {"FE.yex", "Fe.yex", ""},      {"Water", "water.yex", ""},
               {"ab", "ab.yex", ""},          {"AB", "AB.yex", ""},          {"Ab", "", "ambiguous"},
               {"cu", "Cu.YEX", ""},          {"Cu.yex", "Cu.YEX", ""},      {"none", "none.yex", ""},
               {"../x", "", "not a table name"}};
  for (const auto& c : found) {
    std::string file;
    const QString e = ErrorOf([&] { file = store.Resolve(c.typed); });
    QVERIFY2(e.contains(c.why) && file == c.file, c.typed);
  }
  // New names: the same rule for every front end.
  const std::string longest(251, 'n'), tooLong(252, 'n');
  const struct {
    std::string base;
    const char* why;  // "" when it may be created
  } created[] = {{"Water2", ""},    {longest, ""},           {"fe", "shipped"},    {"FE", "shipped"},
                 {"WATER", "exists"}, {"ab", "exists"},      {"CON", "device"},     {"nul.txt", "device"},
                 {"com1", "device"}, {"a.", "dot or a space"}, {"a ", "dot or a space"}, {"a<b", "<"},
                 {"x|y", "|"},       {".hidden", "begin"},   {tooLong, "longer than 251"}};
  for (const auto& c : created) {
    const QString e = ErrorOf([&] { store.CheckNewTable(c.base, false); });
    QVERIFY2(e.contains(c.why) && e.isEmpty() == !*c.why, qPrintable(QString::fromStdString(c.base) + ": " + e));
  }
  QCOMPARE(store.Save(longest, Smooth(7), false), longest + ".yex");
  // Replacing a name in another case replaces that file, not one beside it.
  QCOMPARE(store.Save("WATER", Smooth(8), true), std::string("water.yex"));
  QVERIFY(!QFile::exists(dir.data("WATER.yex")));
  QCOMPARE(ReadTableFile(Std(dir.data("water.yex"))).f[1], 8.0);
}

void TestTableFile::racingSavesOneWins() {
  TempWorkDir dir;
  for (int round = 0; round < 100; ++round) {
    const std::string name = "R" + std::to_string(round);
    std::atomic<int> ready{0};
    int wins[2] = {0, 0}, exists[2] = {0, 0};
    auto save = [&](int k) {
      FolderStore store = DataStore();
      ++ready;
      while (ready < 2) {
      }
      try {
        store.Save(name, Smooth(10 + k), false);
        wins[k] = 1;
      } catch (const Error& e) {
        exists[k] = e.kind() == ErrorKind::Exists;
      }
    };
    std::thread a(save, 0), b(save, 1);
    a.join();
    b.join();
    QCOMPARE(wins[0] + wins[1], 1);
    QCOMPARE(exists[0] + exists[1], 1);
    // The file is the winner's table, whole.
    QCOMPARE(ReadTableFile(Std(dir.data(QString::fromStdString(name) + ".yex"))).f[1], wins[0] ? 10.0 : 11.0);
  }
  QCOMPARE(QDir(dir.data("")).entryList(QDir::Files | QDir::Hidden).size(), 100);
}

void TestTableFile::leftOversOfKilledSaves() {
  TempWorkDir dir;
  // What killed saves leave: an earlier version's ".R.yex.tmpN", and ours,
  // ".yex-H-N.tmp" with H the FNV-1a hash of the lower-case file name.
  std::uint32_t h = 2166136261u;
  for (const char c : std::string("r.yex")) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  const QString ours = QString(".yex-%1-").arg(h, 8, 16, QChar('0'));
  for (int i = 0; i < 1000; ++i) dir.writeRaw(QString(".R.yex.tmp%1").arg(i), "half");
  for (int i = 0; i < 20; ++i) dir.writeRaw(ours + QString("%1.tmp").arg(i, 8, 10, QChar('0')), "half");
  dir.writeRaw(".yex-00000000-00000000.tmp", "another table's");
#ifndef _WIN32
  // A save still writing holds its lock: its file stays.
  const QString busy = ours + "busybusy.tmp";
  dir.writeRaw(busy, "busy");
  const int fd = ::open(QFile::encodeName(dir.data(busy)).constData(), O_RDONLY);
  QCOMPARE(::flock(fd, LOCK_EX), 0);
#endif
  FolderStore store = DataStore();
  store.Save("R", Smooth(9), false);
  QStringList left = QDir(dir.data("")).entryList(QDir::Files | QDir::Hidden);
#ifndef _WIN32
  ::close(fd);
  QCOMPARE(left, (QStringList{".yex-00000000-00000000.tmp", busy, "R.yex"}));
#endif
  QCOMPARE(store.List(), std::vector<std::string>{"R.yex"});
}

QTEST_GUILESS_MAIN(TestTableFile)
#include "test_table_file.moc"
