// Element data parsed from the built-in text on first use.
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

FormulaDispersion AnomalousOfFormula(std::string_view formula, double energyEv) {
  const FormulaResult f = ParseFormula(formula);
  if (!f.ok) Fail(ErrorKind::Usage, "formula " + std::string(formula) + ": " + f.error);
  FormulaDispersion out;
  out.note = f.note;
  double mass = 0, muMass = 0;
  for (const FormulaPart& p : f.parts) {
    const int z = AtomicNumber(p.symbol);
    const AnomalousValue v = AnomalousAt(AnomalousData(z), energyEv);
    const double m = p.count * StandardAtomicWeight(z);
    out.value.fp += p.count * v.fp;
    out.value.fdp += p.count * v.fdp;
    muMass += m * v.mu;
    mass += m;
  }
  out.value.mu = muMass / mass;
  return out;
}

std::vector<std::pair<double, double>> DispersionOfTables(const std::vector<std::string>& tables,
                                                          double energyKeV) {
  std::vector<std::pair<double, double>> out;
  for (const std::string& t : tables) {
    const int z = ElementOfName(t);
    if (!z)
      Fail(ErrorKind::Usage, t + ": anomalous dispersion needs element tables (f' and f'' are an element's)");
    const AnomalousValue v = AnomalousAt(AnomalousData(z), KevToEv(energyKeV));
    out.emplace_back(v.fp, v.fdp);
  }
  return out;
}

}  // namespace yex
