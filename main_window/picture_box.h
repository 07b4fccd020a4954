// Picture1: a drawing surface with a user scale that keeps what is drawn on
// it in an image, so covering, hiding and showing never lose the chart.
#pragma once

#include <QFrame>
#include <QImage>
#include <functional>

#include "toolkit/painter_surface.h"

namespace yex {

class PictureBox : public QFrame {
 public:
  PictureBox(QWidget* parent, const UserScale& scale);

  const QImage& image() const { return image_; }
  // Pixel of a user-coordinate point.
  QPointF ToPixel(double x, double y) const;

  void setBackColor(const QColor& c) { back_ = c; }
  void setTextFont(const QFont& f) { state_.font = f; }

  // Runs `draw` on the retained image; pen width, text size and colour carry
  // over from one drawing to the next, as on a real surface.
  void Draw(const std::function<void(ChartSurface&)>& draw);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void EnsureImage();

  UserScale scale_;
  QImage image_;
  QColor back_{0, 0, 128};
  SurfaceState state_;
};

}  // namespace yex
