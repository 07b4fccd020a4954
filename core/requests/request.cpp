#include "core/requests/request.h"

#include <algorithm>
#include <cmath>

#include "core/elements/elements.h"
#include "core/elements/formula.h"
#include "core/elements/xray_data.h"
#include "core/numbers/numeric.h"
#include "core/tables/table_name.h"

namespace yex {
namespace {

[[noreturn]] void Usage(const std::string& message) { Fail(ErrorKind::Usage, message); }

bool Contains(const std::vector<std::string>& list, std::string_view s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

bool LooksLikeOption(std::string_view a) {
  if (a == "-h") return true;
  return a.size() > 2 && a.substr(0, 2) == "--" && !(a[2] >= '0' && a[2] <= '9') && a[2] != '.';
}

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t c; (c = text.find(sep, start)) != std::string_view::npos; start = c + 1)
    parts.push_back(text.substr(start, c - start));
  parts.push_back(text.substr(start));
  return parts;
}

// "A:B:C" as three numbers, or nothing.
std::optional<std::array<double, 3>> Triple(std::string_view text) {
  const std::vector<std::string_view> parts = Split(text, ':');
  if (parts.size() != 3) return std::nullopt;
  std::array<double, 3> v{};
  for (int i = 0; i < 3; ++i) {
    const std::optional<double> n = NumberText(parts[static_cast<std::size_t>(i)]);
    if (!n) return std::nullopt;
    v[static_cast<std::size_t>(i)] = *n;
  }
  return v;
}

std::string Text(std::string_view v) { return std::string(v); }

void NoStyleClash(const Options& o) {
  if (o.has("--csv") && o.has("--tsv")) Usage("give one of --csv and --tsv");
}

}  // namespace

bool Options::has(std::string_view option) const {
  for (const auto& item : items)
    if (item.first == option) return true;
  return false;
}

std::vector<std::string> Options::values(std::string_view option) const {
  std::vector<std::string> out;
  for (const auto& item : items)
    if (item.first == option) out.push_back(item.second);
  return out;
}

std::optional<std::string> Options::single(std::string_view option) const {
  const std::vector<std::string> v = values(option);
  if (v.size() > 1) Usage("give " + Text(option) + " once");
  if (v.empty()) return std::nullopt;
  return v[0];
}

namespace {

[[noreturn]] void UnknownOption(const std::string& a) {
  if (a == "--data") Usage("unknown option --data (give --data DIR before the command)");
  if (a == "--display")
    Usage(
        "--display: the window's display patterns are for curve, cross-section and average; this command "
        "prints full precision only");
  Usage("unknown option " + a);
}

}  // namespace

void RefuseUnknownOptions(const Options& o, const KnownOptions& known) {
  for (const auto& item : o.items)
    if (!item.first.empty() && !Contains(known.valued, item.first) && !Contains(known.flags, item.first))
      UnknownOption(item.first);
}

Options SplitArguments(const std::vector<std::string>& args, const KnownOptions& known) {
  Options parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!LooksLikeOption(a)) {
      parsed.add("", a);
    } else if (Contains(known.valued, a)) {
      if (i + 1 >= args.size()) Usage(a + " needs a value");
      parsed.add(a, args[++i]);
    } else if (Contains(known.flags, a) || a == "--help" || a == "-h") {
      parsed.add(a);
    } else {
      UnknownOption(a);
    }
  }
  return parsed;
}

bool WantsHelp(const std::vector<std::string>& args) {
  return Contains(args, "--help") || Contains(args, "-h");
}

std::string OptionName(std::string_view option) {
  return Text(option.substr(0, 2) == "--" ? option.substr(2) : option);
}

double ParseNumber(std::string_view option, std::string_view text) {
  const std::optional<double> n = NumberText(text);
  if (!n) Usage(OptionName(option) + " " + Text(text) + ": " + NumberProblem(text));
  return *n;
}

double ParsePositive(std::string_view option, std::string_view text) {
  const double n = ParseNumber(option, text);
  if (!(n > 0)) Usage(OptionName(option) + " " + Text(text) + ": must be positive");
  return n;
}

