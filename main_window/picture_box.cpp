#include "main_window/picture_box.h"

#include <QPainter>

namespace yex {

PictureBox::PictureBox(QWidget* parent, const UserScale& scale) : QFrame(parent), scale_(scale) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
}

void PictureBox::EnsureImage() {
  const QSize size = contentsRect().size();
  if (image_.size() == size || size.isEmpty()) return;
  QImage next = NewChartImage(size);
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

QPointF PictureBox::ToPixel(double x, double y) const { return MapToPixel(scale_, image_.size(), x, y); }

void PictureBox::Draw(const std::function<void(ChartSurface&)>& draw) {
  EnsureImage();
  {
    QPainter p(&image_);
    PainterSurface surface(p, image_.size(), scale_, back_, state_);
    draw(surface);
  }
  update();
}

}  // namespace yex
