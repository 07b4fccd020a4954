// yex-cli's dispatcher: global options, then the command's own file.
#include <QDir>

#include "app/scattering_data/table_file.h"
#include "cli/cli.h"
#include "cli/command.h"

namespace yex::cli {
namespace {

const char* kMainHelp =
    "usage: yex-cli [--data DIR] COMMAND ...\n"
    "\n"
    "Tables of the atomic form factor F(x) and the incoherent scattering function\n"
    "S(x) against the momentum transfer x = sin(theta/2)/lambda (1/Angstrom).\n"
    "DIR is the data folder, ./YEX-data by default.\n"
    "\n"
    "commands:\n"
    "  list\n"
    "      the tables of the data folder\n"
    "  show TABLE [--csv]\n"
    "      the 45 rows of a table\n"
    "  lookup TABLE [X...] [--theta DEG]... [--q Q]... [--energy KEV | --wavelength A]\n"
    "      F and S at a few points, as the main window shows them\n"
    "  compound NAME (TABLE:COUNT... | --formula FORMULA)\n"
    "      a compound from atoms per formula unit or a formula (H2O, CuSO4*5H2O)\n"
    "  mixture NAME TABLE:PERCENT[:ATOMIC_WEIGHT]...\n"
    "      a mixture by weight\n"
    "  curve TABLE... (--grid A:B:STEP | --log-grid A:B:N | --from FILE) [--unit U] [--dcs]\n"
    "      F and S of tables on your own points in x, q, qnm or theta, as CSV\n"
    "  cross-section TABLE[:MOLAR_MASS]... (--energy KEV... | --energy-grid A:B:N)\n"
    "      coherent and incoherent scattering cross sections\n"
    "  average (--formula FORMULA | TABLE:COUNT...) POINTS [--breit-dirac K]\n"
    "      <f^2>, <f>^2 and <S> of a composition for total scattering\n"
    "  plot TABLE OUT.png|OUT.svg [--size PIXELS]\n"
    "      the main window's chart of a table\n"
    "\n"
    "yex-cli COMMAND --help tells more; --version prints the version.\n";

}  // namespace

int Run(const QStringList& argsIn, QTextStream& out, QTextStream& err) {
  Context c(out, err);
  QStringList args = argsIn;
  while (!args.isEmpty() && args[0].startsWith(QStringLiteral("--"))) {
    const QString a = args.takeFirst();
    if (a == QStringLiteral("--help")) return out << kMainHelp, kOk;
    if (a == QStringLiteral("--version")) return out << "yex-cli " << YEX_VERSION << "\n", kOk;
    if (a == QStringLiteral("--data")) {
      if (args.isEmpty()) return c.Usage(QStringLiteral("--data needs a folder"));
      SetDataFolder(QDir::cleanPath(args.takeFirst()));
      continue;
    }
    return c.Usage(QStringLiteral("unknown option %1").arg(a));
  }
  if (!args.isEmpty() && args[0] == QStringLiteral("-h")) return out << kMainHelp, kOk;
  if (args.isEmpty()) return c.Usage(QStringLiteral("no command given"));
  const QString command = args.takeFirst();
  if (command == QStringLiteral("list")) return List(c, args);
  if (command == QStringLiteral("show")) return Show(c, args);
  if (command == QStringLiteral("lookup")) return Lookup(c, args);
  if (command == QStringLiteral("compound")) return Compound(c, args);
  if (command == QStringLiteral("mixture")) return Mixture(c, args);
  if (command == QStringLiteral("plot")) return Plot(c, args);
  if (command == QStringLiteral("curve")) return Curve(c, args);
  if (command == QStringLiteral("cross-section")) return CrossSection(c, args);
  if (command == QStringLiteral("average")) return Average(c, args);
  if (command == QStringLiteral("help")) return out << kMainHelp, kOk;
  return c.Usage(QStringLiteral("unknown command %1").arg(command));
}

}  // namespace yex::cli