double CheckPositive(std::string_view name, double value) {
  if (!(value > 0) || !std::isfinite(value))
    Usage(OptionName(name) + " " + ShortestText(value) + ": must be positive");
  return value;
}

KnownOptions OutputOptions() { return {{}, {"--csv", "--tsv", "--display"}}; }

OutputStyle ParseOutputStyle(const Options& o) {
  NoStyleClash(o);
  return {o.has("--tsv") ? '\t' : ',', o.has("--display")};
}

double Beam::EnergyKeV() const { return energy ? *energy : lambda ? kHcKeVAngstrom / *lambda : 0.0; }

Beam MakeBeam(std::optional<double> energyKeV, std::optional<double> wavelength) {
  if (energyKeV && wavelength) Usage("give one of energy and wavelength, once");
  Beam b;
  if (energyKeV) {
    b.energy = CheckPositive("energy", *energyKeV);
    b.lambda = WavelengthFromEnergy(*energyKeV);
  } else if (wavelength) {
    b.lambda = CheckPositive("wavelength", *wavelength);
  }
  return b;
}

// An energy as typed: a number of keV, or a line's or edge's name.
static double ParseEnergy(std::string_view option, std::string_view text,
                          std::vector<std::string>* meanings) {
  if (option == "--energy")
    if (const std::optional<NamedEnergy> named = FindNamedEnergy(text)) {
      meanings->push_back(named->meaning);
      return named->keV;
    }
  return ParsePositive(option, text);
}

Beam ParseBeam(const Options& o) {
  const std::vector<std::string> e = o.values("--energy"), w = o.values("--wavelength");
  if (e.size() + w.size() > 1) Usage("give one of energy and wavelength, once");
  if (!e.empty()) {
    std::vector<std::string> meaning;
    Beam b = MakeBeam(ParseEnergy("--energy", e[0], &meaning), std::nullopt);
    if (!meaning.empty()) b.meaning = meaning[0];
    return b;
  }
  if (!w.empty()) return MakeBeam(std::nullopt, ParsePositive("--wavelength", w[0]));
  return {};
}

Unit ParseUnit(std::string_view text) {
  for (Unit u : {Unit::X, Unit::Q, Unit::Qnm, Unit::Theta})
    if (text == UnitName(u)) return u;
  Usage("unit " + Text(text) + ": expected x, q, qnm or theta");
}

// 1000000, 1e+12: a cap as messages and --help write it.
static std::string CountText(double n) {
  return n < 1e9 ? std::to_string(static_cast<std::int64_t>(n)) : ShortestText(n);
}

static std::string LogGridProblem(GridProblem problem, double maxCount, const char* ends) {
  if (problem == GridProblem::NotPositive) return std::string(": ") + ends + " must be positive";
  if (problem == GridProblem::TooManyPoints) return ": N may be at most " + CountText(maxCount);
  return ": N must be a whole number of at least 2";
}

LinearGrid ParseLinearGrid(std::string_view option, std::string_view text) {
  const std::string named = OptionName(option) + " " + Text(text);
  const auto v = Triple(text);
  if (!v) Usage(named + ": expected START:STOP:STEP");
  GridProblem problem = GridProblem::None;
  std::optional<LinearGrid> g = MakeLinearGrid((*v)[0], (*v)[1], (*v)[2], &problem);
  if (!g)
    Usage(named + (problem == GridProblem::StepNotPositive ? ": STEP must be positive"
                   : problem == GridProblem::TooManyPoints
                       ? ": more than " + CountText(kMaxPoints) + " points"
                       : std::string(": STOP lies below START")));
  const std::vector<std::string_view> parts = Split(text, ':');
  g->UseDecimals(parts[0], parts[2]);
  return *g;
}

LogGrid ParseLogGrid(std::string_view option, std::string_view text, double maxCount) {
  const std::string named = OptionName(option) + " " + Text(text);
  const auto v = Triple(text);
  if (!v) Usage(named + ": expected START:STOP:N");
  GridProblem problem = GridProblem::None;
  const std::optional<LogGrid> g = MakeLogGrid((*v)[0], (*v)[1], (*v)[2], maxCount, &problem);
  if (!g) Usage(named + LogGridProblem(problem, maxCount, "START and STOP"));
  return *g;
}

