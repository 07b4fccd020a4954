// The module's edges, lines and materials (Elam, Ravel and Sieber; Ravel's
// list), the refractive index and a mirror's reflectivity.
#include "python/module.h"

namespace yex::python {
namespace {

// What index and reflectivity are of, as yex-cli reads it: a listed
// material (yex.material), an element's symbol alone (the one listed
// material of that element gives the density), a formula, or a mixture by
// weight.
OpticsRequest OpticsOf(py::handle material, py::handle densityArg) {
  OpticsRequest r;
  using Kind = OpticsRequest::Kind;
  if (py::isinstance<MaterialEntry>(material)) {
    r.kind = Kind::Material;
    r.name = material.cast<const MaterialEntry&>().name;
  } else if (py::isinstance<py::str>(material)) {
    r.name = TextArg(material, "material");
    r.kind = AtomicNumber(r.name) ? Kind::Element : Kind::Formula;
  } else {
    r.kind = Kind::Mixture;
    r.mixture = MixtureEntries(material, true);
    r.name = "mixture";
  }
  if (const std::optional<double> d = OptionalNumber(densityArg, "density"))
    r.density = CheckPositive("density", *d);
  return r;
}

py::dict MaterialDict(const MaterialEntry& m) {
  py::dict d;
  d["name"] = m.name;
  d["formula"] = m.formula;
  d["density"] = m.density;
  return d;
}

}  // namespace

void DefineOptics(py::module_& m) {
  m.def(
      "edges",
      [](const std::string& symbol) {
        py::list out;
        for (const AbsorptionEdge& e : EdgesOf(symbol)) {
          py::dict d;
          d["edge"] = e.name;
          d["energy_kev"] = MovedDecimal(e.energyEv, -3);
          d["fluorescence_yield"] = e.fluorescenceYield;
          d["jump_ratio"] = e.jumpRatio;
          out.append(d);
        }
        return out;
      },
      py::arg("symbol"));
  m.def(
      "lines",
      [](const std::string& symbol, std::optional<std::string> edge) {
        py::list out;
        for (const EmissionLine& l :
             LinesOf(symbol, edge ? std::optional<std::string_view>(*edge) : std::nullopt)) {
          py::dict d;
          d["line"] = l.name;
          d["iupac"] = l.iupac;
          d["energy_kev"] = MovedDecimal(l.energyEv, -3);
          d["intensity"] = l.intensity;
          d["initial"] = l.initial;
          d["final"] = l.final;
          out.append(d);
        }
        return out;
      },
      py::arg("symbol"), py::arg("edge") = py::none());
  m.def(
      "line_energy",
      [](const std::string& symbol, const std::string& line) {
        return FindNamedEnergy(symbol + "-" + line)->keV;
      },
      py::arg("symbol"), py::arg("line"));
  m.def(
      "edge_energy",
      [](const std::string& symbol, const std::string& edge) {
        for (const AbsorptionEdge& e : EdgesOf(symbol))
          if (e.name == edge) return MovedDecimal(e.energyEv, -3);
        throw Error(ErrorKind::Usage, symbol + " has no absorption edge " + edge);
      },
      py::arg("symbol"), py::arg("edge"));
  py::class_<MaterialEntry>(m, "Material", "A listed material: name, formula and density (g/cm3).")
      .def_readonly("name", &MaterialEntry::name)
      .def_readonly("formula", &MaterialEntry::formula)
      .def_readonly("density", &MaterialEntry::density)
      .def("__repr__", [](const MaterialEntry& e) {
        return "yex.Material(" + e.name + ", " + e.formula + ", " + ShortestText(e.density) + " g/cm3)";
      });
  m.def(
      "materials",
      [](const std::string& data) {
        const FolderStore store = Tables(data);
        py::list out;
        for (const std::vector<MaterialEntry>& list : {store.Materials(), BuiltInMaterials()})
          for (const MaterialEntry& e : list) out.append(MaterialDict(e));
        return out;
      },
      py::arg("data") = "YEX-data");
  m.def(
      "material",
      [](const std::string& name, const std::string& data) {
        return FindMaterial(name, Tables(data).Materials());
      },
      py::arg("name"), py::arg("data") = "YEX-data");
  m.def(
      "index",
      [](MaterialArg material, Values energy, OptionalFloat densityArg, Str dataArg) {
        const OpticsRequest r = OpticsOf(material, densityArg);
        const DoubleArray e = AsArray(energy, "energy_kev");
        for (py::ssize_t i = 0; i < e.size(); ++i) Energy(e.data()[i]);
        const FolderStore store = Tables(TextArg(dataArg, "data"));
        const OpticalMaterial m = ResolveOpticalMaterial(r, store);
        Warn(m.note);
        const Attenuation attenuation(m.material, store, BuiltInDispersion());
        std::vector<OpticalConstants> rows;
        for (py::ssize_t i = 0; i < e.size(); ++i)
          rows.push_back(IndexOf(m.material, m.density, e.data()[i], BuiltInDispersion(), &attenuation));
        py::dict out;
        const char* keys[] = {"delta", "beta", "critical_angle_mrad", "length_cm"};
        for (int c = 0; c < 4; ++c) {
          std::size_t k = 0;
          out[keys[c]] = MapOne(e, "energy_kev", [&](double) {
            const OpticalConstants& n = rows[k++];
            return c == 0 ? n.delta : c == 1 ? n.beta : c == 2 ? n.criticalAngleMrad : n.lengthCm;
          });
        }
        return out;
      },
      py::arg("material"), py::arg("energy_kev"), py::kw_only(), py::arg("density") = py::none(),
      py::arg("data") = "YEX-data");
  m.def(
      "reflectivity",
      [](MaterialArg material, Float energyArg, Values angle, OptionalFloat densityArg, Float roughnessArg,
         const std::string& polarization, Str dataArg) {
        OpticsRequest r = OpticsOf(material, densityArg);
        const double kev = Energy(NumberArg(energyArg, "energy_kev"));
        const double roughness = NumberArg(roughnessArg, "roughness");
        if (!(roughness >= 0)) Raise(PyExc_ValueError, "roughness must be 0 or more (Angstrom, rms)");
        r.polarization = ParsePolarization(polarization);
        const DoubleArray a = AsArray(angle, "angle_mrad");
        for (py::ssize_t i = 0; i < a.size(); ++i)
          if (!IsGrazingAngle(a.data()[i]))
            Raise(PyExc_ValueError, "angle " + ShortestText(a.data()[i]) +
                                        " mrad: angles must lie above 0 and below 1570.79 mrad");
        const FolderStore store = Tables(TextArg(dataArg, "data"));
        const OpticalMaterial m = ResolveOpticalMaterial(r, store);
        Warn(m.note);
        const OpticalConstants n = IndexOf(m.material, m.density, kev, BuiltInDispersion());
        return MapOne(a, "angle_mrad",
                      [&](double t) { return Reflectivity(n, kev, t, roughness, r.polarization); });
      },
      py::arg("material"), py::arg("energy_kev"), py::arg("angle_mrad"), py::kw_only(),
      py::arg("density") = py::none(), py::arg("roughness") = 0.0, py::arg("polarization") = "s",
      py::arg("data") = "YEX-data");
}

}  // namespace yex::python
