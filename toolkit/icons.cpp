#include "toolkit/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "toolkit/fonts.h"

namespace yex {
namespace {

const QColor kGreen(0, 128, 0);

QPixmap Blank(const QSize& size) {
  QPixmap pm(size);
  pm.fill(Qt::transparent);
  return pm;
}

}  // namespace

QPixmap GoPicture(const QSize& size) {
  QPixmap pm = Blank(size);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont f = VbFont(kTimes, 1);
  f.setBold(true);
  f.setPixelSize(std::max(8, size.height() * 3 / 4));
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("OK"));
  return pm;
}

QPixmap ExitPicture(const QSize& size) {
  QPixmap pm = Blank(size);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const int w = size.width(), h = size.height();
  QFont f = VbFont(kMsGothic, 1);
  f.setBold(true);
  f.setPixelSize(std::max(6, h * 2 / 5));
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, w, h / 2), Qt::AlignCenter, QStringLiteral("出口"));
  // An arrow pointing up and to the left, under the word.
  const double x0 = w * 0.3, y0 = h * 0.55, x1 = w * 0.7, y1 = h * 0.92;
  p.setPen(QPen(Qt::white, std::max(1.5, h / 16.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(x1, y1), QPointF(x0, y0));
  const double head = h * 0.16;
  p.drawLine(QPointF(x0, y0), QPointF(x0 + head, y0));
  p.drawLine(QPointF(x0, y0), QPointF(x0, y0 + head));
  return pm;
}

QPixmap QuestionPicture(const QSize& size) {
  QPixmap pm = Blank(size);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont f = VbFont(kTimes, 1);
  f.setBold(true);
  f.setPixelSize(std::max(8, size.height() * 4 / 5));
  p.setFont(f);
  p.setPen(QColor(255, 0, 0));
  p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("?"));
  return pm;
}

void PaintDecorative(QPainter& p) {
  // A small log-log chart: two curves over a dark blue square.
  p.fillRect(QRect(0, 0, 32, 32), QColor(0, 0, 128));
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(128, 128, 128), 1));
  for (int i = 4; i < 32; i += 9) {
    p.drawLine(i, 2, i, 29);
    p.drawLine(2, 31 - i, 29, 31 - i);
  }
  p.setPen(QPen(Qt::white, 1));
  p.drawRect(2, 2, 27, 27);
  QPainterPath fx, sx;
  for (int i = 0; i <= 27; ++i) {
    const double t = i / 27.0;
    const double fy = 5 + 22 / (1 + std::exp((0.55 - t) * -12));
    const double sy = 27 - 22 / (1 + std::exp((0.45 - t) * 12));
    if (i == 0) {
      fx.moveTo(2 + i, fy);
      sx.moveTo(2 + i, sy);
    } else {
      fx.lineTo(2 + i, fy);
      sx.lineTo(2 + i, sy);
    }
  }
  p.setPen(QPen(QColor(255, 0, 0), 1.6));
  p.drawPath(fx);
  p.setPen(QPen(QColor(255, 255, 0), 1.6));
  p.drawPath(sx);
}

QPixmap DecorativePicture() {
  QPixmap pm(32, 32);
  pm.fill(QColor(0, 0, 128));
  QPainter p(&pm);
  PaintDecorative(p);
  return pm;
}

QIcon WindowIcon() { return QIcon(DecorativePicture()); }

}  // namespace yex