KnownOptions PointOptions() {
  return {{"--grid", "--log-grid", "--from", "--unit", "--energy", "--wavelength"},
          {"--csv", "--tsv", "--display", "--large-grid"}};
}

PointsRequest ParsePoints(const Options& o) {
  PointsRequest p;
  if (const std::optional<std::string> u = o.single("--unit")) p.unit = ParseUnit(*u);
  p.beam = ParseBeam(o);
  if (p.unit == Unit::Theta && !p.beam.lambda) Usage("theta needs an energy or a wavelength");
  const std::vector<std::string> grids = o.values("--grid"), logs = o.values("--log-grid"),
                                 files = o.values("--from");
  const std::size_t sources = grids.size() + logs.size() + files.size();
  if (sources == 0) Usage("no points: give --grid, --log-grid or --from");
  if (sources > 1) Usage("give one of --grid, --log-grid and --from, once");
  // Values no angle or momentum transfer can take, and grids too large to
  // stream unasked.
  const auto angles = [&](const std::string& option, const std::string& text, double first, double last,
                          std::int64_t count) {
    if (p.unit == Unit::Theta && !(ThetaInRange(first) && ThetaInRange(last)))
      Usage(OptionName(option) + " " + text + ": " + kAngleRange);
    if (p.unit != Unit::Theta && first < 0) Usage(OptionName(option) + " " + text + ": " + kMomentumRange);
    if (static_cast<double>(count) > kLargeGrid && !o.has("--large-grid"))
      Usage(OptionName(option) + " " + text + ": " + std::to_string(count) + " points, more than " +
            CountText(kLargeGrid) + "; give --large-grid to stream them all");
  };
  if (!grids.empty()) {
    p.kind = PointsRequest::Kind::Grid;
    p.grid = ParseLinearGrid("--grid", grids[0]);
    angles("--grid", grids[0], p.grid[0], p.grid[p.grid.count - 1], p.grid.count);
    p.description = p.source = "grid " + grids[0];
  } else if (!logs.empty()) {
    p.kind = PointsRequest::Kind::LogGrid;
    p.logGrid = ParseLogGrid("--log-grid", logs[0], kMaxPoints);
    angles("--log-grid", logs[0], p.logGrid.start, p.logGrid.stop, p.logGrid.count);
    p.description = p.source = "log grid " + logs[0];
  } else {
    p.kind = PointsRequest::Kind::File;
    p.file = files[0];
    p.source = files[0] == "-" ? std::string("standard input") : files[0];
    p.description = "from " + p.source;
  }
  return p;
}

CountEntry MakeCountEntry(const std::string& table, double count) {
  if (!(count > 0) || !std::isfinite(count))
    Usage(table + ":" + ShortestText(count) + ": the count must be positive");
  return {table, count};
}

CountEntry ParseCountEntry(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  const std::optional<double> n =
      colon == std::string_view::npos || colon == 0 ? std::nullopt : NumberText(text.substr(colon + 1));
  if (!n) Usage(Text(text) + ": expected TABLE:COUNT");
  if (!(*n > 0)) Usage(Text(text) + ": the count must be positive");
  return {Text(text.substr(0, colon)), *n};
}

std::vector<CountEntry> FormulaEntries(std::string_view formula, std::string* note) {
  const FormulaResult f = ParseFormula(formula);
  if (!f.ok) Usage("formula " + Text(formula) + ": " + f.error);
  if (note) *note = f.note.empty() ? std::string() : "formula " + Text(formula) + ": " + f.note;
  std::vector<CountEntry> out;
  for (const FormulaPart& p : f.parts) out.push_back({p.symbol, p.count});
  return out;
}

