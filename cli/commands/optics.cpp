// Elam's edges and lines, the materials, and the refractive index and mirror
// reflectivity of a material: edges, lines, materials, index, reflectivity.
#include "cli/command.h"
#include "core/requests/optics_report.h"
#include "core/shipped/chantler_tables.h"

namespace yex::cli {
namespace {

const char* kEdgesHelp =
    "usage: yex-cli edges ELEMENT... [--csv | --tsv]\n"
    "The absorption edges of each element with their energies, fluorescence\n"
    "yields and jump ratios: W. T. Elam, B. D. Ravel and J. R. Sieber, Radiat.\n"
    "Phys. Chem. 63, 121 (2002), public domain, as compiled in XrayDB (public\n"
    "domain). One line an edge: element,edge,E_keV,fluorescence_yield,jump_ratio.\n"
    "An edge's name is an energy wherever one is typed: --energy Fe-K (or FeK).\n"
    "Example:\n"
    "  yex-cli edges Fe Cu\n";

const char* kLinesHelp =
    "usage: yex-cli lines ELEMENT... [--edge LEVEL] [--csv | --tsv]\n"
    "The emission lines of each element (Elam, Ravel and Sieber, as for edges),\n"
    "those from one level with --edge K (L1, L2, L3, M...). One line a line:\n"
    "element,line,E_keV,intensity,initial,final; line is Siegbahn's name (Ka1),\n"
    "intensity relative to the other lines from the same initial level.\n"
    "A line's name is an energy wherever one is typed: --energy CuKa1 (Cu-Ka1,\n"
    "Cu-K-L3 by its IUPAC name).\n"
    "Example:\n"
    "  yex-cli lines Cu Mo --edge K\n";

const char* kMaterialsHelp =
    "usage: yex-cli [--data DIR] materials [--csv | --tsv]\n"
    "The materials a --material names (in any case): your own in the data\n"
    "folder's materials.txt first (one a line, NAME | FORMULA | DENSITY in g/cm3;\n"
    "blank lines and lines starting with # aside), then the built-in list\n"
    "(after B. Ravel's, as XrayDB holds it). One line a material:\n"
    "name,formula,density_gcm3.\n";

const char* kIndexHelp =
    "usage: yex-cli [--data DIR] index (ELEMENT | --formula FORMULA | --material NAME | TABLE:PERCENT...)\n"
    "                    [--density G_PER_CM3] (--energy KEV... | --wavelength A... | --energy-grid A:B:N)\n"
    "                    [--csv | --tsv]\n"
    "The refractive index n = 1 - delta + i beta for X-rays from Chantler's f'\n"
    "and f'' (Z = 1-92): delta = r_e lambda^2/2pi sum n_i (Z_i + f'_i), beta =\n"
    "r_e lambda^2/2pi sum n_i f''_i, n_i the atoms of element i per cm3; the\n"
    "critical angle sqrt(2 delta) in mrad, and length_cm = 1/mu, the 1/e length\n"
    "of the intensity by photoabsorption and scattering, as attenuation prints it.\n"
    "The density: --density, else a --material's listed one (yex-cli materials),\n"
    "else for an ELEMENT alone the one listed material that is that element.\n"
    "Energies also as lines or edges: --energy CuKa1,MoKa1,Fe-K.\n"
    "One line an energy: E_keV,delta(NAME),beta(NAME),critical_angle_mrad(NAME),\n"
    "length_cm(NAME).\n"
    "Examples:\n"
    "  yex-cli index Si --energy CuKa1\n"
    "  yex-cli index --material kapton --energy-grid 5:30:6\n"
    "  yex-cli index --formula SiO2 --density 2.2 --energy 8,17.48\n";

const char* kReflectivityHelp =
    "usage: yex-cli [--data DIR] reflectivity (ELEMENT | --formula FORMULA | --material NAME | "
    "TABLE:PERCENT...)\n"
    "                    [--density G_PER_CM3] (--energy KEV | --wavelength A) --angle-grid START:STOP:N\n"
    "                    [--roughness ANGSTROM] [--polarization s|p|unpolarized] [--csv | --tsv]\n"
    "The reflectivity of a flat surface of the material, from vacuum, by\n"
    "Fresnel's formula with n from index, at N grazing angles (mrad, from the\n"
    "surface) evenly from START to STOP. --roughness: an rms roughness in\n"
    "Angstrom, by the Nevot-Croce factor. --polarization: s (the default, the\n"
    "electric field along the surface), p, or unpolarized (the mean of both).\n"
    "One line an angle: angle_mrad,reflectivity(NAME).\n"
    "Examples:\n"
    "  yex-cli reflectivity --material silicon --energy CuKa1 --angle-grid 1:10:10\n"
    "  yex-cli reflectivity Au --energy 17.48 --angle-grid 0.5:6:12 --roughness 5\n";

}  // namespace

int Edges(const std::vector<std::string>& args) {
  return RequestCommand(
      args, kEdgesHelp, EdgesOptions(), ParseEdges,
      [](const XrayListRequest& r, RecordWriter& w) { return WriteEdges(r, Program(), w); });
}

int Lines(const std::vector<std::string>& args) {
  return RequestCommand(
      args, kLinesHelp, LinesOptions(), ParseLines,
      [](const XrayListRequest& r, RecordWriter& w) { return WriteLines(r, Program(), w); });
}

int Materials(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Out(kMaterialsHelp), kOk;
  RecordWriter w = StdoutWriter(ParseMaterials(SplitArguments(args, MaterialsOptions())));
  WriteMaterials(Store(), Program(), w);
  return kOk;
}

int Index(const std::vector<std::string>& args) {
  return RequestCommand(args, kIndexHelp, IndexOptions(), ParseIndex,
                        [](const OpticsRequest& r, RecordWriter& w) {
                          return WriteIndex(r, Store(), BuiltInDispersion(), Program(), w);
                        });
}

int Reflectivity(const std::vector<std::string>& args) {
  return RequestCommand(args, kReflectivityHelp, ReflectivityOptions(), ParseReflectivity,
                        [](const OpticsRequest& r, RecordWriter& w) {
                          return WriteReflectivity(r, Store(), BuiltInDispersion(), Program(), w);
                        });
}

}  // namespace yex::cli
