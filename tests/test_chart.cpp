// The chart drawn into Picture1's retained image, checked by its pixels.
#include <QApplication>
#include <QTest>
#include <cmath>

#include "core/chart/chart.h"
#include "main_window/picture_box.h"
#include "tests/test_support.h"
#include "toolkit/fonts.h"

using namespace yex;
using namespace yex::test;

namespace {

const QRgb kBack = qRgb(0, 0, 128), kGrey = qRgb(128, 128, 128), kRed = qRgb(255, 0, 0),
           kYellow = qRgb(255, 255, 0), kWhite = qRgb(255, 255, 255);

struct Table {
  RowValues x, f, s;
};

// F and S constant over the grid: each curve is a horizontal line.
Table Flat(double f, double s) {
  Table t;
  for (int r = 1; r <= TableRowCount; ++r) {
    t.x(r) = GridX(r);
    t.f(r) = f;
    t.s(r) = s;
  }
  return t;
}

class Chart {
 public:
  Chart() : box_(nullptr, kChartScale) {
    box_.setTextFont(VbFont(kTimes, 12));
    box_.setFrameStyle(QFrame::NoFrame);
    box_.resize(529, 529);
  }
  void draw(const Table& t) {
    box_.Draw([&t](ChartSurface& s) { DrawChart(s, t.x, t.f, t.s); });
  }
  QRgb at(double ux, double uy) const {
    const QPointF p = box_.ToPixel(ux, uy);
    return box_.image().pixel(int(p.x()), int(p.y()));
  }
  // Whether any pixel of a colour lies in the user-coordinate rectangle.
  bool any(QRgb colour, double x1, double y1, double x2, double y2) const {
    const QPointF a = box_.ToPixel(x1, y1), b = box_.ToPixel(x2, y2);
    const QRect r = QRectF(a, b).normalized().toAlignedRect().intersected(box_.image().rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (box_.image().pixel(x, y) == colour) return true;
    return false;
  }
  PictureBox& box() { return box_; }

 private:
  PictureBox box_;
};

double Y(double v) { return std::log(1000 * v); }

}  // namespace

class TestChart : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { InstallFontSubstitutions(); }
  void gridFrameAndBackground();
  void curvesWhereTheValuesFall();
  void nothingBelowOrRightOfFrame();
  void secondDrawLeavesNoTrace();
  void unplaceableRowsBreakTheCurve();
  void textLabels();
  void retainedAcrossHideAndShow();
};

void TestChart::gridFrameAndBackground() {
  Chart c;
  c.draw(Flat(0.0001, 0.0001));  // both curves below the frame, masked
  QCOMPARE(c.at(-1.9, 5), kBack);
  QCOMPARE(c.at(13.95, 5), kBack);
  // Decade lines and the lines in between at ln(1000 j 10^(i-3)).
  for (int i = 0; i <= 5; ++i)
    for (int j = 2; j <= 9; ++j) {
      const double g = std::log(j * std::pow(10.0, i));
      QCOMPARE(c.at(g, 6.6), kGrey);
      QCOMPARE(c.at(6.6, g), kGrey);
    }
  // Between two grid lines of the first decade: background.
  QCOMPARE(c.at(0.35, 6.6 + 0.05), kBack);
  // The white frame on all four sides.
  QCOMPARE(c.at(0, 6.6), kWhite);
  QCOMPARE(c.at(13.8, 6.6), kWhite);
  QCOMPARE(c.at(6.6, 0), kWhite);
  QCOMPARE(c.at(6.6, 13.8), kWhite);
}

void TestChart::curvesWhereTheValuesFall() {
  Chart c;
  c.draw(Flat(10, 0.5));
  // Between rows 2 (x = 0.005) and 43 (x = 1000) the lines lie at ln(1000 v).
  for (double x : {0.006, 0.08, 0.33, 2.2, 70.0, 640.0}) {
    QCOMPARE(c.at(Y(x), Y(10)), kRed);
    QCOMPARE(c.at(Y(x), Y(0.5)), kYellow);
  }
  // Nothing left of row 2's x.
  QVERIFY(!c.any(kRed, 0.05, Y(10) - 0.1, Y(0.005) - 0.1, Y(10) + 0.1));
}