Ingredient MakeMixtureEntry(const std::string& table, double percent, std::optional<double> atomicWeight,
                            bool elementsOnly) {
  if (elementsOnly && !ElementOfTableName(table))
    Usage(table + ": a mixture's constituents must be elements here (Chantler's data are an element's)");
  Ingredient e{table, percent, 0.0};
  const std::string shown =
      table + ":" + ShortestText(percent) + (atomicWeight ? ":" + ShortestText(*atomicWeight) : "");
  // A weight of 0 would make the constituent (or, first, every other one)
  // count for nothing in a table that looks like a mixture.
  if (!(percent > 0) || !std::isfinite(percent)) Usage(shown + ": the weight percent must be positive");
  if (atomicWeight && (!(*atomicWeight > 0) || !std::isfinite(*atomicWeight)))
    Usage(shown + ": the atomic weight must be positive");
  if (atomicWeight) {
    e.atomicWeight = *atomicWeight;
  } else {
    // An element's table answers to its symbol in any case, here as in
    // every lookup.
    const int z = ElementOfTableName(table);
    if (z == 0)
      Usage(shown + ": give the atomic weight, " + TableFileName(table) + " is not an element table");
    e.atomicWeight = StandardAtomicWeight(z);
  }
  return e;
}

Ingredient ParseMixtureEntry(std::string_view text, bool elementsOnly) {
  const std::vector<std::string_view> parts = Split(text, ':');
  const std::optional<double> w = parts.size() >= 2 ? NumberText(parts[1]) : std::nullopt;
  if (parts.size() < 2 || parts.size() > 3 || parts[0].empty() || !w)
    Usage(Text(text) + ": expected TABLE:PERCENT[:ATOMIC_WEIGHT]");
  std::optional<double> a;
  if (parts.size() == 3) {
    a = NumberText(parts[2]);
    if (!a) Usage(Text(text) + ": the atomic weight is not a number");
  }
  return MakeMixtureEntry(Text(parts[0]), *w, a, elementsOnly);
}

KnownOptions CurveOptions() {
  KnownOptions s = PointOptions();
  s.flags.push_back("--dcs");
  return s;
}

CurveRequest ParseCurve(const Options& o) {
  NoStyleClash(o);
  CurveRequest r;
  r.tables = o.operands();
  if (r.tables.empty()) Usage("curve needs at least one TABLE");
  r.points = ParsePoints(o);
  r.dcs = o.has("--dcs");
  if (r.dcs && !r.points.beam.lambda) Usage("dcs needs an energy or a wavelength");
  r.style = ParseOutputStyle(o);
  return r;
}

KnownOptions AverageOptions() {
  KnownOptions s = PointOptions();
  s.valued.push_back("--formula");
  s.valued.push_back("--breit-dirac");
  s.flags.push_back("--anomalous");
  return s;
}

std::optional<int> MakeBreitDirac(std::optional<int> power) {
  if (power && *power != 2 && *power != 3)
    Usage("breit-dirac takes 2 (integrating) or 3 (energy-dispersive), once");
  return power;
}

std::vector<std::string> TablesOf(const std::vector<CountEntry>& composition) {
  std::vector<std::string> out;
  for (const CountEntry& e : composition) out.push_back(e.table);
  return out;
}

AverageRequest ParseAverage(const Options& o) {
  NoStyleClash(o);
  AverageRequest r;
  const std::vector<std::string> formulas = o.values("--formula");
  if (formulas.size() > 1 || formulas.empty() == o.operands().empty())
    Usage("give --formula FORMULA or TABLE:COUNT...");
  if (!formulas.empty())
    r.composition = FormulaEntries(formulas[0], &r.note);
  else
    for (const std::string& operand : o.operands()) r.composition.push_back(ParseCountEntry(operand));
  const std::vector<std::string> bd = o.values("--breit-dirac");
  if (!bd.empty()) {
    if (bd.size() > 1 || (bd[0] != "2" && bd[0] != "3"))
      Usage("breit-dirac takes 2 (integrating) or 3 (energy-dispersive), once");
    r.breitDirac = bd[0] == "2" ? 2 : 3;
  }
  r.points = ParsePoints(o);
  if (r.breitDirac && !r.points.beam.lambda) Usage("the Breit-Dirac factor needs an energy or a wavelength");
  r.anomalous = o.has("--anomalous");
  if (r.anomalous && !r.points.beam.lambda) Usage("--anomalous needs --energy or --wavelength");
  r.style = ParseOutputStyle(o);
  return r;
}

