// lookup: F and S at a few points, as Enter in the main window gives them.
#include "main_window/lookup.h"

#include <cmath>

#include "app/scattering_data/numeric.h"
#include "app/scattering_data/table_format.h"
#include "cli/command.h"
#include "science/units.h"

namespace yex::cli {
namespace {

const char* kLookupHelp =
    "usage: yex-cli [--data DIR] lookup TABLE [X...] [--theta DEG]... (--energy KEV | --wavelength A)\n"
    "                                  [--q Q]...\n"
    "F and S at each momentum transfer, computed as Enter in the main window computes\n"
    "them: one line \"x F S\" a value, in the order given.\n"
    "  X              x = sin(theta/2)/lambda in 1/Angstrom, read as the main window reads it\n"
    "  --theta DEG    a scattering angle theta in degrees; needs --energy or --wavelength\n"
    "  --energy KEV   photon energy; lambda = 12.398419843320026 / E Angstrom\n"
    "  --wavelength A lambda in Angstrom\n"
    "  --q Q          momentum transfer Q = 4 pi x in 1/Angstrom\n"
    "A value outside 0.005..1000 prints \"This value is out of range.\" on standard\n"
    "error; the others are still printed and the exit status is 1.\n"
    "For many points at full precision, see 'yex-cli curve --help'.\n";

}  // namespace

int Lookup(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kLookupHelp, kOk;
  int status = kOk;
  const std::optional<Arguments> a =
      ParseArguments(c, args,
                     {{QStringLiteral("--theta"), QStringLiteral("--q"), QStringLiteral("--energy"),
                       QStringLiteral("--wavelength")},
                      {}},
                     &status);
  if (!a) return status;
  if (a->operands().isEmpty()) return c.Usage(QStringLiteral("lookup needs a TABLE"));
  const std::optional<double> lambda = WavelengthOption(c, *a, &status);
  if (status != kOk) return status;

  // Each value: its x, and the text to report when it is out of range.
  struct Value {
    double x;
    QString text;
  };
  QList<Value> values;
  bool table = true;
  for (const auto& [option, v] : a->items) {
    if (option.isEmpty()) {
      if (!table) values.append({NumericValue(v.toStdString()), v});
      table = false;
      continue;
    }
    if (option != QStringLiteral("--theta") && option != QStringLiteral("--q")) continue;
    const std::optional<double> n = StrictNumber(v);
    if (!n) return c.Usage(QStringLiteral("%1 %2: not a number").arg(option, v));
    if (option == QStringLiteral("--q")) {
      values.append({XFromQ(*n), QStringLiteral("Q = ") + v});
    } else {
      if (!lambda) return c.Usage(QStringLiteral("--theta needs --energy or --wavelength"));
      values.append({XFromAngle(*n, *lambda), QStringLiteral("theta = ") + v});
    }
  }
  if (values.isEmpty()) return c.Usage(QStringLiteral("lookup needs at least one value"));

  const std::optional<ScatteringTable> t = LoadTable(c, a->operands()[0], &status);
  if (!t) return status;
  Module1::CommitTable(*t);
  for (const Value& v : values) {
    const LookupResult r = LookupPoint(Module1::XData, Module1::FData, Module1::SData, v.x);
    if (!r.inRange) {
      c.out.flush();
      c.err << v.text << ": This value is out of range.\n";
      c.err.flush();
      status = kDataError;
      continue;
    }
    c.out << Str(FormatX(v.x)) << ' ' << Str(FormatFS(r.f)) << ' ' << Str(FormatFS(r.s)) << "\n";
  }
  return status;
}

}  // namespace yex::cli