void TestChart::nothingBelowOrRightOfFrame() {
  Chart c;
  Table t = Flat(10, 1);
  for (int r = 2; r <= TableRowCount; ++r) {
    t.f(r) = 10 * std::pow(t.x(r), -2.0);   // falls far below 10^-3
    t.s(r) = 1e-6 * std::pow(t.x(r), 2.0);  // rises from below the frame
  }
  c.draw(t);
  // The strip between the frame and the tick labels, and right of the frame.
  QVERIFY(!c.any(kRed, -1, -0.02, 14, -0.09));
  QVERIFY(!c.any(kYellow, -1, -0.02, 14, -0.09));
  QVERIFY(!c.any(kRed, 13.86, 14, 14, -1.5));
  QVERIFY(!c.any(kYellow, 13.86, 14, 14, -1.5));
  // S enters the frame through its bottom edge.
  QVERIFY(c.any(kYellow, 0, 0.05, 13.8, 0.5));
}

void TestChart::secondDrawLeavesNoTrace() {
  Chart c;
  c.draw(Flat(10, 0.5));
  c.draw(Flat(100, 5));
  QVERIFY(!c.any(kRed, 1, Y(10) - 0.02, 12, Y(10) + 0.02));
  QVERIFY(!c.any(kYellow, 1, Y(0.5) - 0.02, 12, Y(0.5) + 0.02));
  QCOMPARE(c.at(Y(0.3), Y(100)), kRed);
}

void TestChart::unplaceableRowsBreakTheCurve() {
  Chart c;
  Table t = Flat(10, 0.5);
  t.f(20) = 0;         // x = 0.5
  t.s(30) = -3;        // x = 3
  t.x(36) = NAN;       // x = 8: both curves
  t.f(40) = INFINITY;  // x = 50
  c.draw(t);
  // The segments touching a bad row are missing; the curve resumes after it.
  QVERIFY(c.at(Y(0.45), Y(10)) != kRed);
  QVERIFY(c.at(Y(0.55), Y(10)) != kRed);
  QCOMPARE(c.at(Y(0.65), Y(10)), kRed);
  QCOMPARE(c.at(Y(3), Y(10)), kRed);  // a bad S does not break F
  QVERIFY(c.at(Y(2.75), Y(0.5)) != kYellow);
  QCOMPARE(c.at(Y(3.75), Y(0.5)), kYellow);
  QVERIFY(c.at(Y(7.5), Y(10)) != kRed);
  QVERIFY(c.at(Y(7.5), Y(0.5)) != kYellow);
  QCOMPARE(c.at(Y(12), Y(10)), kRed);
  QVERIFY(c.at(Y(35), Y(10)) != kRed);
  QCOMPARE(c.at(Y(90), Y(10)), kRed);
  // A table of zeros draws the empty chart.
  Table zeros;
  c.draw(zeros);
  QVERIFY(!c.any(kRed, 0, 0, 13.8, 13.8));
}

void TestChart::textLabels() {
  Chart c;
  c.draw(Flat(0.0001, 0.0001));
  // White tick text just under the frame at each decade, left of it too.
  for (double left : {-0.4, 1.9, 4.2, 6.5, 8.8, 11.1, 13.2})
    QVERIFY(c.any(kWhite, left, -0.15, left + 0.9, -0.7));
  for (double top : {0.4, 2.6, 4.9, 7.2, 9.5, 11.8})
    QVERIFY(c.any(kWhite, -0.9, top - 0.05, -0.05, top - 0.6));
  QVERIFY(c.any(kWhite, 6, -0.85, 12, -1.45));      // axis caption
  QVERIFY(c.any(kRed, -1.6, 13.3, -0.4, 12.7));     // "F(x)"
  QVERIFY(c.any(kYellow, -1.6, 12.6, -0.4, 12.0));  // "S(x)"
}

void TestChart::retainedAcrossHideAndShow() {
  Chart c;
  c.draw(Flat(10, 0.5));
  const QImage before = c.box().image().copy();
  c.box().show();
  QCoreApplication::processEvents();
  c.box().hide();
  QCoreApplication::processEvents();
  c.box().show();
  QCoreApplication::processEvents();
  QCOMPARE(c.box().image(), before);
  QImage shown = c.box().grab().toImage().convertToFormat(before.format());
  QCOMPARE(shown.pixel(200, 200), before.pixel(200, 200));
}

QTEST_MAIN(TestChart)
#include "test_chart.moc"
