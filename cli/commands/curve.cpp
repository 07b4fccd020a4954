// curve: F and S of several tables on the user's own points.
#include "cli/command.h"

namespace yex::cli {
namespace {

const char* kCurveHelp =
    "usage: yex-cli [--data DIR] curve TABLE... POINTS [--unit UNIT]\n"
    "                                 [--energy KEV | --wavelength A] [--csv | --tsv] [--display]\n"
    "F and S of each TABLE at every point, exactly as Enter in the main window\n"
    "computes them, one line a point.\n"
    "POINTS, exactly one of:\n"
    "  --grid START:STOP:STEP     START + i*STEP up to STOP (included when on the grid)\n"
    "  --log-grid START:STOP:N    N points evenly spaced in log, both ends included\n"
    "  --from FILE                the first field of each line (split at blanks, tabs,\n"
    "                             commas); blank lines and # lines skipped; - is stdin\n"
    "A grid holds at most 1e12 points, and more than 100000000 only with\n"
    "--large-grid (a slip in STEP would otherwise stream gigabytes).\n"
    "--unit, what the points are:\n"
    "  x      x = sin(theta/2)/lambda in 1/Angstrom (the default)\n"
    "  q      Q = 4 pi x in 1/Angstrom\n"
    "  qnm    Q in 1/nm (10 times Q in 1/Angstrom)\n"
    "  theta  the scattering angle theta in degrees (diffraction's 2-theta); needs\n"
    "         --energy KEV (lambda = 12.398419843320026 / E Angstrom) or --wavelength A\n"
    "Output: # lines (program, data folder, tables, points, unit, energy), a header\n"
    "(the unit's name, x, then F(NAME),S(NAME) a table), then the numbers: CSV, or\n"
    "tab-separated with --tsv; shortest form that reads back to the same double, or\n"
    "with --display the main window's patterns 0.00E+00 / 0.0000E+00.\n"
    "A point outside x = 0.005..1000 gets empty F and S; standard error says how\n"
    "many and the status is 1. A negative x or Q, or theta outside 0..180, is a\n"
    "usage error: status 2, nothing more on standard output.\n"
    "--dcs (needs --energy or --wavelength) adds dcoh(NAME), dincoh(NAME) in barn/sr:\n"
    "  dcoh/dOmega = (r_e^2/2)(1 + cos^2 theta) F^2\n"
    "  dincoh/dOmega = (r_e^2/2) P^2 (P + 1/P - sin^2 theta) S, P = 1/(1 + (E/mc^2)(1 - cos theta))\n"
    "  with cos theta = 1 - 2 lambda^2 x^2; a point no angle reaches (x lambda > 1)\n"
    "  gets them empty and is counted as out of range.\n"
    "Examples:\n"
    "  yex-cli curve O --grid 0.01:2:0.01\n"
    "  yex-cli curve C O Water --log-grid 0.005:1000:500\n"
    "  yex-cli curve Si --unit q --grid 0.5:25:0.05\n"
    "  yex-cli curve Si --unit qnm --log-grid 1:250:200 --tsv\n"
    "  yex-cli curve Apatite --unit theta --energy 17.48 --grid 5:150:0.01\n"
    "  yex-cli curve Cu --unit theta --wavelength 1.5406 --from two_theta.txt\n"
    "  seq 0.1 0.1 2 | yex-cli curve H O --from -\n"
    "  yex-cli curve C --unit theta --energy 59.54 --grid 1:179:1 --dcs\n";

}  // namespace

int Curve(const std::vector<std::string>& args) {
  return RequestCommand(
      args, kCurveHelp, CurveOptions(), ParseCurve,
      [](const CurveRequest& r, RecordWriter& w) { return WriteCurve(r, Tables(), Program(), w); });
}

}  // namespace yex::cli
