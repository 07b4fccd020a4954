#include "core/physics/dispersion.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/elements/elements.h"
#include "core/elements/formula.h"
#include "core/error.h"
#include "core/numbers/elementary_functions.h"
#include "core/numbers/numeric.h"

namespace yex {
namespace {

double Field(std::string_view word, int line) {
  double v = 0;
  if (!ParseWholeNumber(word, &v) || !std::isfinite(v))
    Fail(ErrorKind::UnreadableData,
         "anomalous data line " + std::to_string(line) + ": \"" + std::string(word) + "\" is not a number");
  return v;
}

double LnOrNaN(double v) { return v > 0 ? Ln(v) : std::nan(""); }

// Log-log between two positive values (their logarithms la, lb), linear in
// log E otherwise (a 0 below an ionisation threshold).
double LogLog(double a, double b, double la, double lb, double t) {
  if (a > 0 && b > 0) return Exp(la + t * (lb - la));
  return std::max(0.0, a + t * (b - a));
}

// Between rows i and i + 1.
DispersionValue Between(const DispersionTable& t, std::size_t i, double e) {
  const std::size_t j = i + 1;
  const double s = Ln(e / t.energy[i]) / t.lnGap[i];  // e's place along the rows' log E
  return {t.fp[i] + s * (t.fp[j] - t.fp[i]), LogLog(t.fdp[i], t.fdp[j], t.lnFdp[i], t.lnFdp[j], s),
          LogLog(t.mu[i], t.mu[j], t.lnMu[i], t.lnMu[j], s)};
}

DispersionValue Row(const DispersionTable& t, std::size_t i) { return {t.fp[i], t.fdp[i], t.mu[i]}; }

std::string Kev(double ev) { return ShortestText(ev / 1000) + " keV"; }

}  // namespace

DispersionTable ParseDispersionBlock(std::string_view block) {
  DispersionTable t;
  std::size_t at = 0;
  int line = 0;
  std::size_t rows = 0;
  while (at < block.size()) {
    const std::size_t end = std::min(block.find('\n', at), block.size());
    const std::vector<std::string_view> w = Words(block.substr(at, end - at));
    at = end + 1;
    ++line;
    if (line == 1) {
      if (w.size() < 4 || w[0] != "Z") Fail(ErrorKind::UnreadableData, "anomalous data: no element line");
      t.z = static_cast<int>(Field(w[1], line));
      t.symbol = std::string(w[2]);
      rows = static_cast<std::size_t>(Field(w[3], line));
      for (std::size_t k = 4; k < w.size(); ++k) t.edges.push_back(Field(w[k], line));
      continue;
    }
    if (w.size() != 4)
      Fail(ErrorKind::UnreadableData, "anomalous data line " + std::to_string(line) + ": not 4 numbers");
    t.energy.push_back(Field(w[0], line));
    t.fp.push_back(Field(w[1], line));
    t.fdp.push_back(Field(w[2], line));
    t.mu.push_back(Field(w[3], line));
  }
  if (t.energy.size() != rows || rows < 2 || !std::is_sorted(t.energy.begin(), t.energy.end()))
    Fail(ErrorKind::UnreadableData, "anomalous data of " + t.symbol + ": rows missing or out of order");
  t.steps = FindSteps(t);
  for (std::size_t i = 0; i < rows; ++i) {
    t.lnFdp.push_back(LnOrNaN(t.fdp[i]));
    t.lnMu.push_back(LnOrNaN(t.mu[i]));
    t.lnGap.push_back(i + 1 < rows ? Ln(t.energy[i + 1] / t.energy[i]) : 0.0);
  }
  return t;
}

std::vector<DispersionTable::Step> FindSteps(const DispersionTable& t) {
  const std::vector<double>& x = t.energy;
  const std::vector<double>& mu = t.mu;
  std::vector<DispersionTable::Step> steps;
  for (std::size_t i = 1; i + 2 < x.size(); ++i) {
    if (!(x[i - 1] < x[i] && x[i] < x[i + 1] && x[i + 1] < x[i + 2])) continue;
    const bool rise = mu[i] > 0 && mu[i + 1] >= mu[i] * (1 + kStepRise);
    if (!rise || !(mu[i - 1] >= mu[i]) || !(mu[i + 2] <= mu[i + 1])) continue;
    double at = std::sqrt(x[i] * x[i + 1]);
    for (const double edge : t.edges)
      if (x[i] < edge && edge < x[i + 1]) at = edge;
    steps.push_back({i, at});
  }
  return steps;
}

DispersionValue DispersionAt(const DispersionTable& t, double e) {
  const std::vector<double>& x = t.energy;
  if (!(e >= x.front() && e <= x.back()))
    Fail(ErrorKind::OutOfRange, Kev(e) + ": outside Chantler's tabulated energies for " + t.symbol + ", " +
                                    Kev(x.front()) + " to " + Kev(x.back()));
  // The last row at or below e: at a doubly listed energy, the value above.
  const std::size_t i = static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), e) - x.begin()) - 1;
  if (x[i] == e || i + 1 == x.size()) return Row(t, i);
  // A tabulated energy typed in keV may come back a few units in the last
  // place off (two eV values can share one keV value): it is still that row.
  for (std::size_t k : {i, i + 1})
    if (std::fabs(e - x[k]) <= 1e-14 * x[k]) {
      while (k + 1 < x.size() && x[k + 1] == x[k]) ++k;
      return Row(t, k);
    }
  // Where the rows step, each side keeps its own row: nothing is carried
  // beyond a row.
  for (const DispersionTable::Step& s : t.steps)
    if (s.row == i) return Row(t, e < s.energy ? i : i + 1);
  return Between(t, i, e);
}

