#include "core/requests/optics_report.h"

#include <cmath>

#include "core/elements/elements.h"
#include "core/elements/xray_data.h"
#include "core/error.h"
#include "core/numbers/numeric.h"

namespace yex {

OpticalMaterial ResolveOpticalMaterial(const OpticsRequest& r, const TableStore& store) {
  OpticalMaterial out;
  using Kind = OpticsRequest::Kind;
  std::optional<double> listed;
  switch (r.kind) {
    case Kind::Element: {
      out.material = ElementMaterial(r.name);
      // An element alone takes the density of the one listed material that
      // is that element (silicon's 2.329), when there is exactly one.
      if (!r.density) {
        const std::string symbol = out.material.name;
        std::vector<MaterialEntry> found;
        for (const MaterialEntry& m : BuiltInMaterials())
          if (m.formula == symbol) found.push_back(m);
        if (found.size() == 1) {
          listed = found[0].density;
          out.why = "density " + ShortestText(*listed) + " g/cm3: the listed material " + found[0].name;
        } else {
          std::string which;
          for (const MaterialEntry& m : found) which += ", " + m.name + " " + ShortestText(m.density);
          Fail(ErrorKind::Usage, symbol + ": give --density (g/cm3)" +
                                     (found.empty() ? std::string() : "; the list has" + which.substr(1)));
        }
      }
      break;
    }
    case Kind::Formula:
      out.material = FormulaMaterial(r.name, &out.note);
      break;
    case Kind::Mixture:
      out.material = MixtureMaterial(r.mixture, "mixture");
      break;
    case Kind::Material: {
      const MaterialEntry m = FindMaterial(r.name, store.Materials());
      out.material = FormulaMaterial(m.formula, &out.note);
      out.material.name = m.name;
      listed = m.density;
      out.why = "material " + m.name + ": " + m.formula + ", density " + ShortestText(m.density) + " g/cm3";
      break;
    }
  }
  if (r.density) {
    out.density = *r.density;
    out.why = (r.kind == Kind::Material ? out.why + "; " : std::string()) + "density " +
              ShortestText(*r.density) + " g/cm3 as given";
  } else if (listed) {
    out.density = *listed;
  } else {
    Fail(ErrorKind::Usage,
         "give --density (g/cm3) for " + (r.kind == Kind::Mixture ? std::string("the mixture") : r.name));
  }
  out.label = out.material.name;
  return out;
}

namespace {

void OpticsComments(RecordWriter& w, const char* command, const OpticsRequest& r, const OpticalMaterial& m,
                    const Provenance& who) {
  w.Comment(who.program + " " + command);
  EnergyComments(w, r.energyMeanings);
  w.Comment(m.why.empty() ? "density " + ShortestText(m.density) + " g/cm3" : m.why);
  w.Comment(
      "n = 1 - delta + i beta from Chantler's f' and f'' (C. T. Chantler, NIST, public domain, as "
      "compiled in XrayDB): delta = r_e lambda^2/2pi sum n_i (Z_i + f'_i), beta = r_e lambda^2/2pi sum "
      "n_i f''_i, n_i the atoms of element i per cm3");
}

std::vector<const DispersionTable*> TablesOf(const Material& m, const DispersionSource& dispersion) {
  std::vector<const DispersionTable*> tables;
  for (const int z : m.z) tables.push_back(&dispersion.Table(z));
  return tables;
}

}  // namespace

RunSummary WriteIndex(const OpticsRequest& r, const TableStore& store, const DispersionSource& dispersion,
                      const Provenance& who, RecordWriter& w) {
  const OpticalMaterial m = ResolveOpticalMaterial(r, store);
  CheckEnergies(TablesOf(m.material, dispersion), r.energies);
  OpticsComments(w, "index", r, m, who);
  w.Comment(
      "critical_angle_mrad = sqrt(2 delta); length_cm = 1/mu, the 1/e length of the intensity by "
      "photoabsorption and scattering, as attenuation prints it");
  const std::string& n = m.label;
  w.Header({"E_keV", "delta(" + n + ")", "beta(" + n + ")", "critical_angle_mrad(" + n + ")",
            "length_cm(" + n + ")"});
  RunSummary s;
  s.note = m.note;
  const Attenuation attenuation(m.material, store, dispersion);
  for (const double kev : r.energies) {
    const OpticalConstants c = IndexOf(m.material, m.density, kev, dispersion, &attenuation);
    w.Line({kev, c.delta, c.beta, c.criticalAngleMrad, c.lengthCm}, 1);
    ++s.points;
  }
  return s;
}

RunSummary WriteReflectivity(const OpticsRequest& r, const TableStore& store,
                             const DispersionSource& dispersion, const Provenance& who, RecordWriter& w) {
  const OpticalMaterial m = ResolveOpticalMaterial(r, store);
  CheckEnergies(TablesOf(m.material, dispersion), r.energies);
  const double kev = r.energies[0];
  const OpticalConstants c = IndexOf(m.material, m.density, kev, dispersion);
  OpticsComments(w, "reflectivity", r, m, who);
  w.Comment("energy " + ShortestText(kev) + " keV: delta " + ShortestText(c.delta) + ", beta " +
            ShortestText(c.beta) + ", critical angle " + ShortestText(c.criticalAngleMrad) + " mrad");
  const char* pol = r.polarization == Polarization::S   ? "s (the electric field along the surface)"
                    : r.polarization == Polarization::P ? "p (the electric field in the plane of incidence)"
                                                        : "unpolarized (the mean of s and p)";
  w.Comment(std::string("Fresnel's reflectivity of a flat surface from vacuum, polarization ") + pol +
            (r.roughness > 0 ? ", rms roughness " + ShortestText(r.roughness) + " Angstrom (Nevot-Croce)"
                             : std::string(", smooth")) +
            "; angle_mrad: the grazing angle from the surface");
  w.Header({"angle_mrad", "reflectivity(" + m.label + ")"});
  RunSummary s;
  s.note = m.note;
  for (std::int64_t i = 0; i < r.angleCount; ++i) {
    // The last angle is STOP as typed, not a sum's rounding of it.
    const double a = i + 1 == r.angleCount
                         ? r.angleStop
                         : r.angleStart + (r.angleStop - r.angleStart) * static_cast<double>(i) /
                                              static_cast<double>(r.angleCount - 1);
    w.Line({a, Reflectivity(c, kev, a, r.roughness, r.polarization)}, 1);
    ++s.points;
  }
  return s;
}

}  // namespace yex
