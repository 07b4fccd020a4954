// A long session in one process: 10,000 GO and lookup cycles and 1,000
// compound saves, with the resident memory before and after.
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "compound_editor/form4.h"
#include "main_window/form1.h"
#include "tests/test_support.h"

using namespace yex;
using namespace yex::test;
using namespace yex::Module1;

namespace {

double ResidentMiB() {
  QFile statm("/proc/self/statm");
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = statm.readAll().split(' ');
  return fields.value(1).toDouble() * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

}  // namespace

class TestSoak : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void longSession();
};

void TestSoak::longSession() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  dir.writeElement("H.yex", 1);
  dir.writeElement("O.yex", 8);
  Form1& f = Windows::form1();
  f.show();
  Form4& e = Windows::form4();
  e.File1->setPath(DataFolder());
  ScriptedDialogs d;
  const char* xs[] = {"0.005", "0.0123", "0.5", "7.7", "1000", "0.0001"};
  auto cycle = [&](int i) {
    f.File1_Click(i % 2 ? "C.yex" : "H.yex");
    f.Command2_Click();
    f.Text1->setText(xs[i % 6]);
    f.Text1_KeyPress(13);
    d.clear();
  };
  auto save = [&](int i) {
    ElementKindCount = 2;
    ElementFile(1) = "H.yex";
    ElementFile(2) = "O.yex";
    ElementAmount(1) = 2;
    ElementAmount(2) = 1;
    e.Text1->setText(QString("W%1").arg(i % 10));
    e.show();
    // From the eleventh save on, the table is there: replacing it is asked.
    const bool replacing = QFile::exists(QString("YEX-data/W%1.yex").arg(i % 10));
    if (replacing) d.answer({"Yes"});
    e.Command1_Click();
    QCOMPARE(d.calls().size(), replacing ? 2 : 1);
    QCOMPARE(d.calls().last().message, QString("データはファイルに保存されました。"));
    d.clear();
  };
  for (int i = 0; i < 200; ++i) cycle(i);  // warm caches and allocators
  for (int i = 0; i < 20; ++i) save(i);
  const double before = ResidentMiB();
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < 10000; ++i) cycle(i);
  const qint64 goMs = t.restart();
  const double afterGo = ResidentMiB();
  for (int i = 0; i < 1000; ++i) save(i);
  const qint64 saveMs = t.elapsed();
  const double after = ResidentMiB();
  qInfo(
      "resident %.1f MiB before, %.1f MiB after 10,000 GO+lookup (%lld ms), %.1f MiB after 1,000 saves (%lld "
      "ms)",
      before, afterGo, static_cast<long long>(goMs), after, static_cast<long long>(saveMs));
  QVERIFY2(after - before < 8.0, "resident memory grew by 8 MiB or more");
  QCOMPARE(f.List1->count(), 45);
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
