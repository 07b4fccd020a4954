// The chart's drawing primitives on any QPainter: the main window's
// retained image, a PNG or an SVG of the command line.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSize>

#include "core/chart/chart.h"
#include "core/chart/chart_surface.h"

namespace yex {

struct UserScale {
  double left, top, width, height;  // height < 0: y grows upward
};

// Picture1's scale: left -2, top 14, width 16, height -15.5.
constexpr UserScale kChartScale{kChartUserScale.left, kChartUserScale.top, kChartUserScale.width,
                                kChartUserScale.height};
// The drawing area of Picture1 (its 529 pixels less a 2-pixel border).
constexpr int kChartPixels = 525;

QPointF MapToPixel(const UserScale& scale, const QSize& pixels, double x, double y);

// The state a surface keeps between drawings: pen width, text font and size,
// text colour, current point.
struct SurfaceState {
  int drawWidth = 1;
  QFont font;
  QColor fore{255, 255, 255};
  double curX = 0.0, curY = 0.0;
};

class PainterSurface : public ChartSurface {
 public:
  PainterSurface(QPainter& painter, const QSize& pixels, const UserScale& scale, const QColor& back,
                 SurfaceState& state);

  void Cls() override;
  void SetDrawWidth(int pixels) override;
  void Line(double x1, double y1, double x2, double y2, unsigned rgb) override;
  void LineTo(double x, double y, unsigned rgb) override;
  void PSet(double x, double y, unsigned rgb) override;
  void Box(double x1, double y1, double x2, double y2, unsigned rgb) override;
  void FilledBox(double x1, double y1, double x2, double y2, unsigned rgb) override;
  void SetFontSize(double points) override;
  void SetForeColor(unsigned rgb) override;
  void SetTextPos(double left, double top) override;
  void Print(const std::string& text, bool stayOnLine) override;

 private:
  QPointF Px(double x, double y) const { return MapToPixel(scale_, pixels_, x, y); }
  QPen Pen(unsigned rgb) const;

  QPainter& p_;
  QSize pixels_;
  UserScale scale_;
  QColor back_;
  SurfaceState& st_;
};

// A fresh image of the chart of a table, exactly as the main window's first
// GO draws it (96 dpi, so point sizes map to the same pixels).
QImage NewChartImage(const QSize& pixels);
SurfaceState NewChartState();

}  // namespace yex