namespace {

// --energy and --wavelength, repeated or as comma-separated lists, in the
// order typed, or one --energy-grid: keV. An operand that is a number is an
// energy typed after a blank, refused saying how to give several.
std::vector<double> ParseEnergies(const Options& o, const char* usage, std::vector<std::string>* meanings) {
  for (const std::string& operand : o.operands())
    if (NumberText(operand))
      Usage(operand +
            ": a number where a TABLE belongs; give several energies as --energy 8,17.5 or "
            "--energy 8 --energy 17.5");
  std::vector<double> energies;
  const std::vector<std::string> given = o.values("--energy"), lambdas = o.values("--wavelength"),
                                 grids = o.values("--energy-grid");
  if ((given.empty() && lambdas.empty()) == grids.empty() || grids.size() > 1) Usage(usage);
  for (const auto& [option, value] : o.items) {
    if (option != "--energy" && option != "--wavelength") continue;
    for (const std::string_view item : Split(value, ',')) {
      const double v = ParseEnergy(option, item, meanings);
      energies.push_back(option == "--energy" ? v : kHcKeVAngstrom / v);
    }
  }
  if (!grids.empty()) {
    const auto v = Triple(grids[0]);
    if (!v) Usage("energy-grid " + grids[0] + ": expected START:STOP:N");
    GridProblem problem = GridProblem::None;
    const std::optional<LogGrid> g = MakeLogGrid((*v)[0], (*v)[1], (*v)[2], kMaxEnergies, &problem);
    if (!g) Usage("energy-grid " + grids[0] + LogGridProblem(problem, kMaxEnergies, "energies"));
    for (std::int64_t i = 0; i < g->count; ++i) energies.push_back((*g)[i]);
  }
  return energies;
}

}  // namespace

KnownOptions CrossSectionOptions() {
  return {{"--energy", "--energy-grid"}, {"--csv", "--tsv", "--display"}};
}

CrossSectionRequest ParseCrossSection(const Options& o) {
  NoStyleClash(o);
  CrossSectionRequest r;
  if (o.operands().empty()) Usage("cross-section needs at least one TABLE");
  // cross-section knows no --wavelength: its energies are typed in keV.
  r.energies = ParseEnergies(o, "give --energy (repeated as needed) or one --energy-grid", &r.energyMeanings);
  for (const std::string& operand : o.operands()) {
    CrossSectionRequest::Column c{operand, std::nullopt};
    if (const std::size_t colon = operand.rfind(':'); colon != std::string::npos) {
      c.table = operand.substr(0, colon);
      c.molarMass = colon == 0 ? std::nullopt : NumberText(std::string_view(operand).substr(colon + 1));
      if (!c.molarMass || !(*c.molarMass > 0))
        Usage(operand + ": expected TABLE or TABLE:MOLAR_MASS (g/mol, positive)");
    }
    r.columns.push_back(c);
  }
  r.style = ParseOutputStyle(o);
  return r;
}

const char* const kEnergiesUsage = "give --energy or --wavelength (repeated as needed) or one --energy-grid";

KnownOptions DispersionOptions() {
  return {{"--energy", "--wavelength", "--energy-grid", "--formula"}, {"--csv", "--tsv", "--steps"}};
}

DispersionRequest ParseDispersion(const Options& o) {
  NoStyleClash(o);
  DispersionRequest r;
  const std::vector<std::string> formulas = o.values("--formula");
  if (formulas.size() > 1 || (formulas.empty() == o.operands().empty()))
    Usage("dispersion needs element TABLEs or one --formula");
  r.formula = !formulas.empty();
  r.names = r.formula ? formulas : o.operands();
  r.steps = o.has("--steps");
  if (r.steps) {
    if (r.formula || o.has("--energy") || o.has("--wavelength") || o.has("--energy-grid"))
      Usage("--steps takes ELEMENTs alone (no formula, no energies)");
    r.style = ParseOutputStyle(o);
    return r;
  }
  r.energies = ParseEnergies(o, kEnergiesUsage, &r.energyMeanings);
  r.style = ParseOutputStyle(o);
  return r;
}

