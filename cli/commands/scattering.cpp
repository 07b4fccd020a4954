// cross-section and average: from F and S to what is measured.
#include "cli/command.h"
#include "core/shipped/chantler_tables.h"

namespace yex::cli {
namespace {

const char* kCrossSectionHelp =
    "usage: yex-cli [--data DIR] cross-section TABLE[:MOLAR_MASS]...\n"
    "                                  (--energy KEV [--energy KEV ...] | --energy-grid START:STOP:N)\n"
    "                                  [--csv | --tsv] [--display]\n"
    "Coherent (Rayleigh) and incoherent (Compton) scattering cross sections of each\n"
    "table, in barn per atom (element), formula unit (compound) or amount holding\n"
    "one atom of the first constituent (mixture), unpolarised:\n"
    "  sigma = 2 pi * integral over cos theta from -1 to 1 of dsigma/dOmega, with\n"
    "  dcoh/dOmega = (r_e^2/2)(1 + cos^2 theta) F(x)^2 and\n"
    "  dincoh/dOmega = (r_e^2/2) P^2 (P + 1/P - sin^2 theta) S(x),\n"
    "  x = sin(theta/2)/lambda, P = 1/(1 + (E/mc^2)(1 - cos theta)),\n"
    "F and S interpolated as the main window does (linear in x^2 below row 2).\n"
    "Where a molar mass is known (built in for an element table named by its\n"
    "symbol, or given after a colon in g/mol), also cm2/g.\n"
    "One line an energy: E_keV, then coh(NAME), incoh(NAME)[, coh_cm2g(NAME),\n"
    "incoh_cm2g(NAME)] a table, written as it is computed. --energy takes a list\n"
    "too (--energy 8,17.5); --energy-grid spaces N\n"
    "energies evenly in log (N at most 1000000). Values are per atom of an\n"
    "element's table, per amount the table describes for another.\n"
    "Examples:\n"
    "  yex-cli cross-section C Si Pb --energy 17.48 --energy 59.54\n"
    "  yex-cli cross-section Water:18.015 --energy-grid 10:150:15\n";

const char* kAverageHelp =
    "usage: yex-cli [--data DIR] average (--formula FORMULA | TABLE:COUNT...) POINTS\n"
    "                                  [--unit UNIT] [--energy KEV | --wavelength A]\n"
    "                                  [--breit-dirac K] [--anomalous] [--csv | --tsv] [--display]\n"
    "Composition averages per atom for total scattering (PDF) work, from the\n"
    "element tables, with c_k = n_k / sum n:\n"
    "  f2_mean = sum c_k F_k^2,  f_mean_sq = (sum c_k F_k)^2,  S_mean = sum c_k S_k\n"
    "and with --breit-dirac K (2 for integrating, 3 for energy-dispersive detectors;\n"
    "needs --energy or --wavelength) S_mean_BD = S_mean * P^K,\n"
    "P = 1/(1 + (E/mc^2)(1 - cos theta)). POINTS and --unit as for curve; a point\n"
    "outside x = 0.005..1000 gets empty fields and the status is 1. A table that is\n"
    "no element's counts as one scattering unit (a note says so); its formula gives\n"
    "averages per atom. With --anomalous (and --energy or --wavelength) each\n"
    "element's f = F(x) + f' + i f'', f' and f'' from C. T. Chantler's tables (NIST,\n"
    "public domain, as compiled in XrayDB; Z = 1-92): f2_mean = sum c_k |f_k|^2,\n"
    "f_mean_sq = |sum c_k f_k|^2; S is unchanged.\n"
    "Examples:\n"
    "  yex-cli average --formula SiO2 --unit q --grid 0.5:30:0.05\n"
    "  yex-cli average Si:1 O:2 --unit theta --energy 61.3 --grid 1:40:0.01 --breit-dirac 2\n";

}  // namespace

int CrossSection(const std::vector<std::string>& args) {
  return RequestCommand(args, kCrossSectionHelp, CrossSectionOptions(), ParseCrossSection,
                        [](const CrossSectionRequest& r, RecordWriter& w) {
                          return WriteCrossSection(r, Tables(), Program(), w);
                        });
}

int Average(const std::vector<std::string>& args) {
  const auto parse = [](const Options& o) {
    AverageRequest r = ParseAverage(o);
    Note(r.note);  // the formula's, before any line
    return r;
  };
  return RequestCommand(args, kAverageHelp, AverageOptions(), parse,
                        [](const AverageRequest& r, RecordWriter& w) {
                          return WriteAverage(r, Tables(), BuiltInDispersion(), Program(), w);
                        });
}

}  // namespace yex::cli
