// dispersion and attenuation: Chantler's f', f'' and photoabsorption, and
// what a beam loses in a material.
#include "cli/command.h"
#include "core/shipped/chantler_tables.h"

namespace yex::cli {
namespace {

const char* kDispersionHelp =
    "usage: yex-cli dispersion (ELEMENT... | --formula FORMULA)\n"
    "                          (--energy KEV [--energy KEV ...] | --wavelength A [...]\n"
    "                           | --energy-grid START:STOP:N) [--csv | --tsv]\n"
    "       yex-cli dispersion ELEMENT... --steps\n"
    "The anomalous scattering factors f' and f'' (electrons) at photon energies, so\n"
    "that the scattering factor is F(x) + f' + i f''. From C. T. Chantler, J. Phys.\n"
    "Chem. Ref. Data 24, 71 (1995) and 29, 597 (2000) (NIST, public domain), as\n"
    "compiled in XrayDB (public domain), Z = 1 to 92; elements 93-98 have F and S\n"
    "but no such data and are refused. At a tabulated energy the tabulated values;\n"
    "between two, f'' log-log linear and f' linear in log E, so every value lies\n"
    "within its two rows; where the rows themselves step (mu rising between two\n"
    "rows while both neighbouring intervals fall; --steps lists them as\n"
    "element,E_keV,mu_below_cm2g,mu_above_cm2g) each side keeps its own row.\n"
    "--energy-grid spaces N energies evenly in log E (6.9:7.3:41 gives 6.9,\n"
    "6.9097, ...). An energy outside the tables is refused before any line. A formula's\n"
    "values are per formula unit, the sum over its atoms. An energy outside the\n"
    "tables is refused with the range.\n"
    "One line an energy: E_keV, then fp(NAME), fdp(NAME) for each element or the\n"
    "formula. ELEMENTs are table names (any case); a --formula is read\n"
    "case-sensitively (CO is carbon monoxide, Co cobalt). --energy and\n"
    "--wavelength also take lists (--energy 7.1,8.04778).\n"
    "Examples:\n"
    "  yex-cli dispersion Fe Cu --energy 8.04778\n"
    "  yex-cli dispersion --formula Fe2O3 --energy-grid 6.9:7.3:41\n";

const char* kAttenuationHelp =
    "usage: yex-cli [--data DIR] attenuation (ELEMENT... | --formula FORMULA | "
    "TABLE:PERCENT[:ATOMIC_WEIGHT]...)\n"
    "                          (--energy KEV [...] | --wavelength A [...] | --energy-grid START:STOP:N)\n"
    "                          [--density G_PER_CM3 [--thickness CM]] [--csv | --tsv]\n"
    "How much a material attenuates, in cm2/g: photo, the photoabsorption from\n"
    "C. T. Chantler's tables (NIST, public domain, as compiled in XrayDB, public\n"
    "domain; Z = 1-92), log-log between tabulated energies, each side of a step\n"
    "of the rows its own row; coh and incoh, YEX's own coherent and incoherent cross sections of the\n"
    "element tables (those cross-section prints, from the 1975 compilation); and\n"
    "their sum, total. A formula (read case-sensitively: CO is carbon monoxide,\n"
    "Co cobalt) or a mixture by weight (as mixture takes it; its constituents\n"
    "elements, in any case) by the mixture rule: mass fractions times each\n"
    "element's values; an atomic weight given changes the atoms a gram holds.\n"
    "Energies: --energy repeated or as a list (--energy 8,17.5,59.3), the same\n"
    "for --wavelength, in the order typed. Without a data folder the built-in\n"
    "element tables serve. With --density also mu_per_cm (1/cm) and length_cm, the\n"
    "attenuation length; with --thickness the transmission exp(-mu t).\n"
    "--energy-grid spaces N energies evenly in log E.\n"
    "One line an energy: E_keV, then photo_cm2g(NAME), coh_cm2g(NAME),\n"
    "incoh_cm2g(NAME), total_cm2g(NAME) for each element, the formula or the\n"
    "mixture.\n"
    "Examples:\n"
    "  yex-cli attenuation Fe Pb --energy 17.48 --energy 59.54\n"
    "  yex-cli attenuation --formula H2O --density 1 --thickness 0.1 --energy-grid 10:100:10\n"
    "  yex-cli attenuation H:11.19 O:88.81 --energy 20\n";

}  // namespace

int Attenuation(const std::vector<std::string>& args) {
  return RequestCommand(args, kAttenuationHelp, AttenuationOptions(), ParseAttenuation,
                        [](const AttenuationRequest& r, RecordWriter& w) {
                          return WriteAttenuation(r, Store(), BuiltInDispersion(), Program(), w);
                        });
}

int Dispersion(const std::vector<std::string>& args) {
  return RequestCommand(args, kDispersionHelp, DispersionOptions(), ParseDispersion,
                        [](const DispersionRequest& r, RecordWriter& w) {
                          return WriteDispersion(r, BuiltInDispersion(), Program(), w);
                        });
}

}  // namespace yex::cli
