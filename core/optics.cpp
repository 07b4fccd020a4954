#include "core/optics.h"

#include <cmath>

#include "core/anomalous.h"
#include "core/cross_section.h"
#include "core/elementary_functions.h"
#include "core/elements.h"
#include "core/error.h"
#include "core/numeric.h"
#include "core/units.h"
#include "core/xray_data.h"

namespace yex {
namespace {

// Complex numbers by IEEE operations alone (and the square root, which IEEE
// rounds exactly): the same bits in every front end.
struct Complex {
  double re, im;
};
Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
Complex operator*(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
Complex operator/(Complex a, Complex b) {
  const double d = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}
double Norm(Complex a) { return a.re * a.re + a.im * a.im; }
// The root with a real part of 0 or more (the wave that decays into the
// material).
Complex Sqrt(Complex z) {
  const double m = std::sqrt(z.re * z.re + z.im * z.im);
  if (m == 0) return {0, 0};
  if (z.re >= 0) {
    const double re = std::sqrt((m + z.re) / 2);
    return {re, z.im / (2 * re)};
  }
  const double im = std::copysign(std::sqrt((m - z.re) / 2), z.im);
  return {z.im / (2 * im), im};
}
Complex ExpOf(Complex z) {
  const double r = Exp(z.re);
  return {r * Sin(z.im + kPi / 2), r * Sin(z.im)};
}

}  // namespace

OpticalConstants IndexOf(const Material& m, double density, double energyKeV,
                         const DispersionSource& dispersion, const Attenuation* attenuation) {
  const double lambdaCm = WavelengthFromEnergy(energyKeV) * 1e-8, ev = KevToEv(energyKeV);
  double sumDelta = 0, sumBeta = 0;
  for (std::size_t i = 0; i < m.z.size(); ++i) {
    const AnomalousValue v = AnomalousAt(dispersion.Table(m.z[i]), ev);
    const double atoms = density * kAvogadro * m.massFraction[i] / m.atomicWeight[i];  // per cm3
    sumDelta += atoms * (m.z[i] + v.fp);
    sumBeta += atoms * v.fdp;
  }
  const double scale = kElectronRadiusCm * lambdaCm * lambdaCm / (2 * kPi);
  OpticalConstants n{scale * sumDelta, scale * sumBeta, 0, 0};
  n.criticalAngleMrad = std::sqrt(2 * std::fmax(n.delta, 0.0)) * 1000;
  if (!std::isfinite(n.delta) || !std::isfinite(n.beta) || !(n.beta > 0))
    Fail(ErrorKind::OutOfRange,
         m.name + " at " + ShortestText(energyKeV) + " keV: the index is beyond the range of doubles");
  if (attenuation)
    n.lengthCm = ThroughSample(attenuation->At(energyKeV).total, density, std::nullopt).lengthCm;
  return n;
}

double Reflectivity(const OpticalConstants& n, double energyKeV, double angleMrad, double roughness,
                    Polarization polarization) {
  const double s = Sin(angleMrad / 1000), d = n.delta, b = n.beta;
  // n^2 - cos^2 t, with (1 - d)^2 - cos^2 t written out so nothing cancels.
  const Complex q = Sqrt({s * s - 2 * d + d * d - b * b, 2 * (1 - d) * b});
  const Complex n2{(1 - d) * (1 - d) - b * b, 2 * (1 - d) * b};
  Complex damping{1, 0};
  if (roughness > 0) {
    const double k = 2 * kPi / WavelengthFromEnergy(energyKeV), f = -2 * k * k * roughness * roughness * s;
    damping = ExpOf({f * q.re, f * q.im});
  }
  const Complex sin{s, 0};
  const double rs = Norm((sin - q) / (sin + q) * damping);
  const double rp = Norm((n2 * sin - q) / (n2 * sin + q) * damping);
  return polarization == Polarization::S ? rs : polarization == Polarization::P ? rp : (rs + rp) / 2;
}

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

std::vector<const AnomalousTable*> TablesOf(const Material& m, const DispersionSource& dispersion) {
  std::vector<const AnomalousTable*> tables;
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
