// How much a material attenuates: Chantler's photoabsorption beside YEX's own
// coherent and incoherent cross sections, per gram, for an element, a
// formula or a mixture by weight (the mixture rule: mass fractions times each
// element's values), from Chantler's tables as it is handed them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/lookup/table_lookup.h"
#include "core/physics/cross_section.h"
#include "core/physics/dispersion.h"
#include "core/tables/synthesis.h"
#include "core/tables/table_store.h"

namespace yex {

struct AttenuationValue {
  double photo = 0;  // cm^2/g
  double coh = 0;
  double incoh = 0;
  double total = 0;  // photo + coh + incoh
};

// Elements by mass fraction, named as the output's columns name it.
struct Material {
  std::string name;
  std::vector<int> z;
  std::vector<double> massFraction;  // summing to 1
  // g/mol of each element as the material holds it: the standard one, or
  // a mixture entry's own (an enriched isotope changes what a gram holds).
  std::vector<double> atomicWeight;
};

// An element's table name ("Fe", any case), a formula ("H2O", read as
// ReadFormula reads it) or a mixture's entries as ParseMixtureEntry and
// MakeMixtureEntry give them; Usage naming what is wrong. Weights, counts
// and molar masses of any finite size are summed without overflow.
Material ElementMaterial(const std::string& name);
Material FormulaMaterial(const std::string& formula, std::string* note = nullptr);
Material MixtureMaterial(const std::vector<Ingredient>& entries, const std::string& name);

// A sample of `density` g/cm3 (and `thickness` cm): mu = total * density in
// 1/cm, the attenuation length 1/mu and the transmission exp(-mu t).
// Usage for a density or thickness that is not a positive finite number,
// OutOfRange where mu or the length is beyond the range of doubles.
struct SampleAttenuation {
  double muPerCm = 0;
  double lengthCm = 0;
  double transmission = 0;  // with a thickness
};
SampleAttenuation ThroughSample(double totalCm2g, double density, std::optional<double> thickness);

class Attenuation {
 public:
  // The element tables of `m` from `store` (their coherent and incoherent
  // cross sections are the ones cross-section prints); OutOfRange for an
  // element without Chantler's data in `dispersion` (which must outlive it).
  Attenuation(const Material& m, const TableStore& store, const DispersionSource& dispersion);
  // OutOfRange naming the table or the energy where there is no value.
  AttenuationValue At(double energyKeV) const;
  const Material& material() const { return material_; }

 private:
  Material material_;
  std::vector<std::string> files_;
  std::vector<TableLookup> tables_;
  std::vector<CrossSectionTable> integrals_;  // prepared once, for every energy
  std::vector<const DispersionTable*> chantler_;
};

}  // namespace yex
