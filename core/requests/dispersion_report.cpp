// dispersion and attenuation: f', f'' and how much a material absorbs and
// scatters, against photon energy.

#include "core/elements/elements.h"
#include "core/elements/xray_data.h"
#include "core/error.h"
#include "core/numbers/numeric.h"
#include "core/physics/attenuation.h"
#include "core/physics/dispersion.h"
#include "core/requests/report.h"
#include "core/requests/request.h"
#include "core/tables/table_store.h"

namespace yex {
namespace {

// Where the numbers come from; the data are tabulated in eV, the lines
// below them in keV.
std::vector<std::string> SourceLines(const DispersionSource& dispersion) {
  std::vector<std::string> lines = dispersion.SourceLines();
  for (std::string& l : lines)
    if (const std::size_t at = l.find(" against photon energy (eV)"); at != std::string::npos)
      l.replace(at, 27, " against photon energy (tabulated in eV; E_keV is in keV)");
  return lines;
}

// dispersion ELEMENT... --steps: where the rows step.
RunSummary WriteSteps(const std::vector<const DispersionTable*>& tables, const DispersionSource& dispersion,
                      const Provenance& who, RecordWriter& w) {
  w.Comment(who.program + " dispersion --steps");
  for (const std::string& line : SourceLines(dispersion)) w.Comment(line);
  w.Comment("steps of the rows: mu/rho rising by at least " + ShortestText(kStepRise * 100) +
            " % between two rows while the intervals on either side fall; at a level energy inside, else "
            "at the interval's geometric middle; each side keeps its own row");
  w.Header({"element", "E_keV", "mu_below_cm2g", "mu_above_cm2g"});
  RunSummary s;
  for (const DispersionTable* t : tables)
    for (const DispersionTable::Step& step : t->steps) {
      w.Line(t->symbol, {step.energy / 1000, t->mu[step.row], t->mu[step.row + 1]});
      ++s.points;
    }
  return s;
}

}  // namespace

RunSummary WriteDispersion(const DispersionRequest& r, const DispersionSource& dispersion,
                           const Provenance& who, RecordWriter& w) {
  std::vector<std::string> names;
  std::vector<const DispersionTable*> tables;
  std::string note;
  std::optional<FormulaDispersion> formula;
  if (r.formula) {
    names.push_back(r.names[0]);
    formula = ReadFormulaDispersion(dispersion, r.names[0]);  // refuses a bad formula before any line
    note = formula->note;
  } else {
    for (const std::string& n : r.names) {
      const int z = ElementOfTableName(n);
      if (!z) Fail(ErrorKind::Usage, n + ": not an element; give a compound's --formula");
      tables.push_back(&dispersion.Table(z));
      names.emplace_back(ElementSymbol(z));
    }
  }
  if (r.steps) return WriteSteps(tables, dispersion, who, w);
  std::vector<const DispersionTable*> all = tables;
  if (formula) all = formula->tables;
  CheckEnergies(all, r.energies);
  w.Comment(who.program + " dispersion");
  EnergyComments(w, r.energyMeanings);
  for (const std::string& line : SourceLines(dispersion)) w.Comment(line);
  w.Comment(r.formula ? "f' and f'' in electrons per formula unit (the sum over its atoms)"
                      : "f' and f'' in electrons per atom");
  std::vector<std::string> header{"E_keV"};
  for (const std::string& n : names) {
    header.push_back("fp(" + n + ")");
    header.push_back("fdp(" + n + ")");
  }
  w.Header(header);
  RunSummary s;
  s.note = note;
  std::vector<std::optional<double>> fields;
  for (const double kev : r.energies) {
    const double ev = KevToEv(kev);
    fields.assign(1, kev);
    if (r.formula) {
      const DispersionValue v = DispersionAt(*formula, ev);
      fields.push_back(v.fp);
      fields.push_back(v.fdp);
    } else {
      for (const DispersionTable* t : tables) {
        const DispersionValue v = DispersionAt(*t, ev);
        fields.push_back(v.fp);
        fields.push_back(v.fdp);
      }
    }
    w.Line(fields, 1);
    ++s.points;
  }
  return s;
}

RunSummary WriteAttenuation(const AttenuationRequest& r, const TableStore& store,
                            const DispersionSource& dispersion, const Provenance& who, RecordWriter& w) {
  std::vector<Material> materials;
  RunSummary s;
  using Kind = AttenuationRequest::Kind;
  if (r.kind == Kind::Formula) materials.push_back(FormulaMaterial(r.names[0], &s.note));
  if (r.kind == Kind::Mixture) materials.push_back(MixtureMaterial(r.mixture, "mixture"));
  std::optional<double> density = r.density;
  std::string listed;
  if (r.kind == Kind::Material) {
    const MaterialEntry m = FindMaterial(r.names[0], store.Materials());
    materials.push_back(FormulaMaterial(m.formula, &s.note));
    materials.back().name = m.name;
    if (!density) density = m.density;
    listed = "material " + m.name + ": " + m.formula + ", density " + ShortestText(m.density) + " g/cm3";
  }
  if (r.kind == Kind::Elements)
    for (const std::string& n : r.names) materials.push_back(ElementMaterial(n));
  std::vector<Attenuation> models;
  for (const Material& m : materials) models.emplace_back(m, store, dispersion);
  std::vector<const DispersionTable*> tables;
  for (const Material& m : materials)
    for (const int z : m.z) tables.push_back(&dispersion.Table(z));
  CheckEnergies(tables, r.energies);
  w.Comment(who.program + " attenuation");
  if (const std::optional<std::string> origin = store.Origin()) w.Comment(*origin);
  EnergyComments(w, r.energyMeanings);
  w.Comment("photo: photoabsorption from Chantler's tables:");
  for (const std::string& line : SourceLines(dispersion)) w.Comment("  " + line);
  w.Comment(
      "coh, incoh: YEX's integrated cross sections of the element tables, as cross-section prints them");
  w.Comment("cm2/g; a compound or mixture by the mixture rule (mass fractions times each element's values)");
  if (r.kind == Kind::Mixture) {
    std::string parts;
    for (std::size_t k = 0; k < materials[0].z.size(); ++k)
      parts += (k ? ", " : "") + std::string(ElementSymbol(materials[0].z[k])) + " " +
               ShortestText(materials[0].massFraction[k]);
    w.Comment("mixture by mass fraction: " + parts);
  }
  if (!listed.empty()) w.Comment(listed);
  if (density)
    w.Comment("density " + ShortestText(*density) + " g/cm3" +
              (r.density && !listed.empty() ? " as given" : "") +
              (r.thickness ? ", thickness " + ShortestText(*r.thickness) + " cm" : std::string()));
  std::vector<std::string> header{"E_keV"};
  for (const Material& m : materials)
    for (const char* c : {"photo_cm2g", "coh_cm2g", "incoh_cm2g", "total_cm2g"})
      header.push_back(std::string(c) + "(" + m.name + ")");
  if (density) {
    header.push_back("mu_per_cm(" + materials[0].name + ")");
    header.push_back("length_cm(" + materials[0].name + ")");
    if (r.thickness) header.push_back("transmission(" + materials[0].name + ")");
  }
  w.Header(header);
  std::vector<std::optional<double>> fields;
  for (const double kev : r.energies) {
    fields.assign(1, kev);
    double total = 0;
    for (const Attenuation& a : models) {
      const AttenuationValue v = a.At(kev);
      fields.insert(fields.end(), {v.photo, v.coh, v.incoh, v.total});
      total = v.total;
    }
    if (density) {
      const SampleAttenuation a = ThroughSample(total, *density, r.thickness);
      fields.push_back(a.muPerCm);
      fields.push_back(a.lengthCm);
      if (r.thickness) fields.push_back(a.transmission);
    }
    w.Line(fields, 1);
    ++s.points;
  }
  return s;
}

}  // namespace yex
