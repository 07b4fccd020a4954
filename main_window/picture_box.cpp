#include "main_window/picture_box.h"

#include <QFontMetricsF>
#include <QPainter>

namespace yex {
namespace {

QColor Rgb(unsigned rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }
// Keeps absurd coordinates (a value of 1e300 on a log axis) away from the
// rasteriser; anything this far out is off the surface anyway.
double Clamp(double v) { return std::max(-1e6, std::min(1e6, v)); }
constexpr int kDotsPerMeter96 = 3780;  // 96 dpi: points map to pixels as on the target screen

}  // namespace

PictureBox::PictureBox(QWidget* parent, double scaleLeft, double scaleTop, double scaleWidth,
                       double scaleHeight)
    : QFrame(parent), left_(scaleLeft), top_(scaleTop), width_(scaleWidth), height_(scaleHeight) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
}

void PictureBox::setTextFont(const QFont& f) { font_ = f; }

void PictureBox::EnsureImage() {
  const QSize size = contentsRect().size();
  if (image_.size() == size || size.isEmpty()) return;
  QImage next(size, QImage::Format_RGB32);
  next.setDotsPerMeterX(kDotsPerMeter96);
  next.setDotsPerMeterY(kDotsPerMeter96);
  next.fill(back_);
  if (!image_.isNull()) {
    QPainter p(&next);
    p.drawImage(0, 0, image_);
  }
  image_ = next;
}

void PictureBox::resizeEvent(QResizeEvent* e) {
  QFrame::resizeEvent(e);
  EnsureImage();
}

void PictureBox::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  EnsureImage();
  QPainter p(this);
  p.drawImage(contentsRect().topLeft(), image_);
}

QPointF PictureBox::ToPixel(double x, double y) const {
  return QPointF(Clamp((x - left_) / width_ * image_.width()), Clamp((y - top_) / height_ * image_.height()));
}

QPen PictureBox::Pen(unsigned rgb) const {
  QPen pen(Rgb(rgb), drawWidth_);
  pen.setCapStyle(Qt::SquareCap);
  return pen;
}

void PictureBox::Cls() {
  EnsureImage();
  image_.fill(back_);
  curX_ = curY_ = 0.0;
  update();
}

void PictureBox::SetDrawWidth(int pixels) { drawWidth_ = std::max(1, pixels); }

void PictureBox::Line(double x1, double y1, double x2, double y2, unsigned rgb) {
  EnsureImage();
  QPainter p(&image_);
  p.setPen(Pen(rgb));
  p.drawLine(ToPixel(x1, y1), ToPixel(x2, y2));
  curX_ = x2;
  curY_ = y2;
  update();
}

void PictureBox::LineTo(double x, double y, unsigned rgb) { Line(curX_, curY_, x, y, rgb); }

void PictureBox::PSet(double x, double y, unsigned rgb) {
  EnsureImage();
  QPainter p(&image_);
  const QPointF c = ToPixel(x, y);
  if (drawWidth_ <= 1) {
    p.setPen(Pen(rgb));
    p.drawPoint(c);
  } else {
    p.fillRect(QRectF(c.x() - drawWidth_ / 2.0, c.y() - drawWidth_ / 2.0, drawWidth_, drawWidth_), Rgb(rgb));
  }
  curX_ = x;
  curY_ = y;
  update();
}

void PictureBox::Box(double x1, double y1, double x2, double y2, unsigned rgb) {
  EnsureImage();
  QPainter p(&image_);
  p.setPen(Pen(rgb));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(ToPixel(x1, y1), ToPixel(x2, y2)).normalized());
  curX_ = x2;
  curY_ = y2;
  update();
}

void PictureBox::FilledBox(double x1, double y1, double x2, double y2, unsigned rgb) {
  EnsureImage();
  QPainter p(&image_);
  const QRectF r = QRectF(ToPixel(x1, y1), ToPixel(x2, y2)).normalized();
  p.fillRect(r.adjusted(-drawWidth_ / 2.0, -drawWidth_ / 2.0, drawWidth_ / 2.0, drawWidth_ / 2.0), Rgb(rgb));
  curX_ = x2;
  curY_ = y2;
  update();
}

void PictureBox::SetFontSize(double points) { font_.setPointSizeF(points); }

void PictureBox::SetForeColor(unsigned rgb) { fore_ = Rgb(rgb); }

void PictureBox::SetTextPos(double left, double top) {
  curX_ = left;
  curY_ = top;
}

void PictureBox::Print(const std::string& text, bool stayOnLine) {
  EnsureImage();
  const QString t = QString::fromStdString(text);
  QPainter p(&image_);
  p.setFont(font_);
  p.setPen(fore_);
  const QFontMetricsF fm(font_, &image_);
  const QPointF topLeft = ToPixel(curX_, curY_);
  p.drawText(QPointF(topLeft.x(), topLeft.y() + fm.ascent()), t);
  const double unitsPerPixelX = width_ / image_.width();
  const double unitsPerPixelY = height_ / image_.height();
  if (stayOnLine) {
    curX_ += fm.horizontalAdvance(t) * unitsPerPixelX;
  } else {
    curX_ = left_;
    curY_ += fm.height() * unitsPerPixelY;
  }
  update();
}

}  // namespace yex