double KevToEv(double kev) { return MovedDecimal(kev, 3); }

DispersionSource::DispersionSource(std::function<const char*(int)> block,
                                   std::vector<std::string> sourceLines)
    : block_(std::move(block)), sourceLines_(std::move(sourceLines)) {}

const DispersionTable& DispersionSource::Table(int z) const {
  const std::lock_guard<std::mutex> hold(lock_);
  if (const auto found = parsed_.find(z); found != parsed_.end()) return found->second;
  const char* block = block_ ? block_(z) : nullptr;
  if (!block)
    Fail(ErrorKind::OutOfRange,
         std::string(z >= 1 && z <= ElementCount ? ElementSymbol(z) : "element " + std::to_string(z)) +
             ": Chantler's tables, the source of f', f'' and photoabsorption, cover Z = 1 to 92 only");
  return parsed_.emplace(z, ParseDispersionBlock(block)).first->second;
}

void CheckEnergies(const std::vector<const DispersionTable*>& tables, const std::vector<double>& energies) {
  for (const double kev : energies) {
    const double ev = KevToEv(kev);
    for (const DispersionTable* t : tables)
      if (!(ev >= t->energy.front() && ev <= t->energy.back())) DispersionAt(*t, ev);  // throws the reason
  }
}

FormulaDispersion ReadFormulaDispersion(const DispersionSource& source, std::string_view formula) {
  const FormulaResult f = ReadFormula(formula);
  FormulaDispersion out{std::string(formula),
                        {},
                        {},
                        {},
                        f.note.empty() ? std::string() : "formula " + std::string(formula) + ": " + f.note};
  double largest = 0;
  for (const FormulaPart& p : f.parts) largest = std::max(largest, p.count);
  // Masses only weigh mu: scaled by one power of two (no bit of the mean
  // changes) they neither overflow nor vanish for any finite counts.
  int exponent = 0;
  std::frexp(largest, &exponent);
  for (const FormulaPart& p : f.parts) {
    const int z = AtomicNumber(p.symbol);
    out.tables.push_back(&source.Table(z));
    out.counts.push_back(p.count);
    out.masses.push_back(std::ldexp(p.count, -exponent) * StandardAtomicWeight(z));
  }
  return out;
}

DispersionValue DispersionAt(const FormulaDispersion& f, double energyEv) {
  DispersionValue out;
  double mass = 0, muMass = 0;
  for (std::size_t k = 0; k < f.tables.size(); ++k) {
    const DispersionValue v = DispersionAt(*f.tables[k], energyEv);
    out.fp += f.counts[k] * v.fp;
    out.fdp += f.counts[k] * v.fdp;
    muMass += f.masses[k] * v.mu;
    mass += f.masses[k];
  }
  out.mu = muMass / mass;
  if (!std::isfinite(out.fp) || !std::isfinite(out.fdp))
    Fail(ErrorKind::OutOfRange, "formula " + f.formula +
                                    ": f' or f'' of one formula unit is beyond the range of doubles "
                                    "(the counts are too large)");
  return out;
}

std::vector<std::pair<double, double>> DispersionOfTables(const DispersionSource& source,
                                                          const std::vector<std::string>& tables,
                                                          double energyKeV) {
  std::vector<std::pair<double, double>> out;
  for (const std::string& t : tables) {
    const int z = ElementOfTableName(t);
    if (!z)
      Fail(ErrorKind::Usage, t + ": anomalous dispersion needs element tables (f' and f'' are an element's)");
    const DispersionValue v = DispersionAt(source.Table(z), KevToEv(energyKeV));
    out.emplace_back(v.fp, v.fdp);
  }
  return out;
}

}  // namespace yex
