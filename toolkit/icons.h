// The program's pictures, painted in code.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace yex {

QPixmap GoPicture(const QSize& size);        // "OK" in white on green
QPixmap ExitPicture(const QSize& size);      // 出口 above an up-left arrow, on green
QPixmap QuestionPicture(const QSize& size);  // a red question mark
QPixmap DecorativePicture();                 // 32 x 32, the top-right corner image
QIcon WindowIcon();                          // 32 x 32 window icon

}  // namespace yex
