// plot: the main window's chart of a table as PNG or SVG.
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cmath>

#ifdef YEX_HAVE_SVG
#include <QSvgGenerator>
#endif

#include "cli/command.h"
#include "core/chart.h"
#include "toolkit/painter_surface.h"

namespace yex::cli {
namespace {

const char* kPlotHelp =
    "usage: yex-cli [--data DIR] plot TABLE OUT.png|OUT.svg [--size PIXELS]\n"
    "The main window's chart of a table, drawn by the same code; PIXELS is the\n"
    "side of the square chart, 525 (the main window's) by default.\n";

}  // namespace

int Plot(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  if (WantsHelp(args)) return Out(kPlotHelp), kOk;
  int size = kChartPixels;
  for (std::size_t at = 0; at < args.size(); ++at) {
    if (args[at] != "--size") continue;
    const std::optional<double> n = at + 1 < args.size() ? NumberText(args[at + 1]) : std::nullopt;
    if (!n || *n < 64 || *n > 8192 || *n != std::floor(*n))
      Fail(ErrorKind::Usage, "--size needs a whole number of pixels from 64 to 8192");
    size = static_cast<int>(*n);
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(at),
               args.begin() + static_cast<std::ptrdiff_t>(at) + 2);
    break;
  }
  if (args.size() != 2) Fail(ErrorKind::Usage, "plot needs TABLE and OUT.png or OUT.svg");
  const QString outPath = QString::fromStdString(args[1]);
  const QString suffix = QFileInfo(outPath).suffix().toLower();
  if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg"))
    Fail(ErrorKind::Usage, args[1] + ": the output must end in .png or .svg");
  const ScatteringTable t = Store().LoadTyped(args[0]);
  RowValues x, f, s;
  for (int i = 1; i <= TableRowCount; ++i) {
    x(i) = t.x[static_cast<std::size_t>(i)];
    f(i) = t.f[static_cast<std::size_t>(i)];
    s(i) = t.s[static_cast<std::size_t>(i)];
  }
  const QSize pixels(size, size);
  SurfaceState state = NewChartState();
  const QColor back(0, 0, 128);
  auto draw = [&](QPainter& p) {
    PainterSurface surface(p, pixels, kChartScale, back, state);
    DrawChart(surface, x, f, s);
  };
  if (suffix == QStringLiteral("png")) {
    QImage image = NewChartImage(pixels);
    {
      QPainter p(&image);
      draw(p);
    }
    if (!image.save(outPath, "PNG")) Fail(ErrorKind::Io, args[1] + ": cannot be written");
  } else {
#ifdef YEX_HAVE_SVG
    QSvgGenerator svg;
    svg.setFileName(outPath);
    svg.setSize(pixels);
    svg.setViewBox(QRect(QPoint(0, 0), pixels));
    svg.setResolution(96);
    svg.setTitle(QString::fromStdString(args[0]));
    QPainter p;
    if (!p.begin(&svg)) Fail(ErrorKind::Io, args[1] + ": cannot be written");
    draw(p);
    p.end();
#else
    Fail(ErrorKind::Usage, "this build has no SVG support");
#endif
  }
  Out("wrote " + args[1] + "\n");
  return kOk;
}

}  // namespace yex::cli
