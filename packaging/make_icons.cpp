// Writes the desktop icons from the program's own window icon: yex.svg and
// yex-N.png for each size given.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

#include "toolkit/icons.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() < 3) {
    QTextStream(stderr) << "usage: make_icons OUTDIR SIZE...\n";
    return 2;
  }
  const QString out = args[1];
  QSvgGenerator svg;
  svg.setFileName(out + QStringLiteral("/yex.svg"));
  svg.setSize(QSize(32, 32));
  svg.setViewBox(QRect(0, 0, 32, 32));
  svg.setTitle(QStringLiteral("YEX"));
  {
    QPainter p(&svg);
    yex::PaintDecorative(p);
  }
  for (const QString& size : args.mid(2)) {
    const int n = size.toInt();
    QImage image(n, n, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
      QPainter p(&image);
      p.scale(n / 32.0, n / 32.0);
      yex::PaintDecorative(p);
    }
    if (!image.save(QStringLiteral("%1/yex-%2.png").arg(out, size))) return 1;
  }
  return 0;
}
