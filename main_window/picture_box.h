// Picture1: a drawing surface with a user scale that keeps what is drawn on
// it in an image, so covering, hiding and showing never lose the chart.
#pragma once

#include <QFrame>
#include <QImage>

#include "app/chart.h"

namespace yex {

class PictureBox : public QFrame, public ChartSurface {
 public:
  // User scale: left, top, width, height (height negative: y grows upward).
  PictureBox(QWidget* parent, double scaleLeft, double scaleTop, double scaleWidth, double scaleHeight);

  const QImage& image() const { return image_; }
  // Pixel of a user-coordinate point.
  QPointF ToPixel(double x, double y) const;

  void setBackColor(const QColor& c) { back_ = c; }
  void setTextFont(const QFont& f);

  // ChartSurface
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

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QPen Pen(unsigned rgb) const;
  void EnsureImage();

  double left_, top_, width_, height_;
  QImage image_;
  QColor back_{0, 0, 128};
  QColor fore_{255, 255, 255};
  QFont font_;
  int drawWidth_ = 1;
  double curX_ = 0.0, curY_ = 0.0;  // current point and text position
};

}  // namespace yex