KnownOptions AttenuationOptions() {
  return {
      {"--energy", "--wavelength", "--energy-grid", "--formula", "--material", "--density", "--thickness"},
      {"--csv", "--tsv"}};
}

AttenuationRequest ParseAttenuation(const Options& o) {
  NoStyleClash(o);
  AttenuationRequest r;
  const std::vector<std::string> formulas = o.values("--formula"), materials = o.values("--material");
  if (formulas.size() + materials.size() > 1 ||
      (formulas.empty() && materials.empty()) == o.operands().empty())
    Usage(
        "attenuation needs element TABLEs, one --formula, one --material, or a mixture's TABLE:PERCENT "
        "entries");
  if (!materials.empty()) {
    r.kind = AttenuationRequest::Kind::Material;
    r.names = materials;
  } else if (!formulas.empty()) {
    r.kind = AttenuationRequest::Kind::Formula;
    r.names = formulas;
  } else {
    r.names = o.operands();
    const auto mixed = std::count_if(r.names.begin(), r.names.end(),
                                     [](const std::string& n) { return n.find(':') != std::string::npos; });
    if (mixed > 0 && mixed != static_cast<std::ptrdiff_t>(r.names.size()))
      Usage("give element TABLEs or a mixture's TABLE:PERCENT entries, not both");
    if (mixed > 0) {
      r.kind = AttenuationRequest::Kind::Mixture;
      for (const std::string& n : r.names) r.mixture.push_back(ParseMixtureEntry(n, true));
    }
  }
  r.energies = ParseEnergies(o, kEnergiesUsage, &r.energyMeanings);
  const std::vector<std::string> density = o.values("--density"), thickness = o.values("--thickness");
  if (density.size() > 1 || thickness.size() > 1) Usage("give --density and --thickness once");
  if (!density.empty()) r.density = ParsePositive("--density", density[0]);
  if (!thickness.empty()) {
    // A listed material has its density.
    if (!r.density && r.kind != AttenuationRequest::Kind::Material) Usage("--thickness needs --density");
    r.thickness = ParsePositive("--thickness", thickness[0]);
  }
  if (r.density && r.kind == AttenuationRequest::Kind::Elements && r.names.size() > 1)
    Usage("--density is one material's: give one TABLE, --formula or mixture");
  r.style = ParseOutputStyle(o);
  return r;
}

KnownOptions EdgesOptions() { return {{}, {"--csv", "--tsv"}}; }

XrayListRequest ParseEdges(const Options& o) {
  NoStyleClash(o);
  XrayListRequest r;
  if (o.operands().empty()) Usage("edges needs ELEMENTs");
  for (const std::string& e : o.operands()) {
    const int z = ElementOfTableName(e);
    if (!z) Usage(e + ": not an element");
    r.elements.emplace_back(ElementSymbol(z));
  }
  r.style = ParseOutputStyle(o);
  return r;
}

KnownOptions LinesOptions() { return {{"--edge"}, {"--csv", "--tsv"}}; }

XrayListRequest ParseLines(const Options& o) {
  XrayListRequest r = ParseEdges(o);
  r.edge = o.single("--edge");
  return r;
}

KnownOptions MaterialsOptions() { return {{}, {"--csv", "--tsv"}}; }

OutputStyle ParseMaterials(const Options& o) {
  NoStyleClash(o);
  if (!o.operands().empty()) Usage("materials takes no operands");
  return ParseOutputStyle(o);
}

