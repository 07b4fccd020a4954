#include "core/chart/chart.h"

#include <cmath>

namespace yex {

double ChartCoordinate(double v) { return std::log(1000.0 * v); }

namespace {

constexpr double FrameEnd = 13.8;

double G(int i, int j) { return std::log(static_cast<double>(j)) + i * std::log(10.0); }

bool Placeable(double v) { return std::isfinite(v) && v > 0.0 && std::isfinite(ChartCoordinate(v)); }

// Steps 6 and 7: a point at the first row, lines through the following ones.
void DrawCurve(ChartSurface& sf, const RowValues& x, const RowValues& y, unsigned rgb) {
  bool current = false;
  for (int r = 2; r <= TableRowCount; ++r) {
    if (!Placeable(x(r)) || !Placeable(y(r))) {
      current = false;
      continue;
    }
    const double px = ChartCoordinate(x(r)), py = ChartCoordinate(y(r));
    if (current)
      sf.LineTo(px, py, rgb);
    else
      sf.PSet(px, py, rgb);
    current = true;
  }
}

void TickLabel(ChartSurface& sf, double left, double top, const char* exponent) {
  sf.SetTextPos(left, top);
  sf.Print("10", true);
  sf.SetFontSize(8);
  sf.Print(exponent, false);
  sf.SetFontSize(14);
}

}  // namespace

void DrawChart(ChartSurface& sf, const RowValues& x, const RowValues& f, const RowValues& s) {
  const unsigned background = QBColor(kChartBackground), grey = QBColor(8), red = QBColor(kChartCurveF),
                 yellow = QBColor(kChartCurveS), white = QBColor(15);
  sf.Cls();
  sf.SetDrawWidth(1);
  for (int i = 0; i <= 5; ++i)
    for (int j = 1; j <= 10; ++j) sf.Line(0, G(i, j), FrameEnd, G(i, j), grey);
  for (int i = 0; i <= 5; ++i)
    for (int j = 1; j <= 10; ++j) sf.Line(G(i, j), 0, G(i, j), FrameEnd, grey);
  sf.SetDrawWidth(2);
  DrawCurve(sf, x, f, red);
  DrawCurve(sf, x, s, yellow);
  // Masks: whatever ran below or right of the frame disappears.
  sf.FilledBox(-1, 0, 16, -2, background);
  sf.FilledBox(FrameEnd, -2, 16, 14, background);
  sf.Box(0, 0, FrameEnd, FrameEnd, white);
  sf.SetFontSize(14);
  static const struct {
    double pos;
    const char* exponent;
  } xTicks[] = {{-0.4, "-3"}, {1.9, "-2"}, {4.2, "-1"}, {6.5, "0"}, {8.8, "1"}, {11.1, "2"}, {13.2, "3"}},
    yTicks[] = {{0.4, "-3"}, {2.6, "-2"}, {4.9, "-1"}, {7.2, "0"}, {9.5, "1"}, {11.8, "2"}, {14.1, "3"}};
  for (const auto& t : xTicks) TickLabel(sf, t.pos, -0.1, t.exponent);
  sf.SetTextPos(6, -0.8);
  sf.Print("Momentum transfer,  x", false);
  for (const auto& t : yTicks) TickLabel(sf, -0.9, t.pos, t.exponent);
  sf.SetForeColor(red);
  sf.SetTextPos(-1.6, 13.3);
  sf.Print("F(x)", false);
  sf.SetForeColor(yellow);
  sf.SetTextPos(-1.6, 12.6);
  sf.Print("S(x)", false);
  sf.SetForeColor(white);
}

}  // namespace yex
