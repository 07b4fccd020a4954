#include "core/requests/line_fields.h"

#include <charconv>
#include <cmath>

#include "core/numbers/numeric.h"
#include "core/numbers/units.h"
#include "core/tables/table_format.h"

namespace yex {

namespace {

// An ordinary number: optional sign, digits with a decimal point, an
// optional exponent; the whole field, finite.
bool ParseNumber(std::string_view field, double* value) {
  if (!field.empty() && field[0] == '+') field.remove_prefix(1);
  if (field.empty() || !((field[0] >= '0' && field[0] <= '9') || field[0] == '.' || field[0] == '-'))
    return false;
    // from_chars for floating point is missing from some standard libraries;
    // the canonical reader then checks that the whole field was a number.
#if defined(__cpp_lib_to_chars) || (defined(__GLIBCXX__) && __GNUC__ >= 11)
  const auto r = std::from_chars(field.data(), field.data() + field.size(), *value);
  return r.ec == std::errc() && r.ptr == field.data() + field.size() && std::isfinite(*value);
#else
  return ParseWholeNumber(field, value) && std::isfinite(*value);
#endif
}

}  // namespace

PointLine ParsePointLine(std::string_view line, double* value, std::string_view* field) {
  std::size_t p = 0;
  while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
  if (p == line.size() || line[p] == '#') return PointLine::Skip;
  std::size_t e = p;
  while (e < line.size() && line[e] != ' ' && line[e] != '\t' && line[e] != ',') ++e;
  *field = line.substr(p, e - p);
  return ParseNumber(*field, value) ? PointLine::Point : PointLine::NotANumber;
}

bool CurveFields(const std::vector<const TableLookup*>& tables, double x, bool dcs, double energyKeV,
                 std::vector<std::optional<double>>* fields) {
  fields->clear();
  bool complete = true;
  for (const TableLookup* t : tables) {
    const LookupResult r = (*t)(x);
    CrossSectionPair d;
    const bool reached = dcs && r.inRange && DifferentialCrossSections(x, r.f, r.s, energyKeV, &d);
    complete = complete && r.inRange && (!dcs || reached);
    fields->push_back(r.inRange ? std::optional<double>(r.f) : std::nullopt);
    fields->push_back(r.inRange ? std::optional<double>(r.s) : std::nullopt);
    if (dcs) {
      fields->push_back(reached ? std::optional<double>(d.coh) : std::nullopt);
      fields->push_back(reached ? std::optional<double>(d.incoh) : std::nullopt);
    }
  }
  return complete;
}

bool AverageFields(const std::vector<Constituent>& parts, const std::vector<double>& fractions, double x,
                   std::optional<int> power, double energyKeV, std::vector<std::optional<double>>* fields) {
  fields->clear();
  const CompositionAverages avg = AverageAt(parts, fractions, x);
  double factor = 0.0;
  const bool bdOk = power && avg.inRange && BreitDiracFactor(x, energyKeV, *power, &factor);
  fields->push_back(avg.inRange ? std::optional<double>(avg.f2Mean) : std::nullopt);
  fields->push_back(avg.inRange ? std::optional<double>(avg.fMeanSq) : std::nullopt);
  fields->push_back(avg.inRange ? std::optional<double>(avg.sMean) : std::nullopt);
  if (power) fields->push_back(bdOk ? std::optional<double>(avg.sMean * factor) : std::nullopt);
  return avg.inRange && (!power || bdOk);
}

void CrossSectionFields(const std::vector<CrossSectionPair>& values,
                        const std::vector<std::optional<double>>& molarMasses,
                        std::vector<std::optional<double>>* fields) {
  fields->clear();
  for (std::size_t k = 0; k < values.size(); ++k) {
    fields->push_back(values[k].coh);
    fields->push_back(values[k].incoh);
    if (molarMasses[k]) {
      fields->push_back(BarnToCm2PerGram(values[k].coh, *molarMasses[k]));
      fields->push_back(BarnToCm2PerGram(values[k].incoh, *molarMasses[k]));
    }
  }
}

void AppendField(std::string* line, std::optional<double> v, bool display, FieldKind kind) {
  if (!v) return;
  if (display)
    *line += kind == FieldKind::X ? FormatX(*v) : FormatFS(*v);
  else
    AppendShortestText(line, *v);
}

}  // namespace yex
