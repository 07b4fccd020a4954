// plot: the main window's chart of a table as PNG or SVG.
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cmath>

#ifdef YEX_HAVE_SVG
#include <QSvgGenerator>
#endif

#include "cli/command.h"
#include "main_window/chart.h"
#include "toolkit/painter_surface.h"

namespace yex::cli {
namespace {

const char* kPlotHelp =
    "usage: yex-cli [--data DIR] plot TABLE OUT.png|OUT.svg [--size PIXELS]\n"
    "The main window's chart of a table, drawn by the same code; PIXELS is the\n"
    "side of the square chart, 525 (the main window's) by default.\n";

}  // namespace

int Plot(Context& c, const QStringList& argsIn) {
  QStringList args = argsIn;
  if (WantsHelp(args)) return c.out << kPlotHelp, kOk;
  int size = kChartPixels;
  const int at = args.indexOf(QStringLiteral("--size"));
  if (at >= 0) {
    const std::optional<double> n = at + 1 < args.size() ? StrictNumber(args[at + 1]) : std::nullopt;
    if (!n || *n < 64 || *n > 8192 || *n != std::floor(*n))
      return c.Usage(QStringLiteral("--size needs a whole number of pixels from 64 to 8192"));
    size = static_cast<int>(*n);
    args.remove(at, 2);
  }
  if (args.size() != 2) return c.Usage(QStringLiteral("plot needs TABLE and OUT.png or OUT.svg"));
  const QString outPath = args[1];
  const QString suffix = QFileInfo(outPath).suffix().toLower();
  if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg"))
    return c.Usage(QStringLiteral("%1: the output must end in .png or .svg").arg(outPath));
  int status = kOk;
  const std::optional<ScatteringTable> t = LoadTable(c, args[0], &status);
  if (!t) return status;
  Module1::CommitTable(*t);
  const QSize pixels(size, size);
  SurfaceState state = NewChartState();
  const QColor back(0, 0, 128);
  auto draw = [&](QPainter& p) {
    PainterSurface surface(p, pixels, kChartScale, back, state);
    DrawChart(surface, Module1::XData, Module1::FData, Module1::SData);
  };
  if (suffix == QStringLiteral("png")) {
    QImage image = NewChartImage(pixels);
    {
      QPainter p(&image);
      draw(p);
    }
    if (!image.save(outPath, "PNG")) return c.Data(QStringLiteral("%1: cannot be written").arg(outPath));
  } else {
#ifdef YEX_HAVE_SVG
    QSvgGenerator svg;
    svg.setFileName(outPath);
    svg.setSize(pixels);
    svg.setViewBox(QRect(QPoint(0, 0), pixels));
    svg.setResolution(96);
    svg.setTitle(args[0]);
    QPainter p;
    if (!p.begin(&svg)) return c.Data(QStringLiteral("%1: cannot be written").arg(outPath));
    draw(p);
    p.end();
#else
    return c.Data(QStringLiteral("this build has no SVG support"));
#endif
  }
  c.out << "wrote " << outPath << "\n";
  return kOk;
}

}  // namespace yex::cli
