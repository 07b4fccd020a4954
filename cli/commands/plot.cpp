// plot: the main window's chart of a table as PNG or SVG.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/chart_image.h"
#include "cli/command.h"
#include "core/tables/table_file.h"
#include "core/tables/table_name.h"

namespace yex::cli {
namespace {

const char* kPlotHelp =
    "usage: yex-cli [--data DIR] plot TABLE OUT.png|OUT.svg [--size PIXELS]\n"
    "The main window's chart of a table, drawn by the same code; PIXELS is the\n"
    "side of the square chart, 525 (the main window's) by default. Text is set\n"
    "in Times New Roman or Liberation Serif (YEX_FONT names another font file).\n";

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t = tail;
  return s.size() >= t.size() && AsciiLower(s.substr(s.size() - t.size())) == t;
}

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
  const std::string& out = args[1];
  const bool png = EndsWith(out, ".png");
  if (!png && !EndsWith(out, ".svg")) Fail(ErrorKind::Usage, out + ": the output must end in .png or .svg");
  const ScatteringTable t = Store().LoadTyped(args[0]);
  RowValues x, f, s;
  for (int i = 1; i <= TableRowCount; ++i) {
    x(i) = t.x[static_cast<std::size_t>(i)];
    f(i) = t.f[static_cast<std::size_t>(i)];
    s(i) = t.s[static_cast<std::size_t>(i)];
  }
  const std::string bytes = png ? ChartPng(x, f, s, size) : ChartSvg(x, f, s, size, args[0]);
  errno = 0;
  std::FILE* file = OpenFile(out, "wb");
  bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int error = errno;
  if (file && std::fclose(file) != 0 && written) written = false, error = errno;
  if (!written) {
    std::error_code ignored;
    if (file) std::filesystem::remove(PathOf(out), ignored);
    Fail(ErrorKind::Io, out + ": cannot be written (" + SystemReason(error) + ")");
  }
  Out("wrote " + out + "\n");
  return kOk;
}

}  // namespace yex::cli
