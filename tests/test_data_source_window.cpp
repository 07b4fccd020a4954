// Form3: the borderless data-source panel.
#include <QTest>

#include "app/windows.h"
#include "aux_windows/form3.h"
#include "tests/test_support.h"
#include "toolkit/fonts.h"

using namespace yex;
using namespace yex::test;

class TestDataSourceWindow : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void borderlessPanelWithItsTexts();
  void closeHidesAndTheSameWindowReturns();
};

void TestDataSourceWindow::borderlessPanelWithItsTexts() {
  Form3& f = Windows::form3();
  QVERIFY(f.windowFlags() & Qt::FramelessWindowHint);
  QCOMPARE(f.size(), QSize(373, 196));
  QCOMPARE(f.pos(), QPoint(83, 200));
  QCOMPARE(f.Label1->text(), QString("Data from"));
  QVERIFY(f.Label1->font().italic());
  QCOMPARE(f.Label1->font().pointSizeF(), 12.0);
  QCOMPARE(f.Label3->text(), QString("Atomic form factors, incoherent scattering functions,"));
  QCOMPARE(f.Label2->text(), QString("and photon scattering cross sections"));
  QVERIFY(f.Label7->text().endsWith("et al."));
  QCOMPARE(f.Label6->text(), QString("Journal of Physical and Chemical reference Data"));
  QCOMPARE(f.Label4->text(), QString("4 (3), 471 - 538, (1975)"));
  for (QLabel* l : {f.Label1, f.Label3, f.Label2, f.Label7, f.Label6, f.Label4}) {
    QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(l->font().family(), kTimes);
  }
  QCOMPARE(f.Label4->pos(), QPoint(184, 120));
  QCOMPARE(f.Command1->text(), QString("Close"));
  QCOMPARE(f.Command1->geometry(), QRect(160, 152, 57, 25));
  QVERIFY(!f.Command1->isDefault());
  // The two outlines: Shape2 from (1, 1), Shape1 from (2, 2) at its own
  // width of 369 pixels, not stretched to the panel's edge.
  f.show();
  const QImage img = f.grab().toImage();
  QCOMPARE(img.pixelColor(1, 60), QColor(Qt::white));
  QCOMPARE(img.pixelColor(2, 60), QColor(Qt::black));
  QCOMPARE(img.pixelColor(2 + 369 - 1, 60), QColor(Qt::black));
  QVERIFY(img.pixelColor(f.width() - 1, 60) != QColor(Qt::black));
}

void TestDataSourceWindow::closeHidesAndTheSameWindowReturns() {
  Form3& f = Windows::form3();
  f.show();
  QTest::mouseClick(f.Command1, Qt::LeftButton);
  QVERIFY(!f.isVisible());
  QCOMPARE(&Windows::form3(), &f);
  Windows::form3().show();
  QVERIFY(f.isVisible());
  QCOMPARE(Windows::creations(Windows::Which::Form3), 1);
}

QTEST_MAIN(TestDataSourceWindow)
#include "test_data_source_window.moc"
