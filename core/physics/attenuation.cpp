#include "core/physics/attenuation.h"

#include <algorithm>
#include <cmath>

#include "core/elements/elements.h"
#include "core/elements/formula.h"
#include "core/error.h"
#include "core/numbers/numeric.h"
#include "core/physics/cross_section.h"
#include "core/physics/dispersion.h"
#include "core/tables/table_name.h"

namespace yex {

Material ElementMaterial(const std::string& name) {
  const int z = ElementOfTableName(name);
  if (!z)
    Fail(ErrorKind::Usage,
         name + ": not an element; give a compound's --formula or a mixture's TABLE:PERCENT");
  return {std::string(ElementSymbol(z)), {z}, {1.0}, {StandardAtomicWeight(z)}};
}

namespace {

// Mass fractions from masses w_k (times A_k for counts of atoms): the
// weights scaled by one power of two first (no bit of a fraction changes),
// so that weights or counts of 1e308 neither overflow nor turn into zeros.
void SetMassFractions(Material* m, const std::vector<double>& weights, bool atoms) {
  double largest = 0;
  for (const double w : weights) largest = std::max(largest, w);
  int exponent = 0;
  std::frexp(largest, &exponent);
  double mass = 0;
  m->massFraction.clear();
  for (std::size_t k = 0; k < weights.size(); ++k) {
    const double w = std::ldexp(weights[k], -exponent);
    m->massFraction.push_back(atoms ? w * m->atomicWeight[k] : w);
    mass += m->massFraction.back();
  }
  for (double& w : m->massFraction) w /= mass;
}

}  // namespace

Material FormulaMaterial(const std::string& formula, std::string* note) {
  const FormulaResult f = ReadFormula(formula);
  if (note) *note = f.note.empty() ? std::string() : "formula " + formula + ": " + f.note;
  Material m{formula, {}, {}, {}};
  std::vector<double> counts;
  for (const FormulaPart& p : f.parts) {
    m.z.push_back(AtomicNumber(p.symbol));
    m.atomicWeight.push_back(StandardAtomicWeight(m.z.back()));
    counts.push_back(p.count);
  }
  SetMassFractions(&m, counts, true);
  return m;
}

Material MixtureMaterial(const std::vector<Ingredient>& entries, const std::string& name) {
  Material m{name, {}, {}, {}};
  std::vector<double> percents;
  for (const Ingredient& e : entries) {
    const int z = ElementOfTableName(e.file);
    if (!z)
      Fail(ErrorKind::Usage, TableDisplayName(e.file) +
                                 ": a mixture's constituents must be elements here (Chantler's data are "
                                 "an element's)");
    m.z.push_back(z);
    m.atomicWeight.push_back(e.atomicWeight);
    percents.push_back(e.amount);
  }
  if (m.z.empty()) Fail(ErrorKind::Usage, "a mixture needs at least one TABLE:PERCENT");
  SetMassFractions(&m, percents, false);
  return m;
}

SampleAttenuation ThroughSample(double totalCm2g, double density, std::optional<double> thickness) {
  if (!(density > 0) || !std::isfinite(density))
    Fail(ErrorKind::Usage, "density " + ShortestText(density) + ": must be a positive number (g/cm3)");
  if (thickness && (!(*thickness > 0) || !std::isfinite(*thickness)))
    Fail(ErrorKind::Usage, "thickness " + ShortestText(*thickness) + ": must be a positive number (cm)");
  SampleAttenuation a;
  a.muPerCm = totalCm2g * density;
  a.lengthCm = 1 / a.muPerCm;
  if (!std::isfinite(a.muPerCm) || !std::isfinite(a.lengthCm) || a.muPerCm == 0)
    Fail(ErrorKind::OutOfRange, "density " + ShortestText(density) +
                                    " g/cm3: mu or the attenuation length is beyond the range of doubles");
  if (thickness) a.transmission = std::exp(-a.muPerCm * *thickness);
  return a;
}

Attenuation::Attenuation(const Material& m, const TableStore& store, const DispersionSource& dispersion)
    : material_(m) {
  for (const int z : m.z) {
    chantler_.push_back(&dispersion.Table(z));  // refuses an element without data before any line
    const std::string file = store.Resolve(std::string(ElementSymbol(z)));
    files_.push_back(file);
    tables_.emplace_back(store.Load(file));
    integrals_.emplace_back(tables_.back());
  }
}

AttenuationValue Attenuation::At(double energyKeV) const {
  AttenuationValue v;
  const double ev = KevToEv(energyKeV);
  for (std::size_t k = 0; k < tables_.size(); ++k) {
    const int z = material_.z[k];
    CrossSectionPair p;
    const char* why = "";
    if (!integrals_[k].At(energyKeV, &p, &why))
      Fail(ErrorKind::OutOfRange, CrossSectionFailure(files_[k], energyKeV, why, &tables_[k]));
    const double mass = material_.atomicWeight[k], w = material_.massFraction[k];
    // Chantler's mu/rho is per gram of the natural element; an atom absorbs
    // alike whatever its mass, so a gram of another atomic weight holds
    // standard/A as many atoms.
    const double perGram = StandardAtomicWeight(z) / mass;
    v.photo += w * (DispersionAt(*chantler_[k], ev).mu * perGram);
    v.coh += w * BarnToCm2PerGram(p.coh, mass);
    v.incoh += w * BarnToCm2PerGram(p.incoh, mass);
  }
  v.total = v.photo + v.coh + v.incoh;
  return v;
}

}  // namespace yex
