// yex-cli's dispatcher: global options, then the command's own file.
#include "cli/cli.h"
#include "cli/command.h"

namespace yex::cli {
namespace {

const char* kMainHelp =
    "usage: yex-cli [--data DIR] [--table-csv FILE]... COMMAND ...\n"
    "\n"
    "Tables of the atomic form factor F(x) and the incoherent scattering function\n"
    "S(x) against the momentum transfer x = sin(theta/2)/lambda (1/Angstrom).\n"
    "DIR is the data folder, ./YEX-data by default. --table-csv adds a table of\n"
    "your own on any grid, a CSV of x,F,S named by its file (calc.csv is calc).\n"
    "\n"
    "commands:\n"
    "  list\n"
    "      the tables of the data folder\n"
    "  show TABLE [--csv]\n"
    "      the rows of a table\n"
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
    "  dispersion (ELEMENT... | --formula FORMULA) (--energy KEV... | --wavelength A...\n"
    "             | --energy-grid A:B:N)\n"
    "      anomalous dispersion f' and f'' from Chantler's tables (Z = 1-92)\n"
    "  attenuation (ELEMENT... | --formula FORMULA | TABLE:PERCENT...) ENERGIES\n"
    "              [--density G_PER_CM3 [--thickness CM]]\n"
    "      photoabsorption, coherent, incoherent and total cm2/g, mu and transmission\n"
    "  edges ELEMENT...   lines ELEMENT... [--edge LEVEL]\n"
    "      absorption edges and emission lines (Elam, Ravel and Sieber)\n"
    "  materials\n"
    "      the materials --material names, with formulas and densities\n"
    "  index (ELEMENT | --formula F | --material NAME | TABLE:PERCENT...) ENERGIES [--density G]\n"
    "      delta, beta, the critical angle and the attenuation length\n"
    "  reflectivity ... --energy KEV --angle-grid A:B:N [--roughness S] [--polarization P]\n"
    "      the reflectivity of a flat surface (Fresnel; Nevot-Croce roughness)\n"
    "  plot TABLE OUT.png|OUT.svg [--size PIXELS]\n"
    "      the main window's chart of a table\n"
    "\n"
    "\n"
    "F and S: the 1975 compilation shipped as YEX-data (see the data source window).\n"
    "f', f'' and photoabsorption: C. T. Chantler, J. Phys. Chem. Ref. Data 24, 71\n"
    "(1995) and 29, 597 (2000), public domain, as compiled in XrayDB (public domain).\n"
    "Edges, lines and materials: Elam, Ravel and Sieber, Radiat. Phys. Chem. 63,\n"
    "121 (2002), and B. Ravel's list, as XrayDB holds them. An energy may be a\n"
    "line or an edge wherever one is typed: --energy CuKa1, Fe-K.\n"
    "yex-cli COMMAND --help tells more; --version prints the version.\n";

int Dispatch(std::vector<std::string> args) {
  while (!args.empty() && args[0].rfind("--", 0) == 0) {
    const std::string a = args.front();
    args.erase(args.begin());
    if (a == "--help") return Out(kMainHelp), kOk;
    if (a == "--version") return Out(std::string("yex-cli ") + YEX_VERSION + "\n"), kOk;
    if (a == "--table-csv") {
      if (args.empty()) Fail(ErrorKind::Usage, "--table-csv needs a file");
      AddCsvTable(args.front());
      args.erase(args.begin());
      continue;
    }
    if (a == "--data") {
      if (args.empty()) Fail(ErrorKind::Usage, "--data needs a folder");
      SetDataFolder(args.front());
      args.erase(args.begin());
      continue;
    }
    Fail(ErrorKind::Usage, "unknown option " + a);
  }
  if (!args.empty() && args[0] == "-h") return Out(kMainHelp), kOk;
  if (args.empty()) Fail(ErrorKind::Usage, "no command given");
  const std::string command = args.front();
  args.erase(args.begin());
  // The commands that read tables take --table-csv among their own options.
  if (command == "show" || command == "lookup" || command == "curve" || command == "cross-section" ||
      command == "average")
    for (std::size_t k = 0; k < args.size();)
      if (args[k] == "--table-csv" && k + 1 < args.size()) {
        AddCsvTable(args[k + 1]);
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(k),
                   args.begin() + static_cast<std::ptrdiff_t>(k) + 2);
      } else {
        ++k;
      }
  if (command == "list") return List(args);
  if (command == "show") return Show(args);
  if (command == "lookup") return Lookup(args);
  if (command == "compound") return Compound(args);
  if (command == "mixture") return Mixture(args);
  if (command == "plot") return Plot(args);
  if (command == "curve") return Curve(args);
  if (command == "cross-section") return CrossSection(args);
  if (command == "average") return Average(args);
  if (command == "dispersion") return Dispersion(args);
  if (command == "attenuation") return Attenuation(args);
  if (command == "edges") return Edges(args);
  if (command == "lines") return Lines(args);
  if (command == "materials") return Materials(args);
  if (command == "index") return Index(args);
  if (command == "reflectivity") return Reflectivity(args);
  if (command == "help") return Out(kMainHelp), kOk;
  Fail(ErrorKind::Usage, "unknown command " + command);
}

}  // namespace

// The one place an error becomes a message and an exit status.
int Run(const std::vector<std::string>& args) {
  try {
    return Dispatch(args);
  } catch (const Error& e) {
    Err(std::string("yex-cli: ") + e.what() +
        (e.kind() == ErrorKind::Exists ? "; give --force to replace it" : "") + "\n");
    if (e.kind() != ErrorKind::Usage) return kDataError;
    Err("Try 'yex-cli --help'.\n");
    return kUsage;
  }
}

}  // namespace yex::cli
