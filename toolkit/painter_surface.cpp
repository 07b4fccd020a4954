#include "toolkit/painter_surface.h"

#include <QFontMetricsF>
#include <QImage>
#include <algorithm>

#include "toolkit/fonts.h"

namespace yex {
namespace {

QColor Rgb(unsigned rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }
// Keeps absurd coordinates (a value of 1e300 on a log axis) away from the
// rasteriser; anything this far out is off the surface anyway.
double Clamp(double v) { return std::max(-1e6, std::min(1e6, v)); }
constexpr int kDotsPerMeter96 = 3780;

}  // namespace

QPointF MapToPixel(const UserScale& s, const QSize& pixels, double x, double y) {
  return QPointF(Clamp((x - s.left) / s.width * pixels.width()),
                 Clamp((y - s.top) / s.height * pixels.height()));
}

PainterSurface::PainterSurface(QPainter& painter, const QSize& pixels, const UserScale& scale,
                               const QColor& back, SurfaceState& state)
    : p_(painter), pixels_(pixels), scale_(scale), back_(back), st_(state) {}

QPen PainterSurface::Pen(unsigned rgb) const {
  QPen pen(Rgb(rgb), st_.drawWidth);
  pen.setCapStyle(Qt::SquareCap);
  return pen;
}

void PainterSurface::Cls() {
  p_.fillRect(QRect(QPoint(0, 0), pixels_), back_);
  st_.curX = st_.curY = 0.0;
}

void PainterSurface::SetDrawWidth(int pixels) { st_.drawWidth = std::max(1, pixels); }

void PainterSurface::Line(double x1, double y1, double x2, double y2, unsigned rgb) {
  p_.setPen(Pen(rgb));
  p_.drawLine(Px(x1, y1), Px(x2, y2));
  st_.curX = x2;
  st_.curY = y2;
}

void PainterSurface::LineTo(double x, double y, unsigned rgb) { Line(st_.curX, st_.curY, x, y, rgb); }

void PainterSurface::PSet(double x, double y, unsigned rgb) {
  const QPointF c = Px(x, y);
  const double w = st_.drawWidth;
  if (w <= 1) {
    p_.setPen(Pen(rgb));
    p_.drawPoint(c);
  } else {
    p_.fillRect(QRectF(c.x() - w / 2, c.y() - w / 2, w, w), Rgb(rgb));
  }
  st_.curX = x;
  st_.curY = y;
}

void PainterSurface::Box(double x1, double y1, double x2, double y2, unsigned rgb) {
  p_.setPen(Pen(rgb));
  p_.setBrush(Qt::NoBrush);
  p_.drawRect(QRectF(Px(x1, y1), Px(x2, y2)).normalized());
  st_.curX = x2;
  st_.curY = y2;
}

void PainterSurface::FilledBox(double x1, double y1, double x2, double y2, unsigned rgb) {
  // The fill covers its outline too, drawn with the current pen width.
  const double h = st_.drawWidth / 2.0;
  p_.fillRect(QRectF(Px(x1, y1), Px(x2, y2)).normalized().adjusted(-h, -h, h, h), Rgb(rgb));
  st_.curX = x2;
  st_.curY = y2;
}

void PainterSurface::SetFontSize(double points) { st_.font.setPointSizeF(points); }

void PainterSurface::SetForeColor(unsigned rgb) { st_.fore = Rgb(rgb); }

void PainterSurface::SetTextPos(double left, double top) {
  st_.curX = left;
  st_.curY = top;
}

void PainterSurface::Print(const std::string& text, bool stayOnLine) {
  const QString t = QString::fromStdString(text);
  p_.setFont(st_.font);
  p_.setPen(st_.fore);
  const QFontMetricsF fm(st_.font, p_.device());
  const QPointF topLeft = Px(st_.curX, st_.curY);
  p_.drawText(QPointF(topLeft.x(), topLeft.y() + fm.ascent()), t);
  if (stayOnLine) {
    st_.curX += fm.horizontalAdvance(t) * scale_.width / pixels_.width();
  } else {
    st_.curX = scale_.left;
    st_.curY += fm.height() * scale_.height / pixels_.height();
  }
}

QImage NewChartImage(const QSize& pixels) {
  QImage image(pixels, QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMeter96);
  image.setDotsPerMeterY(kDotsPerMeter96);
  image.fill(Rgb(QBColor(1)));
  return image;
}

SurfaceState NewChartState() {
  SurfaceState s;
  s.font = VbFont(kTimes, 12);
  return s;
}

}  // namespace yex
