#include "core/attenuation.h"

#include <cmath>

#include "core/anomalous.h"
#include "core/cross_section.h"
#include "core/elements.h"
#include "core/error.h"
#include "core/formula.h"
#include "core/numeric.h"
#include "core/report.h"

namespace yex {

Material ElementMaterial(const std::string& name) {
  const int z = ElementOfName(name);
  if (!z)
    Fail(ErrorKind::Usage,
         name + ": not an element; give a compound's --formula or a mixture's TABLE:PERCENT");
  return {std::string(ElementSymbol(z)), {z}, {1.0}};
}

Material FormulaMaterial(const std::string& formula, std::string* note) {
  const FormulaResult f = ParseFormula(formula);
  if (!f.ok) Fail(ErrorKind::Usage, "formula " + formula + ": " + f.error);
  if (note) *note = f.note;
  Material m{formula, {}, {}};
  double mass = 0;
  for (const FormulaPart& p : f.parts) {
    m.z.push_back(AtomicNumber(p.symbol));
    m.massFraction.push_back(p.count * StandardAtomicWeight(m.z.back()));
    mass += m.massFraction.back();
  }
  for (double& w : m.massFraction) w /= mass;
  return m;
}

Material MixtureMaterial(const std::vector<std::pair<std::string, double>>& percents,
                         const std::string& name) {
  Material m{name, {}, {}};
  double sum = 0;
  for (const auto& [table, percent] : percents) {
    const int z = ElementOfName(table);
    if (!z) Fail(ErrorKind::Usage, table + ": a mixture's constituents must be elements here");
    if (!(percent > 0) || !std::isfinite(percent))
      Fail(ErrorKind::Usage, table + ":" + ShortestText(percent) + ": the weight must be positive");
    m.z.push_back(z);
    m.massFraction.push_back(percent);
    sum += percent;
  }
  if (m.z.empty()) Fail(ErrorKind::Usage, "a mixture needs at least one TABLE:PERCENT");
  for (double& w : m.massFraction) w /= sum;
  return m;
}

Material MaterialOf(const std::string& elementOrFormula) {
  return ElementOfName(elementOrFormula) ? ElementMaterial(elementOrFormula)
                                         : FormulaMaterial(elementOrFormula);
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

Attenuation::Attenuation(const Material& m, const TableStore& store) : material_(m) {
  for (const int z : m.z) {
    AnomalousData(z);  // refuses an element without data before any line
    const std::string file = store.Resolve(std::string(ElementSymbol(z)));
    files_.push_back(file);
    tables_.emplace_back(store.Load(file));
  }
}

AttenuationValue Attenuation::At(double energyKeV) const {
  AttenuationValue v;
  const double ev = KevToEv(energyKeV);
  for (std::size_t k = 0; k < tables_.size(); ++k) {
    const int z = material_.z[k];
    CrossSectionPair p;
    const char* why = "";
    if (!IntegratedCrossSections(tables_[k], energyKeV, &p, &why))
      Fail(ErrorKind::OutOfRange, CrossSectionFailure(files_[k], energyKeV, why, &tables_[k]));
    const double mass = StandardAtomicWeight(z), w = material_.massFraction[k];
    v.photo += w * AnomalousAt(AnomalousData(z), ev).mu;
    v.coh += w * BarnToCm2PerGram(p.coh, mass);
    v.incoh += w * BarnToCm2PerGram(p.incoh, mass);
  }
  v.total = v.photo + v.coh + v.incoh;
  return v;
}

}  // namespace yex
