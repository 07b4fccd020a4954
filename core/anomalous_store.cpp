// Element data parsed from the built-in text on first use.
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "core/anomalous.h"
#include "core/anomalous_data.h"
#include "core/elements.h"
#include "core/error.h"
#include "core/formula.h"

namespace yex {

const AnomalousTable& AnomalousData(int z) {
  static std::mutex lock;
  static std::map<int, AnomalousTable> parsed;
  const std::lock_guard<std::mutex> hold(lock);
  if (const auto found = parsed.find(z); found != parsed.end()) return found->second;
  const char* block = AnomalousBlock(z);
  if (!block)
    Fail(ErrorKind::OutOfRange,
         std::string(z >= 1 && z <= ElementCount ? ElementSymbol(z) : "element " + std::to_string(z)) +
             ": Chantler's tables, the source of f', f'' and photoabsorption, cover Z = 1 to 92 only");
  return parsed.emplace(z, ParseAnomalousBlock(block)).first->second;
}

FormulaAnomalous ReadFormulaAnomalous(std::string_view formula) {
  const FormulaResult f = ReadFormula(formula);
  FormulaAnomalous out{std::string(formula), {}, {}, {},
                       f.note.empty() ? std::string() : "formula " + std::string(formula) + ": " + f.note};
  double largest = 0;
  for (const FormulaPart& p : f.parts) largest = std::max(largest, p.count);
  // Masses only weigh mu: scaled by one power of two (no bit of the mean
  // changes) they neither overflow nor vanish for any finite counts.
  int exponent = 0;
  std::frexp(largest, &exponent);
  for (const FormulaPart& p : f.parts) {
    const int z = AtomicNumber(p.symbol);
    out.tables.push_back(&AnomalousData(z));
    out.counts.push_back(p.count);
    out.masses.push_back(std::ldexp(p.count, -exponent) * StandardAtomicWeight(z));
  }
  return out;
}

AnomalousValue AnomalousAt(const FormulaAnomalous& f, double energyEv) {
  AnomalousValue out;
  double mass = 0, muMass = 0;
  for (std::size_t k = 0; k < f.tables.size(); ++k) {
    const AnomalousValue v = AnomalousAt(*f.tables[k], energyEv);
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

std::vector<std::pair<double, double>> DispersionOfTables(const std::vector<std::string>& tables,
                                                          double energyKeV) {
  std::vector<std::pair<double, double>> out;
  for (const std::string& t : tables) {
    const int z = ElementOfTableName(t);
    if (!z)
      Fail(ErrorKind::Usage, t + ": anomalous dispersion needs element tables (f' and f'' are an element's)");
    const AnomalousValue v = AnomalousAt(AnomalousData(z), KevToEv(energyKeV));
    out.emplace_back(v.fp, v.fdp);
  }
  return out;
}

}  // namespace yex
