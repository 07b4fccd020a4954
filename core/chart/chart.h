// The log-log chart of F(x) and S(x), written against a few drawing
// primitives in user coordinates (left -2, top 14, width 16, height -15.5).
#pragma once

#include <string>

#include "core/chart/chart_surface.h"
#include "core/tables/table.h"

namespace yex {

// The chart's user coordinates, as the main window's picture sets them.
struct ChartUserScale {
  double left, top, width, height;  // height < 0: y grows upward
};
constexpr ChartUserScale kChartUserScale{-2.0, 14.0, 16.0, -15.5};
// Its colours, as entries of the 16-colour palette (QBColor): the
// background, F's curve and S's curve.
constexpr int kChartBackground = 1, kChartCurveF = 12, kChartCurveS = 14;

// Chart position of a table value: ln(1000 v).
double ChartCoordinate(double v);

// Draws the chart of rows 2..45. A row whose x or value cannot be placed
// (zero, negative, not finite) is left out of that curve, which resumes at the
// next drawable row.
void DrawChart(ChartSurface& surface, const RowValues& x, const RowValues& f, const RowValues& s);

}  // namespace yex
