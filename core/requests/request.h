// The requests every front end makes of the core, typed, and their one
// parser from text. A command line and the page's form both become Options
// (option names as yex-cli spells them, operands with an empty name); each
// request is read from Options once, checked once, and every refusal is an
// Error naming what is wrong. The value-level checks (MakeBeam, CountEntry,
// MixtureEntry, ...) are what the Python module calls with its arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/numbers/grids.h"
#include "core/numbers/numeric.h"
#include "core/numbers/units.h"
#include "core/physics/optics.h"
#include "core/tables/synthesis.h"

namespace yex {

// Options and operands in the order given.
struct Options {
  std::vector<std::pair<std::string, std::string>> items;
  bool has(std::string_view option) const;
  // The values of an option (or, for "", the operands) in the order given.
  std::vector<std::string> values(std::string_view option) const;
  std::vector<std::string> operands() const { return values(""); }
  // The value of an option given at most once; Usage when it is repeated.
  std::optional<std::string> single(std::string_view option) const;
  void add(std::string option, std::string value = {}) {
    items.emplace_back(std::move(option), std::move(value));
  }
};

// Options a command knows: `valued` take the next argument, `flags` none.
// "--help"/"-h" are always known. A word starting with "--" followed by a
// digit or "." is an operand (a negative number), as is "-" alone.
struct KnownOptions {
  std::vector<std::string> valued;
  std::vector<std::string> flags;
};
// Usage error for an unknown option or a missing value.
Options SplitArguments(const std::vector<std::string>& args, const KnownOptions& known);
// The same refusal for Options built another way (the page's form): Usage
// for an option the command does not know.
void RefuseUnknownOptions(const Options& o, const KnownOptions& known);
bool WantsHelp(const std::vector<std::string>& args);

// An option's name in messages: "--energy" -> "energy".
std::string OptionName(std::string_view option);

// The number of `option`; Usage "NAME TEXT: not a number" (or too large).
double ParseNumber(std::string_view option, std::string_view text);
// The same, and positive; Usage "NAME TEXT: must be positive".
double ParsePositive(std::string_view option, std::string_view text);
// A value that must be positive and finite, as a front end with numbers
// passes it; Usage "NAME VALUE: must be positive".
double CheckPositive(std::string_view name, double value);

// CSV or TSV, shortest text or the main window's patterns.
struct OutputStyle {
  char separator = ',';
  bool display = false;
};
OutputStyle ParseOutputStyle(const Options& o);  // --csv | --tsv, --display
KnownOptions OutputOptions();

// The photon energy or the wavelength (at most one): λ in Å, and E in keV
// when the energy was given.
struct Beam {
  std::optional<double> energy;  // keV
  std::optional<double> lambda;  // Å
  std::string meaning;           // what a line's or edge's name stands for ("CuKa1 = 8.0463 keV: ...")
  // E from --energy, else hc/λ, else 0.
  double EnergyKeV() const;
};
Beam MakeBeam(std::optional<double> energyKeV, std::optional<double> wavelength);
Beam ParseBeam(const Options& o);  // --energy KEV | --wavelength A

Unit ParseUnit(std::string_view text);  // x | q | qnm | theta

// Where the points of curve and average come from.
struct PointsRequest {
  enum class Kind { Grid, LogGrid, File };
  Kind kind = Kind::Grid;
  LinearGrid grid;
  LogGrid logGrid;
  std::string file;  // File: a path, or "-" for standard input
  Unit unit = Unit::X;
  Beam beam;
  std::string description;  // for the # lines: "grid 0.1:1:0.1", "from points.txt"
  std::string source;       // for messages: "grid 0.1:1:0.1", "points.txt", "standard input"
};
KnownOptions PointOptions();
// --grid | --log-grid | --from, --unit, --energy | --wavelength.
PointsRequest ParsePoints(const Options& o);
LinearGrid ParseLinearGrid(std::string_view option, std::string_view text);
LogGrid ParseLogGrid(std::string_view option, std::string_view text, double maxCount);

// A table as typed and its count: "TABLE:COUNT" (split at the last colon).
struct CountEntry {
  std::string table;
  double count = 0.0;
};
CountEntry ParseCountEntry(std::string_view text);
// A count from a front end with numbers; the message names it as TABLE:COUNT.
CountEntry MakeCountEntry(const std::string& table, double count);
// A formula's elements as table names and counts; Usage naming the token.
// *note, when given, receives the formula's note (a hydrate written with a
// period), or nothing.
std::vector<CountEntry> FormulaEntries(std::string_view formula, std::string* note = nullptr);

// "TABLE:PERCENT[:ATOMIC_WEIGHT]", the one reading of a mixture's entry in
// every command and front end; the atomic weight, when left out, is the
// element's standard one (Usage when TABLE names no element's table, in any
// case). `file` is the table as typed. `elementsOnly`: every TABLE must be
// an element's (attenuation), checked first.
Ingredient ParseMixtureEntry(std::string_view text, bool elementsOnly = false);
Ingredient MakeMixtureEntry(const std::string& table, double percent, std::optional<double> atomicWeight,
                            bool elementsOnly = false);

struct CurveRequest {
  std::vector<std::string> tables;
  PointsRequest points;
  bool dcs = false;
  OutputStyle style;
};
KnownOptions CurveOptions();
CurveRequest ParseCurve(const Options& o);

struct AverageRequest {
  std::vector<CountEntry> composition;
  std::string note;  // the formula's, if any
  PointsRequest points;
  std::optional<int> breitDirac;
  bool anomalous = false;  // --anomalous: f = F + f' + i f'' at the beam's energy
  OutputStyle style;
};
KnownOptions AverageOptions();
// The composition's tables as typed.
std::vector<std::string> TablesOf(const std::vector<CountEntry>& composition);
AverageRequest ParseAverage(const Options& o);
std::optional<int> MakeBreitDirac(std::optional<int> power);

struct CrossSectionRequest {
  struct Column {
    std::string table;
    std::optional<double> molarMass;  // given after a colon
  };
  std::vector<Column> columns;
  std::vector<double> energies;
  std::vector<std::string> energyMeanings;  // of the lines and edges named, in order
  OutputStyle style;
};
KnownOptions CrossSectionOptions();
CrossSectionRequest ParseCrossSection(const Options& o);

// dispersion (NAME... | --formula F) (--energy KEV... | --wavelength A... |
// --energy-grid START:STOP:N)
struct DispersionRequest {
  std::vector<std::string> names;  // element tables, or one formula
  bool formula = false;
  std::vector<double> energies;  // keV
  std::vector<std::string> energyMeanings;
  bool steps = false;  // --steps: where the elements' rows step, no energies
  OutputStyle style;
};
KnownOptions DispersionOptions();
DispersionRequest ParseDispersion(const Options& o);

// attenuation (ELEMENT... | --formula F | --material NAME | TABLE:PERCENT[:ATOMIC_WEIGHT]...)
// ENERGIES [--density G_PER_CM3 [--thickness CM]]
struct AttenuationRequest {
  enum class Kind { Elements, Formula, Mixture, Material } kind = Kind::Elements;
  std::vector<std::string> names;   // element tables; the formula; the entries; the material
  std::vector<Ingredient> mixture;  // a mixture's, as mixture reads them
  std::vector<double> energies;     // keV
  std::vector<std::string> energyMeanings;
  std::optional<double> density, thickness;
  OutputStyle style;
};
KnownOptions AttenuationOptions();
AttenuationRequest ParseAttenuation(const Options& o);

// edges ELEMENT...; lines ELEMENT... [--edge LEVEL]: Elam's tables.
struct XrayListRequest {
  std::vector<std::string> elements;  // symbols, as the tables are named (any case)
  std::optional<std::string> edge;    // lines from this level only
  OutputStyle style;
};
KnownOptions EdgesOptions();
XrayListRequest ParseEdges(const Options& o);
KnownOptions LinesOptions();
XrayListRequest ParseLines(const Options& o);
// materials: the built-in list and the data folder's materials.txt.
KnownOptions MaterialsOptions();
OutputStyle ParseMaterials(const Options& o);

// "s", "p" or "unpolarized"; Usage otherwise.
Polarization ParsePolarization(std::string_view text);
// A grazing angle a mirror takes: above 0, below a right angle (mrad).
inline bool IsGrazingAngle(double mrad) { return mrad > 0 && mrad < 1000 * kPi / 2; }

// index (ELEMENT | --formula F | --material NAME | TABLE:PERCENT...) [--density G] ENERGIES;
// reflectivity the same with one --energy and --angle-grid START:STOP:N
// (mrad) [--roughness ANGSTROM] [--polarization s|p|unpolarized].
struct OpticsRequest {
  enum class Kind { Element, Formula, Mixture, Material } kind = Kind::Element;
  std::string name;                 // the element, the formula or the material as typed
  std::vector<Ingredient> mixture;  // a mixture's entries
  std::vector<double> energies;     // keV
  std::vector<std::string> energyMeanings;
  std::optional<double> density;  // g/cm3; a material's own unless given
  // reflectivity only
  double angleStart = 0, angleStop = 0;  // mrad
  std::int64_t angleCount = 0;
  double roughness = 0;  // Angstrom, rms
  Polarization polarization = Polarization::S;
  OutputStyle style;
};
KnownOptions IndexOptions();
OpticsRequest ParseIndex(const Options& o);
KnownOptions ReflectivityOptions();
OpticsRequest ParseReflectivity(const Options& o);

// lookup TABLE [X...] [--theta DEG]... [--q Q]... [--energy | --wavelength]
struct LookupRequest {
  std::string table;
  struct Value {
    double x;
    std::string shown;  // what an out-of-range message names
  };
  std::vector<Value> values;
};
KnownOptions LookupOptions();
// A scattering angle in degrees: Usage when not a number or outside 0..180.
double ParseTheta(std::string_view option, std::string_view text);
// The x of a value typed in a unit (θ with the beam's λ); Usage naming it.
double ParseXIn(Unit unit, std::string_view text, const Beam& beam);
LookupRequest ParseLookup(const Options& o);

// compound NAME (TABLE:COUNT... | --formula FORMULA); mixture NAME
// TABLE:PERCENT[:ATOMIC_WEIGHT]... Tables as typed.
struct CompoundRequest {
  std::string name;
  std::vector<CountEntry> entries;
  std::string note;  // the formula's, if any
  bool force = false;
};
CompoundRequest ParseCompound(const std::vector<std::string>& args);
struct MixtureRequest {
  std::string name;
  std::vector<Ingredient> entries;
  bool force = false;
};
MixtureRequest ParseMixture(const std::vector<std::string>& args);
// Usage "\"NAME\" cannot be a table name".
void CheckTableName(const std::string& name);

}  // namespace yex