namespace {

// What index and reflectivity are of: one element, formula, listed
// material or mixture by weight.
void ParseOpticalMaterial(const Options& o, const char* command, OpticsRequest* r) {
  const std::vector<std::string> formulas = o.values("--formula"), materials = o.values("--material");
  const std::vector<std::string> operands = o.operands();
  const std::size_t ways =
      (formulas.empty() ? 0 : 1) + (materials.empty() ? 0 : 1) + (operands.empty() ? 0 : 1);
  if (ways != 1 || formulas.size() > 1 || materials.size() > 1)
    Usage(std::string(command) +
          " needs one ELEMENT, one --formula, one --material or a mixture's TABLE:PERCENT entries");
  using Kind = OpticsRequest::Kind;
  if (!formulas.empty()) {
    r->kind = Kind::Formula;
    r->name = formulas[0];
  } else if (!materials.empty()) {
    r->kind = Kind::Material;
    r->name = materials[0];
  } else if (operands.size() == 1 && operands[0].find(':') == std::string::npos) {
    r->kind = Kind::Element;
    r->name = operands[0];
  } else {
    for (const std::string& n : operands) {
      if (n.find(':') == std::string::npos)
        Usage("give one ELEMENT, or a mixture's TABLE:PERCENT entries, not both");
      r->mixture.push_back(ParseMixtureEntry(n, true));
    }
    r->kind = Kind::Mixture;
    r->name = "mixture";
  }
  if (const std::optional<std::string> d = o.single("--density")) r->density = ParsePositive("--density", *d);
}

}  // namespace

KnownOptions IndexOptions() {
  return {{"--energy", "--wavelength", "--energy-grid", "--formula", "--material", "--density"},
          {"--csv", "--tsv"}};
}

OpticsRequest ParseIndex(const Options& o) {
  NoStyleClash(o);
  OpticsRequest r;
  ParseOpticalMaterial(o, "index", &r);
  r.energies = ParseEnergies(o, kEnergiesUsage, &r.energyMeanings);
  r.style = ParseOutputStyle(o);
  return r;
}

Polarization ParsePolarization(std::string_view text) {
  if (text == "s") return Polarization::S;
  if (text == "p") return Polarization::P;
  if (text == "unpolarized") return Polarization::Unpolarized;
  Usage("polarization " + Text(text) + ": expected s, p or unpolarized");
}

KnownOptions ReflectivityOptions() {
  return {{"--energy", "--wavelength", "--formula", "--material", "--density", "--angle-grid", "--roughness",
           "--polarization"},
          {"--csv", "--tsv"}};
}

OpticsRequest ParseReflectivity(const Options& o) {
  NoStyleClash(o);
  OpticsRequest r;
  ParseOpticalMaterial(o, "reflectivity", &r);
  r.energies = ParseEnergies(o, "reflectivity needs one --energy or --wavelength", &r.energyMeanings);
  if (r.energies.size() != 1) Usage("reflectivity needs one --energy or --wavelength");
  const std::optional<std::string> grid = o.single("--angle-grid");
  if (!grid) Usage("reflectivity needs --angle-grid START:STOP:N (mrad)");
  const auto v = Triple(*grid);
  const std::string named = "angle-grid " + *grid;
  if (!v) Usage(named + ": expected START:STOP:N");
  const auto [start, stop, n] = *v;
  if (!(n >= 1 && n <= kMaxEnergies && n == std::floor(n)))
    Usage(named + ": N must be a whole number from 1 to " + CountText(kMaxEnergies));
  // Grazing angles: above 0, below a right angle (1570.796 mrad).
  for (const double a : {start, stop})
    if (!IsGrazingAngle(a)) Usage(named + ": angles must lie above 0 and below 1570.79 mrad");
  if (n == 1 && start != stop) Usage(named + ": one angle needs START = STOP");
  if (n > 1 && !(stop > start)) Usage(named + ": STOP must lie above START");
  r.angleStart = start;
  r.angleStop = stop;
  r.angleCount = static_cast<std::int64_t>(n);
  if (const std::optional<std::string> s = o.single("--roughness")) {
    r.roughness = ParseNumber("--roughness", *s);
    if (!(r.roughness >= 0)) Usage("roughness " + *s + ": must be 0 or more (Angstrom, rms)");
  }
  if (const std::optional<std::string> p = o.single("--polarization")) r.polarization = ParsePolarization(*p);
  r.style = ParseOutputStyle(o);
  return r;
}

KnownOptions LookupOptions() { return {{"--theta", "--q", "--qnm", "--energy", "--wavelength"}, {}}; }

