// The program's pictures, painted in code.
#pragma once

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace yex {

QPixmap GoPicture(const QSize& size);        // "OK" in white on green
QPixmap ExitPicture(const QSize& size);      // 出口 above an up-left arrow, on green
QPixmap QuestionPicture(const QSize& size);  // a red question mark
QPixmap DecorativePicture();                 // 32 x 32, the top-right corner image
// Paints that image in a 32 x 32 coordinate system on any painter (scaled
// for the desktop icons).
void PaintDecorative(QPainter& p);
QIcon WindowIcon();  // 32 x 32 window icon

}  // namespace yex
