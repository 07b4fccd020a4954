// The module's anomalous dispersion and attenuation, from Chantler's tables.
#include "python/module.h"

namespace yex::python {
void DefineDispersion(py::module_& m) {
  m.def(
      "attenuation",
      [](MaterialArg material, Values energy, OptionalFloat densityArg, OptionalFloat thicknessArg,
         Str dataArg) {
        // Checked in yex-cli's order: a mixture's entries, the energies, the
        // density and thickness, then the formula and the elements' data.
        // A string is a formula (an element's symbol a one-atom one), as
        // everywhere a formula is read; a dict or list a mixture by weight.
        // A listed material (yex.material) is its formula, with its density.
        const bool listed = py::isinstance<MaterialEntry>(material);
        const bool formula = listed || py::isinstance<py::str>(material);
        const std::vector<Ingredient> mixture =
            formula ? std::vector<Ingredient>{} : MixtureEntries(material, true);
        // Converted once: an array-like read twice may not give the same values.
        const DoubleArray e = AsArray(energy, "energy_kev");
        for (py::ssize_t i = 0; i < e.size(); ++i) Energy(e.data()[i]);
        std::optional<double> density = OptionalNumber(densityArg, "density");
        std::optional<double> thickness = OptionalNumber(thicknessArg, "thickness");
        if (density) CheckPositive("density", *density);
        if (listed && !density) density = material.cast<const MaterialEntry&>().density;
        if (thickness && !density) Raise(PyExc_ValueError, "thickness needs a density");
        if (thickness) CheckPositive("thickness", *thickness);
        std::string note;
        const Material mat = listed    ? FormulaMaterial(material.cast<const MaterialEntry&>().formula, &note)
                             : formula ? FormulaMaterial(TextArg(material, "material"), &note)
                                       : MixtureMaterial(mixture, "mixture");
        Warn(note);
        const FolderStore store = Tables(TextArg(dataArg, "data"));
        const Attenuation model(mat, store, BuiltInDispersion());
        // One row an energy: photo, coh, incoh, total, then mu, length, transmission.
        std::vector<std::array<double, 7>> rows;
        for (py::ssize_t i = 0; i < e.size(); ++i) {
          const AttenuationValue v = model.At(Energy(e.data()[i]));
          const SampleAttenuation a =
              density ? ThroughSample(v.total, *density, thickness) : SampleAttenuation{};
          rows.push_back({v.photo, v.coh, v.incoh, v.total, a.muPerCm, a.lengthCm, a.transmission});
        }
        py::dict out;
        const char* keys[] = {"photo", "coh", "incoh", "total", "mu_per_cm", "length_cm", "transmission"};
        const std::size_t shown = !density ? 4 : !thickness ? 6 : 7;
        for (std::size_t c = 0; c < shown; ++c) {
          std::size_t k = 0;
          out[keys[c]] = MapOne(e, "energy_kev", [&](double) { return rows[k++][c]; });
        }
        return out;
      },
      py::arg("material"), py::arg("energy_kev"), py::kw_only(), py::arg("density") = py::none(),
      py::arg("thickness") = py::none(), py::arg("data") = "YEX-data");
  m.def(
      "dispersion",
      [](Str name, Values energy) {
        const std::string text = TextArg(name, "name_or_formula");
        const DoubleArray e = AsArray(energy, "energy_kev");
        for (py::ssize_t i = 0; i < e.size(); ++i) Energy(e.data()[i]);
        const FormulaDispersion f = ReadFormulaDispersion(BuiltInDispersion(), text);
        Warn(f.note);
        // Each slice stops at its first refusal; the first in the array's
        // order is the one reported, whatever the number of cores.
        std::vector<std::pair<std::size_t, std::exception_ptr>> failures;
        std::mutex failing;
        py::tuple out =
            MapPairBatch(e, "energy_kev", [&](const double* src, std::size_t n, double* fp, double* fdp) {
              ForEachSlice(n, [&](std::size_t from, std::size_t count) {
                for (std::size_t i = from; i < from + count; ++i) try {
                    const DispersionValue v = DispersionAt(f, KevToEv(src[i]));
                    fp[i] = v.fp;
                    fdp[i] = v.fdp;
                  } catch (...) {
                    const std::lock_guard<std::mutex> lock(failing);
                    failures.emplace_back(i, std::current_exception());
                    return;
                  }
              });
            });
        if (!failures.empty())
          std::rethrow_exception(
              std::min_element(failures.begin(), failures.end(), [](const auto& a, const auto& b) {
                return a.first < b.first;
              })->second);
        return out;
      },
      py::arg("name_or_formula"), py::arg("energy_kev"));
}

}  // namespace yex::python