double ParseTheta(std::string_view option, std::string_view text) {
  const double theta = ParseNumber(option, text);
  if (!ThetaInRange(theta)) Usage(OptionName(option) + " " + Text(text) + ": " + kAngleRange);
  return theta;
}

double ParseXIn(Unit unit, std::string_view text, const Beam& beam) {
  if (unit != Unit::Theta) {
    const double v = ParseNumber(UnitName(unit), text);
    if (v < 0) Usage(std::string(UnitName(unit)) + " " + Text(text) + ": " + kMomentumRange);
    return ToX(unit, v, 1.0);
  }
  const double theta = ParseTheta("theta", text);
  if (!beam.lambda) Usage("theta needs an energy or a wavelength");
  return XFromAngle(theta, *beam.lambda);
}

LookupRequest ParseLookup(const Options& o) {
  LookupRequest r;
  if (o.operands().empty()) Usage("lookup needs a TABLE");
  const Beam beam = ParseBeam(o);
  bool first = true;
  for (const auto& [option, v] : o.items) {
    if (option.empty()) {
      if (first)
        r.table = v;
      else
        r.values.push_back({ParseXIn(Unit::X, v, beam), v});
      first = false;
      continue;
    }
    if (option == "--q")
      r.values.push_back({ParseXIn(Unit::Q, v, beam), "Q = " + v});
    else if (option == "--qnm")
      r.values.push_back({ParseXIn(Unit::Qnm, v, beam), "Q = " + v + " 1/nm"});
    else if (option == "--theta")
      r.values.push_back({ParseXIn(Unit::Theta, v, beam), "theta = " + v});
  }
  if (r.values.empty()) Usage("lookup needs at least one value");
  return r;
}

void CheckTableName(const std::string& name) {
  if (const std::optional<std::string> why = NewTableNameProblem(name))
    Usage("\"" + name + "\" cannot be a table name: " + *why);
}

namespace {

// NAME and the constituents of a new table, without --force (which says
// whether an existing table may be replaced).
std::vector<std::string> NewTableArguments(const char* command, const std::vector<std::string>& argsIn,
                                           bool* force) {
  std::vector<std::string> args;
  for (const std::string& a : argsIn)
    if (a == "--force")
      *force = true;
    else
      args.push_back(a);
  if (args.size() < 2) Usage(std::string(command) + " needs NAME and its constituents");
  // "Water.yex" names the table a lookup of "Water.yex" finds: Water.yex.
  if (HasTableExtension(args[0]) && args[0].size() > 4) args[0] = TableDisplayName(args[0]);
  CheckTableName(args[0]);
  // The count itself is checked before any table is looked for.
  if (args.size() - 1 > static_cast<std::size_t>(MaxConstituents) && args[1] != "--formula")
    Usage("at most " + std::to_string(MaxConstituents) + " tables, " + std::to_string(args.size() - 1) +
          " given");
  return args;
}

}  // namespace

CompoundRequest ParseCompound(const std::vector<std::string>& argsIn) {
  CompoundRequest r;
  const std::vector<std::string> args = NewTableArguments("compound", argsIn, &r.force);
  r.name = args[0];
  if (args[1] == "--formula") {
    if (args.size() != 3) Usage("--formula needs one FORMULA");
    r.entries = FormulaEntries(args[2], &r.note);
  } else {
    for (std::size_t i = 1; i < args.size(); ++i) r.entries.push_back(ParseCountEntry(args[i]));
  }
  if (r.entries.size() > static_cast<std::size_t>(MaxConstituents))
    Usage("at most " + std::to_string(MaxConstituents) + " tables, " + std::to_string(r.entries.size()) +
          " given");
  return r;
}

MixtureRequest ParseMixture(const std::vector<std::string>& argsIn) {
  MixtureRequest r;
  const std::vector<std::string> args = NewTableArguments("mixture", argsIn, &r.force);
  r.name = args[0];
  for (std::size_t i = 1; i < args.size(); ++i) r.entries.push_back(ParseMixtureEntry(args[i]));
  return r;
}

}  // namespace yex
