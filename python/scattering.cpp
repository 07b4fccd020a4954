// The module's cross sections, differential cross sections and composition
// averages.
#include "python/module.h"

namespace yex::python {
namespace {

py::dict Average(AverageCompositionArg composition, Values x, OptionalFloat energyArg,
                 OptionalFloat wavelengthArg, OptionalInt breitDiracArg, Str dataArg, Bool anomalousArg) {
  const std::optional<double> energyKeV = OptionalNumber(energyArg, "energy_kev");
  const std::optional<double> wavelength = OptionalNumber(wavelengthArg, "wavelength");
  std::optional<int> breitDirac;
  if (!breitDiracArg.is_none()) {
    if (!py::isinstance<py::int_>(breitDiracArg) || py::isinstance<py::bool_>(breitDiracArg))
      WrongType("breit_dirac", breitDiracArg, "2 or 3");
    breitDirac = breitDiracArg.cast<int>();
  }
  const bool anomalous = FlagArg(anomalousArg, "anomalous");
  const std::string data = TextArg(dataArg, "data");
  const FolderStore store = Tables(data);
  std::vector<Constituent> parts;
  std::vector<std::string> names;
  std::vector<const Table*> objects;
  const std::vector<CountEntry> entries = Composition(composition, &objects);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (k < objects.size() && objects[k]) {
      parts.push_back({objects[k]->lookup, entries[k].count});
      names.push_back(objects[k]->name);
      continue;
    }
    const std::string file = store.Resolve(entries[k].table);
    parts.push_back({TableLookup(store.Load(file)), entries[k].count});
    names.push_back(TableDisplayName(file));
  }
  if (anomalous) {
    if (!energyKeV && !wavelength) Raise(PyExc_ValueError, "anomalous needs energy_kev or wavelength");
    const std::vector<std::pair<double, double>> d = DispersionOfTables(
        BuiltInDispersion(), TablesOf(entries), MakeBeam(energyKeV, wavelength).EnergyKeV());
    for (std::size_t k = 0; k < parts.size(); ++k) parts[k].dispersion = d[k];
  }
  Warn(NotElementNote(names, true));
  if (breitDirac) {
    MakeBreitDirac(breitDirac);
    if (!energyKeV && !wavelength) Raise(PyExc_ValueError, "breit_dirac needs energy_kev or wavelength");
  }
  const Beam beam = MakeBeam(energyKeV, wavelength);
  const double e = beam.lambda ? beam.EnergyKeV() : kNaN;
  const std::vector<double> c = AtomFractions(parts);
  const DoubleArray in = AsArray(x, "x");
  const std::vector<py::ssize_t> shape = ShapeOf(in);
  py::array_t<double> f2(shape), fsq(shape), s(shape), bd(shape);
  double *pf2 = f2.mutable_data(), *pfsq = fsq.mutable_data(), *ps = s.mutable_data(),
         *pbd = bd.mutable_data();
  const double* src = in.data();
  {
    py::gil_scoped_release release;
    for (py::ssize_t i = 0; i < in.size(); ++i) {
      const CompositionAverages a = AverageAt(parts, c, src[i]);
      double factor = kNaN;
      if (breitDirac && a.inRange && !BreitDiracFactor(src[i], e, *breitDirac, &factor)) factor = kNaN;
      pf2[i] = a.inRange ? a.f2Mean : kNaN;
      pfsq[i] = a.inRange ? a.fMeanSq : kNaN;
      ps[i] = a.inRange ? a.sMean : kNaN;
      pbd[i] = a.inRange ? a.sMean * factor : kNaN;
    }
  }
  py::dict out;
  auto put = [&](const char* key, py::array_t<double>& arr) {
    out[key] = in.ndim() == 0 ? py::object(py::float_(arr.data()[0])) : py::object(arr);
  };
  put("f2_mean", f2);
  put("f_mean_sq", fsq);
  put("S_mean", s);
  if (breitDirac) put("S_mean_BD", bd);
  return out;
}

}  // namespace

void DefineScattering(py::module_& m) {
  m.def(
      "cross_section",
      [](TableObject table, Values energy) {
        const Table& t = TableArg(table, "table");
        const DoubleArray e = AsArray(energy, "energy_kev");
        for (py::ssize_t i = 0; i < e.size(); ++i) Energy(e.data()[i]);
        const char* why = nullptr;
        double failedAt = 0.0;
        const CrossSectionTable integrals(t.lookup);
        py::tuple out = MapPair(e, "energy_kev", [&](double keV, double* coh, double* incoh) {
          CrossSectionPair p;
          const char* reason = nullptr;
          if (integrals.At(keV, &p, &reason)) {
            *coh = p.coh;
            *incoh = p.incoh;
          } else {
            *coh = *incoh = kNaN;
            if (!why) why = reason, failedAt = keV;
          }
        });
        if (why)
          throw Error(ErrorKind::OutOfRange,
                      CrossSectionFailure(TableFileName(t.name), failedAt, why, &t.lookup));
        Warn(NotElementNote({t.name}, false));
        return out;
      },
      py::arg("table"), py::arg("energy_kev"));
  m.def(
      "dcs",
      [](TableObject table, Values theta, Float energyKeV) {
        const Table& t = TableArg(table, "table");
        CheckScalarTheta(theta);
        const double e = Energy(NumberArg(energyKeV, "energy_kev"));
        const double lambda = WavelengthFromEnergy(e);
        return MapPair(theta, "theta", [&t, e, lambda](double th, double* dcoh, double* dincoh) {
          const double x = ThetaInRange(th) ? XFromAngle(th, lambda) : kNaN;
          const LookupResult r = t.lookup(x);
          CrossSectionPair d;
          if (r.inRange && DifferentialCrossSections(x, r.f, r.s, e, &d)) {
            *dcoh = d.coh;
            *dincoh = d.incoh;
          } else {
            *dcoh = *dincoh = kNaN;
          }
        });
      },
      py::arg("table"), py::arg("theta"), py::arg("energy_kev"));
  m.def("average", &Average, py::arg("composition"), py::arg("x"), py::kw_only(),
        py::arg("energy_kev") = py::none(), py::arg("wavelength") = py::none(),
        py::arg("breit_dirac") = py::none(), py::arg("data") = "YEX-data", py::arg("anomalous") = false);
}

}  // namespace yex::python
