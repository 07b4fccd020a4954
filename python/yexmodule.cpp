// The Python module `yex`: tables, lookups on NumPy arrays, compounds and
// mixtures, cross sections and composition averages, over the very code of
// the windows and yex-cli.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/anomalous.h"
#include "core/attenuation.h"
#include "core/composition.h"
#include "core/cross_section.h"
#include "core/elements.h"
#include "core/error.h"
#include "core/formula.h"
#include "core/numeric.h"
#include "core/optics.h"
#include "core/report.h"
#include "core/request.h"
#include "core/shipped_tables.h"
#include "core/table_file.h"
#include "core/table_grid.h"
#include "core/table_lookup.h"
#include "core/table_name.h"
#include "core/units.h"
#include "core/xray_data.h"

namespace py = pybind11;
using namespace yex;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

[[noreturn]] void Raise(PyObject* type, const std::string& message) {
  PyErr_SetString(type, message.c_str());
  throw py::error_already_set();
}

// The arguments as Python hands them, checked here so that a wrong type is a
// TypeError naming the argument and the value (not a cast message, nor a
// None read as NaN) and a wrong value of the right type a ValueError.
[[noreturn]] void WrongType(const std::string& name, py::handle v, const char* want) {
  Raise(PyExc_TypeError, name + " must be " + want + ", not " + py::repr(v).cast<std::string>() + " (" +
                             Py_TYPE(v.ptr())->tp_name + ")");
}

double NumberArg(py::handle v, const std::string& name) {
  if (v.is_none() || py::isinstance<py::bool_>(v) || py::isinstance<py::str>(v) ||
      py::isinstance<py::bytes>(v))
    WrongType(name, v, "a number");
  PyObject* f = PyNumber_Float(v.ptr());
  if (!f) {
    PyErr_Clear();
    WrongType(name, v, "a number");
  }
  const double d = PyFloat_AsDouble(f);
  Py_DECREF(f);
  return d;
}

std::optional<double> OptionalNumber(py::handle v, const std::string& name) {
  if (v.is_none()) return std::nullopt;
  return NumberArg(v, name);
}

std::string TextArg(py::handle v, const std::string& name) {
  if (py::isinstance<py::str>(v)) return v.cast<std::string>();
  // A path object names a file as well as its text does.
  if (!v.is_none() && py::hasattr(v, "__fspath__")) {
    const py::object p = v.attr("__fspath__")();
    if (py::isinstance<py::str>(p)) return p.cast<std::string>();
  }
  WrongType(name, v, "a string");
}

std::optional<std::string> OptionalText(py::handle v, const std::string& name) {
  if (v.is_none()) return std::nullopt;
  return TextArg(v, name);
}

bool FlagArg(py::handle v, const std::string& name) {
  if (!py::isinstance<py::bool_>(v)) WrongType(name, v, "True or False");
  return v.cast<bool>();
}

// The core's errors as Python's: the one mapping of this front end.
PyObject* ExceptionFor(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::MissingTable:
      return PyExc_FileNotFoundError;
    case ErrorKind::Io:
      return PyExc_OSError;
    case ErrorKind::Exists:
      return PyExc_FileExistsError;
    case ErrorKind::Usage:
    case ErrorKind::UnreadableData:
    case ErrorKind::OutOfRange:
      break;
  }
  return PyExc_ValueError;
}

// A table in memory with its prepared lookup.
struct Table {
  std::string name;
  ScatteringTable rows;
  TableLookup lookup;
  bool built = false;  // made here (compound, mixture, arrays), not a file read
  std::string source;  // "YEX-data/C.yex", "built in", "compound H2O", "arrays"
  Table(std::string n, const ScatteringTable& t, bool b, std::string from)
      : name(std::move(n)), rows(t), lookup(t), built(b), source(std::move(from)) {}
};

// The file name of a path, without ".yex".
std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return TableDisplayName(slash == std::string::npos ? path : path.substr(slash + 1));
}

Table ReadTable(py::handle pathArg) {
  const std::string path = TextArg(pathArg, "path");
  return Table(NameOf(path), ReadTableFile(path), false, path);
}

// The folder `data` first, then the shipped tables built in: the module
// works in any folder.
FolderStore Tables(const std::string& data) {
  FolderStore store(data);
  store.SetFallback(&Shipped());
  return store;
}

// A table of the data folder by name ("Fe", "Water.yex"), as yex-cli finds it.
Table TableNamed(py::handle nameArg, py::handle dataArg) {
  const std::string name = TextArg(nameArg, "name"), data = TextArg(dataArg, "data");
  const FolderStore store = Tables(data);
  const std::string file = store.Resolve(name);
  const bool own = IsThere(store.Path(file));
  return Table(TableDisplayName(file), store.Load(file), false, own ? store.Describe(file) : "built in");
}

// A new table's name only names it: one that no file could take, or an
// element's, is refused; whether a table of that name exists matters only
// when it is saved.
void CheckNewName(const std::optional<std::string>& name, const FolderStore& store) {
  if (name) store.CheckNewTable(*name, true);
}

py::array_t<double> Column(const std::vector<double>& c) {
  py::array_t<double> out(static_cast<py::ssize_t>(c.size() - 1));
  std::copy(c.begin() + 1, c.end(), out.mutable_data());
  return out;
}

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

DoubleArray AsArray(py::handle values, const char* what) {
  // Numbers only, as a scalar or in a list alike: NumPy would read "0.1"
  // and None as numbers.
  const char* want = "a number or an array of numbers";
  if (values.is_none() || py::isinstance<py::str>(values) || py::isinstance<py::bytes>(values) ||
      py::isinstance<py::bool_>(values))
    WrongType(what, values, want);
  py::array raw = py::array::ensure(values);
  if (!raw) {
    PyErr_Clear();
    WrongType(what, values, want);
  }
  const char kind = raw.dtype().kind();
  if (kind != 'f' && kind != 'i' && kind != 'u') WrongType(what, values, want);
  DoubleArray a = DoubleArray::ensure(raw);
  if (!a) {
    PyErr_Clear();
    WrongType(what, values, want);
  }
  return a;
}

const Table& TableArg(py::handle v, const char* name) {
  try {
    return v.cast<const Table&>();
  } catch (const py::cast_error&) {
    WrongType(name, v, "a yex.Table");
  }
}

std::vector<py::ssize_t> ShapeOf(const DoubleArray& a) { return {a.shape(), a.shape() + a.ndim()}; }

// f(value, &first, &second) over every element, without the GIL; a 0-d
// input gives two floats, any other shape two arrays of that shape.
// Runs `work(from, count)` over 0..n: in one piece below 65,536 points
// (a thread costs more than it saves there), else in one slice a core.
template <typename W>
void ForEachSlice(std::size_t n, const W& work) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t slices = std::min(cores, std::max<std::size_t>(1, n / 65536));
  std::vector<std::thread> others;
  const std::size_t step = (n + slices - 1) / std::max<std::size_t>(1, slices);
  for (std::size_t k = 1; k < slices; ++k) {
    const std::size_t from = k * step;
    if (from < n) others.emplace_back([&work, from, n, step] { work(from, std::min(step, n - from)); });
  }
  work(0, std::min(step, n));
  for (std::thread& t : others) t.join();
}

// Two arrays of the input's shape from `f(src, n, a, b)`, run without the GIL.
// Both halves of one allocation (each a contiguous view): one block the
// allocator keeps and hands back on the next call, where two blocks of a
// large array go back to the system and come again as fresh pages, which
// cost more than the lookups on an array of a million points.
template <typename F>
py::tuple MapPairBatch(py::handle values, const char* what, const F& f) {
  const DoubleArray in = AsArray(values, what);
  std::vector<py::ssize_t> shape = ShapeOf(in);
  shape.insert(shape.begin(), 2);
  py::array_t<double> both(shape);
  const double* src = in.data();
  const auto n = static_cast<std::size_t>(in.size());
  double* pa = both.mutable_data();
  double* pb = pa + n;
  {
    py::gil_scoped_release release;
    f(src, n, pa, pb);
  }
  if (in.ndim() == 0) return py::make_tuple(pa[0], pb[0]);
  return py::make_tuple(both[py::int_(0)], both[py::int_(1)]);
}

template <typename F>
py::tuple MapPair(py::handle values, const char* what, const F& f) {
  return MapPairBatch(values, what, [&f](const double* src, std::size_t n, double* pa, double* pb) {
    for (std::size_t i = 0; i < n; ++i) f(src[i], pa + i, pb + i);
  });
}

template <typename F>
py::object MapOne(py::handle values, const char* what, const F& f) {
  const DoubleArray in = AsArray(values, what);
  py::array_t<double> out(ShapeOf(in));
  const double* src = in.data();
  double* dst = out.mutable_data();
  const py::ssize_t n = in.size();
  {
    py::gil_scoped_release release;
    for (py::ssize_t i = 0; i < n; ++i) dst[i] = f(src[i]);
  }
  if (in.ndim() == 0) return py::float_(dst[0]);
  return std::move(out);
}

double Wavelength(std::optional<double> energyKeV, std::optional<double> wavelength, bool required) {
  if (!energyKeV && !wavelength) {
    if (required) Raise(PyExc_ValueError, "give energy_kev or wavelength");
    return kNaN;
  }
  return *MakeBeam(energyKeV, wavelength).lambda;
}

double Energy(double keV) { return CheckPositive("energy", keV); }

// An angle outside 0..180 degrees gives NaN in an array, as other points out
// of range do; alone it is an error.
void CheckScalarTheta(py::handle theta) {
  if (!py::isinstance<py::float_>(theta) && !py::isinstance<py::int_>(theta)) return;
  const double t = theta.cast<double>();
  if (!ThetaInRange(t) && !std::isnan(t))
    Raise(PyExc_ValueError, "theta " + ShortestText(t) + ": " + kAngleRange);
}

// A note as Python's UserWarning, when there is one, pointing at the line
// that called the package's function (one frame above yex/__init__.py).
void Warn(const std::string& note) {
  if (!note.empty() && PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 2) != 0) throw py::error_already_set();
}

// A formula, or {table: count}, as the core's entries.
// A composition's table: a name, or (where `objects` is given) a yex.Table
// itself, recorded in `objects` (nullptr for a name) in the entries' order.
std::string CompositionTable(py::handle k, std::vector<const Table*>* objects) {
  if (objects) {
    const bool object = py::isinstance<Table>(k);
    objects->push_back(object ? &k.cast<const Table&>() : nullptr);
    if (object) return objects->back()->name;
  }
  return TextArg(k, "a composition's table");
}

std::vector<CountEntry> Composition(py::handle composition, std::vector<const Table*>* objects = nullptr) {
  std::vector<CountEntry> out;
  // [(table, count), ...] as a mixture's constituents may be given.
  if (py::isinstance<py::list>(composition) || py::isinstance<py::tuple>(composition)) {
    py::dict d;
    for (const py::handle e : composition) {
      if ((!py::isinstance<py::tuple>(e) && !py::isinstance<py::list>(e)) || py::len(e) != 2)
        WrongType("a constituent", e, "a pair (table, count)");
      const py::sequence pair = py::reinterpret_borrow<py::sequence>(e);
      out.push_back(
          MakeCountEntry(CompositionTable(pair[0], objects),
                         NumberArg(pair[1], "the count of " + py::str(pair[0]).cast<std::string>())));
    }
    if (out.empty()) Raise(PyExc_ValueError, "the composition is empty");
    return out;
  }
  if (py::isinstance<py::str>(composition)) {
    std::string note;
    std::vector<CountEntry> entries = FormulaEntries(composition.cast<std::string>(), &note);
    Warn(note);
    return entries;
  }
  if (!py::isinstance<py::dict>(composition))
    WrongType("composition", composition, "a formula, a dict {table: count} or a list of (table, count)");
  for (const auto& [k, v] : composition.cast<py::dict>()) {
    const std::string table = CompositionTable(k, objects);
    out.push_back(MakeCountEntry(table, NumberArg(v, "composition['" + table + "']")));
  }
  if (out.empty()) Raise(PyExc_ValueError, "the composition is empty");
  return out;
}

void Save(const Table& t, py::handle pathArg, py::handle overwriteArg);

// The table, written to `save` when a path is given.
Table Saved(Table t, py::handle save, py::handle overwrite) {
  if (!save.is_none())
    Save(t, save, overwrite);
  else
    FlagArg(overwrite, "overwrite");
  return t;
}

Table Compound(py::handle composition, py::handle dataArg, py::handle nameArg, py::handle save,
               py::handle overwrite) {
  const std::string data = TextArg(dataArg, "data");
  const std::optional<std::string> name = OptionalText(nameArg, "name");
  const std::vector<CountEntry> entries = Composition(composition);
  const std::string fallback =
      py::isinstance<py::str>(composition) ? composition.cast<std::string>() : "compound";
  const FolderStore store = Tables(data);
  CheckNewName(name, store);
  const BuiltTable b = BuildCompound(name.value_or(fallback), entries, store);
  return Saved(Table(name.value_or(fallback), b.result.table, true, "compound " + fallback), save, overwrite);
}

// A mixture's constituents: [(table, percent[, atomic weight]), ...] or, as
// a composition is given, {table: percent} / {table: (percent, atomic weight)}.
std::vector<Ingredient> MixtureEntries(py::handle parts, bool elementsOnly = false) {
  std::vector<std::pair<py::object, py::object>> items;  // table, rest
  if (py::isinstance<py::dict>(parts)) {
    for (const auto& [k, v] : parts.cast<py::dict>())
      items.emplace_back(py::reinterpret_borrow<py::object>(k), py::reinterpret_borrow<py::object>(v));
  } else if (py::isinstance<py::list>(parts) || py::isinstance<py::tuple>(parts)) {
    for (const py::handle t : parts) {
      if (!py::isinstance<py::tuple>(t) && !py::isinstance<py::list>(t))
        WrongType("a constituent", t, "a tuple (table, percent[, atomic weight])");
      const py::sequence seq = py::reinterpret_borrow<py::sequence>(t);
      if (seq.size() < 2 || seq.size() > 3)
        Raise(PyExc_ValueError, "a constituent is (table, percent[, atomic weight])");
      items.emplace_back(seq[0], py::tuple(seq[py::slice(1, seq.size(), 1)]));
    }
  } else {
    WrongType("constituents", parts,
              "a list of (table, percent[, atomic weight]) or a dict {table: percent}");
  }
  std::vector<Ingredient> entries;
  for (const auto& [k, rest] : items) {
    const std::string table = TextArg(k, "a constituent's table");
    py::object percent = rest, weight = py::none();
    if (py::isinstance<py::tuple>(rest) || py::isinstance<py::list>(rest)) {
      const py::sequence seq = py::reinterpret_borrow<py::sequence>(rest);
      if (seq.size() < 1 || seq.size() > 2)
        Raise(PyExc_ValueError, table + ": a constituent is (percent[, atomic weight])");
      percent = seq[0];
      if (seq.size() == 2) weight = seq[1];
    }
    entries.push_back(MakeMixtureEntry(table, NumberArg(percent, table + "'s weight percent"),
                                       OptionalNumber(weight, table + "'s atomic weight"), elementsOnly));
  }
  return entries;
}

Table Mixture(py::handle parts, py::handle dataArg, py::handle nameArg, py::handle save,
              py::handle overwrite) {
  const std::string data = TextArg(dataArg, "data");
  const std::optional<std::string> name = OptionalText(nameArg, "name");
  const std::vector<Ingredient> entries = MixtureEntries(parts);
  const FolderStore store = Tables(data);
  CheckNewName(name, store);
  const BuiltTable b = BuildMixture(name.value_or("mixture"), entries, store);
  return Saved(Table(name.value_or("mixture"), b.result.table, true, "mixture"), save, overwrite);
}

// A table from the user's own values of x, F and S, any number of rows from
// 2, kept exactly, by the strict rules of every table.
Table FromArrays(py::handle x, py::handle f, py::handle s, py::handle nameArg) {
  const std::string name = TextArg(nameArg, "name");
  const DoubleArray columns[] = {AsArray(x, "x"), AsArray(f, "F"), AsArray(s, "S")};
  for (const DoubleArray& a : columns)
    if (a.ndim() != 1) Raise(PyExc_ValueError, "x, F and S must each be one-dimensional, one value a row");
  if (columns[1].size() != columns[0].size() || columns[2].size() != columns[0].size())
    Raise(PyExc_ValueError,
          "x, F and S hold " + std::to_string(columns[0].size()) + ", " + std::to_string(columns[1].size()) +
              " and " + std::to_string(columns[2].size()) + " values; a table needs one of each a row");
  return Table(name,
               GridTable(columns[0].data(), columns[1].data(), columns[2].data(),
                         static_cast<std::size_t>(columns[0].size()), name),
               true, "arrays");
}

Table ReadCsv(py::handle pathArg, py::handle nameArg) {
  const std::string path = TextArg(pathArg, "path");
  const std::optional<std::string> name = OptionalText(nameArg, "name");
  std::string stem = NameOf(path);
  if (const std::size_t dot = stem.rfind('.'); dot != std::string::npos && dot > 0) stem.erase(dot);
  return Table(name.value_or(stem), ReadCsvTableFile(path), true, path);
}

// The table as its file would hold it: x to 3 digits, F and S to 5.
Table AsWritten(const Table& t) {
  ScatteringTable rows = t.rows;
  if (rows.rows() != TableRowCount)
    Raise(PyExc_ValueError, t.name + ": " + TableFileMisfit(rows) + "; no file can hold it");
  if (!RoundAsWritten(&rows)) Raise(PyExc_ValueError, t.name + ": a value is not a finite number");
  return Table(t.name, rows, t.built, t.source);
}

void Save(const Table& t, py::handle pathArg, py::handle overwriteArg) {
  const std::string path = TextArg(pathArg, "path");
  const bool overwrite = FlagArg(overwriteArg, "overwrite");
  // A compound or mixture never takes an element's file; an element's own
  // table may go back under its own name, and under no other element's.
  const std::size_t slash = path.find_last_of("/\\");
  const std::string target = TableDisplayName(slash == std::string::npos ? path : path.substr(slash + 1));
  const int z = ElementOfTableName(target);
  // Values a file cannot hold are not rounded away unasked.
  if (const std::string misfit = TableFileMisfit(t.rows); !misfit.empty())
    Raise(PyExc_ValueError,
          t.name + " cannot be saved as a table file: " + misfit +
              (t.rows.rows() == TableRowCount ? "; as_written() rounds it as the file would" : ""));
  SaveTableAt(path, t.rows, overwrite, !t.built && z != 0 && z == ElementOfTableName(t.name));
}

py::dict Average(py::handle composition, py::handle x, py::handle energyArg, py::handle wavelengthArg,
                 py::handle breitDiracArg, py::handle dataArg, py::handle anomalousArg) {
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
    const std::vector<std::pair<double, double>> d =
        DispersionOfTables(TablesOf(entries), MakeBeam(energyKeV, wavelength).EnergyKeV());
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

// The extension `yex._yex` of the package `yex` (python/yex/__init__.py),
// in the .deb and the pip package alike.
#ifndef YEX_PYTHON_MODULE
#define YEX_PYTHON_MODULE _yex
#endif

const char* const kAttenuationDoc =
    "How much a material attenuates at the photon energy in keV (a float or an\n"
    "array), in cm2/g: 'photo' (Chantler's photoabsorption), 'coh' and 'incoh'\n"
    "(YEX's own cross sections of the element tables, as cross_section gives\n"
    "them per gram) and 'total'; with density (g/cm3) also 'mu_per_cm' and\n"
    "'length_cm', with thickness (cm) 'transmission'. material: a formula, read\n"
    "case-sensitively ('Fe', 'H2O'; 'CO' is carbon monoxide, 'Co' cobalt), or a\n"
    "mixture by weight of elements ({table: percent} or {table: (percent,\n"
    "atomic weight)}, tables in any case), by the mixture rule. A hydrate\n"
    "written with a period ('CuSO4.5H2O' reads O4.5) gives a UserWarning.\n"
    "ValueError for an energy outside Chantler's tables or an element without\n"
    "data.";
const char* const kDispersionDoc =
    "(f', f'') in electrons at the photon energy in keV (a float or an array), from\n"
    "Chantler's tables (Z = 1-92) for one formula unit of a formula, the sum over\n"
    "its atoms; the formula is read case-sensitively, an element's symbol being a\n"
    "one-atom formula ('CO' is carbon monoxide, 'Co' cobalt). ValueError for an\n"
    "energy outside the tables or an element without data.";

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

PYBIND11_MODULE(YEX_PYTHON_MODULE, m) {
  m.doc() =
      "YEX: atomic form factors F(x) and incoherent scattering functions S(x).\n\n"
      "Conventions: x = sin(theta/2)/lambda in 1/Angstrom (the tables' abscissa);\n"
      "Q = 4*pi*x in 1/Angstrom; theta is the scattering angle in degrees (what\n"
      "diffraction calls 2-theta); lambda = 12.398419843320026 / E[keV] Angstrom.\n"
      "Lookups are the main window's: log-log interpolation between rows, defined\n"
      "for x in 0.005..1000 (NaN outside). Cross sections are in barn (per atom,\n"
      "formula unit, or amount holding one atom of a mixture's first constituent),\n"
      "differential ones in barn/sr. The same C++ as the YEX windows and yex-cli.";
  m.attr("__version__") = YEX_VERSION;
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const Error& e) {
      const std::string hint = e.kind() == ErrorKind::Exists ? "; pass overwrite=True to replace it" : "";
      PyErr_SetString(ExceptionFor(e.kind()), (e.what() + hint).c_str());
    }
  });

  py::class_<Table>(m, "Table", "A table of x (1/Angstrom), F(x) and S(x): a file's 45 rows, or any grid.")
      .def(py::init(&FromArrays), py::arg("x"), py::arg("f"), py::arg("s"), py::kw_only(),
           py::arg("name") = "table",
           "A table from values of x (0 first, ascending), F and S (finite, not\n"
           "negative), as many rows as given from 2, kept exactly; ValueError naming\n"
           "the row otherwise.")
      .def_property_readonly(
          "source", [](const Table& t) { return t.source; },
          "Where the table comes from: its file, 'built in', 'compound H2O', 'mixture'\n"
          "or 'arrays'.")
      .def(py::pickle(
          [](const Table& t) {
            py::list x, f, s, text;
            for (int i = 1; i <= t.rows.rows(); ++i) {
              x.append(t.rows.x[static_cast<std::size_t>(i)]);
              f.append(t.rows.f[static_cast<std::size_t>(i)]);
              s.append(t.rows.s[static_cast<std::size_t>(i)]);
              text.append(py::bytes(t.rows.rowText[static_cast<std::size_t>(i)]));
            }
            return py::make_tuple(t.name, t.source, t.built, x, f, s, text);
          },
          [](const py::tuple& state) {
            // The state is read as a table file is: strictly, from the rows'
            // own text. What it came from is not trusted: an unpickled table
            // counts as built, so it never takes an element's name.
            if (state.size() != 7) Raise(PyExc_ValueError, "not the state of a yex.Table");
            const std::string name = TextArg(state[0], "the table's name");
            const py::list text = state[6].cast<py::list>();
            // A table that came as numbers (arrays, CSV) has no row texts:
            // its numbers are checked as they were when it was made.
            bool numbers = true;
            for (const py::handle line : text) numbers = numbers && py::len(line) == 0;
            if (numbers) {
              const DoubleArray x = AsArray(state[3], "x"), f = AsArray(state[4], "F"),
                                s = AsArray(state[5], "S");
              if (x.ndim() != 1 || f.size() != x.size() || s.size() != x.size())
                Raise(PyExc_ValueError, "not the state of a yex.Table");
              return Table(name,
                           GridTable(x.data(), f.data(), s.data(), static_cast<std::size_t>(x.size()), name),
                           true, TextArg(state[1], "the table's source"));
            }
            if (py::len(text) != TableRowCount) Raise(PyExc_ValueError, "not the state of a yex.Table");
            std::string bytes;
            for (const py::handle line : text) bytes += line.cast<std::string>() + "\r\n";
            ScatteringTable rows;
            TableProblem problem;
            if (!ParseTableStrict(bytes, rows, &problem))
              Raise(PyExc_ValueError, DescribeProblem(name, problem));
            return Table(name, rows, true, TextArg(state[1], "the table's source"));
          }))
      .def_property_readonly(
          "name", [](const Table& t) { return t.name; }, "The table's name, without .yex.")
      .def_property_readonly(
          "x", [](const Table& t) { return Column(t.rows.x); }, "x of the rows, 1/Angstrom (a copy).")
      .def_property_readonly(
          "f", [](const Table& t) { return Column(t.rows.f); }, "F of the rows (a copy).")
      .def_property_readonly(
          "s", [](const Table& t) { return Column(t.rows.s); }, "S of the rows (a copy).")
      .def("as_written", &AsWritten,
           "The table as its file would hold it (x to 3 digits, F and S to 5): a\n"
           "45-row table only; ValueError otherwise.")
      .def(
          "lookup",
          [](const Table& t, py::handle x) {
            return MapPairBatch(x, "x", [&t](const double* q, std::size_t n, double* f, double* s) {
              // Points are independent: a large array is shared among the
              // cores, each slice through the same Many.
              ForEachSlice(n, [&](std::size_t from, std::size_t count) {
                t.lookup.Many(q + from, count, f + from, s + from);
              });
            });
          },
          py::arg("x"),
          "(F, S) at x = sin(theta/2)/lambda in 1/Angstrom: a float or any array-like\n"
          "(same shape back). Bit for bit the main window's lookup; NaN outside\n"
          "0.005..1000 or where the table cannot be interpolated. Runs without the GIL;\n"
          "an array of 65536 points or more is shared among the processor's cores.\n"
          "F and S are the two halves of one array (each contiguous and writable).")
      .def("save", &Save, py::arg("path"), py::kw_only(), py::arg("overwrite") = false,
           "Writes the table to `path` (NAME.yex) in the YEX format, atomically\n"
           "(nothing is half-written); byte-identical to the file the editors and\n"
           "yex-cli write. Names are compared without case: FileExistsError when a\n"
           "table of that name is there (even one created a moment before) unless\n"
           "overwrite=True, which replaces that file; a compound or mixture never\n"
           "takes an element's name, nor one Windows cannot store (ValueError).")
      .def("__repr__", [](const Table& t) { return "<yex.Table " + t.name + " from " + t.source + ">"; });

  m.def("table", &TableNamed, py::arg("name"), py::kw_only(), py::arg("data") = "YEX-data",
        "The table `name` ('Fe', 'Water.yex'): from the folder `data` when it holds\n"
        "it (found as yex-cli finds it), else one of the 98 shipped element tables\n"
        "built in. FileNotFoundError when there is none.");
  m.def(
      "tables", [](py::handle data) { return TableNames(TextArg(data, "data")); }, py::kw_only(),
      py::arg("data") = "YEX-data",
      "The names of the tables `table` finds: the folder's and the shipped ones.");
  m.def("read_csv_table", &ReadCsv, py::arg("path"), py::kw_only(), py::arg("name") = py::none(),
        "A table from a CSV file of x,F,S (any number of rows from 2), values kept\n"
        "exactly; named `name`, else the file's name without its extension.");
  m.def("read_table", &ReadTable, py::arg("path"),
        "Reads a table file strictly: 45 lines of three numbers in the format's\n"
        "columns, finite, x ascending, F and S not negative. FileNotFoundError when\n"
        "missing, ValueError naming the line and the reason otherwise, OSError when\n"
        "it cannot be read.");
  m.def(
      "x_from_q", [](py::handle q) { return MapOne(q, "q", [](double v) { return XFromQ(v); }); },
      py::arg("q"), "x = Q / (4 pi); Q in 1/Angstrom.");
  m.def(
      "x_from_theta",
      [](py::handle theta, py::handle energyKeV, py::handle wavelength) {
        const double lambda = Wavelength(OptionalNumber(energyKeV, "energy_kev"),
                                         OptionalNumber(wavelength, "wavelength"), true);
        CheckScalarTheta(theta);
        return MapOne(theta, "theta",
                      [lambda](double t) { return ThetaInRange(t) ? XFromAngle(t, lambda) : kNaN; });
      },
      py::arg("theta"), py::kw_only(), py::arg("energy_kev") = py::none(), py::arg("wavelength") = py::none(),
      "x = sin(theta/2)/lambda for the scattering angle theta in degrees, with\n"
      "energy_kev (lambda = 12.398419843320026 / E) or wavelength in Angstrom.");
  m.def("compound", &Compound, py::arg("composition"), py::kw_only(), py::arg("data") = "YEX-data",
        py::arg("name") = py::none(), py::arg("save") = py::none(), py::arg("overwrite") = false,
        "The compound editor's table for one formula unit: F = sqrt(sum n F^2),\n"
        "S = sum n S, the values as its file holds them. `composition` is a formula\n"
        "('Ca5(PO4)3OH', 'CuSO4*5H2O') whose symbols name element tables, or a dict\n"
        "{table: atoms}. Tables come from the folder `data`, else the shipped ones\n"
        "built in. A `name` that is an\n"
        "element's raises ValueError, one of a table in `data` FileExistsError unless\n"
        "overwrite=True. ValueError names the bad token.");
  m.def("mixture", &Mixture, py::arg("constituents"), py::kw_only(), py::arg("data") = "YEX-data",
        py::arg("name") = py::none(), py::arg("save") = py::none(), py::arg("overwrite") = false,
        "The mixture editor's table: constituents [(table, weight percent[, atomic\n"
        "weight]), ...] or {table: percent} / {table: (percent, atomic weight)}, the\n"
        "atomic weight built in for element tables; per amount holding one atom of\n"
        "the first constituent. Weights must be positive. `name` as for compound.\n"
        "TypeError names an argument of the wrong type.");
  m.def(
      "cross_section",
      [](py::handle table, py::handle energy) {
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
      py::arg("table"), py::arg("energy_kev"),
      "(sigma_coh, sigma_incoh) in barn per atom of an element's table (per amount\n"
      "the table describes for another: a formula unit, a mixture's quantity) at\n"
      "the photon energy in keV: 2 pi times the\n"
      "integral over cos(theta) of the differential cross sections (see dcs), the\n"
      "table interpolated as the lookup does (linear in x^2 below row 2). ValueError\n"
      "for an energy that is not positive or a table that cannot be integrated.");
  m.def(
      "attenuation",
      [](py::handle material, py::handle energy, py::handle densityArg, py::handle thicknessArg,
         py::handle dataArg) {
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
        const Attenuation model(mat, store);
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
      py::arg("thickness") = py::none(), py::arg("data") = "YEX-data", kAttenuationDoc);
  m.def(
      "dispersion",
      [](py::handle name, py::handle energy) {
        const std::string text = TextArg(name, "name_or_formula");
        const DoubleArray e = AsArray(energy, "energy_kev");
        for (py::ssize_t i = 0; i < e.size(); ++i) Energy(e.data()[i]);
        const FormulaAnomalous f = ReadFormulaAnomalous(text);
        Warn(f.note);
        // Each slice stops at its first refusal; the first in the array's
        // order is the one reported, whatever the number of cores.
        std::vector<std::pair<std::size_t, std::exception_ptr>> failures;
        std::mutex failing;
        py::tuple out =
            MapPairBatch(e, "energy_kev", [&](const double* src, std::size_t n, double* fp, double* fdp) {
              ForEachSlice(n, [&](std::size_t from, std::size_t count) {
                for (std::size_t i = from; i < from + count; ++i) try {
                    const AnomalousValue v = AnomalousAt(f, KevToEv(src[i]));
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
      py::arg("name_or_formula"), py::arg("energy_kev"), kDispersionDoc);
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
      py::arg("symbol"),
      "The absorption edges of an element (its symbol, case-sensitive): dicts of\n"
      "edge, energy_kev, fluorescence_yield and jump_ratio, from Elam, Ravel and\n"
      "Sieber's tables (public domain, as XrayDB holds them), as yex-cli edges.");
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
      py::arg("symbol"), py::arg("edge") = py::none(),
      "The emission lines of an element (those from one level with edge='K'):\n"
      "dicts of line (Siegbahn's name), iupac, energy_kev, intensity (relative to\n"
      "the other lines of its initial level), initial and final, as yex-cli lines.");
  m.def(
      "line_energy",
      [](const std::string& symbol, const std::string& line) {
        return FindNamedEnergy(symbol + "-" + line)->keV;
      },
      py::arg("symbol"), py::arg("line"),
      "The energy in keV of an emission line: line_energy('Cu', 'Ka1') (or the\n"
      "IUPAC name, 'K-L3'). ValueError naming the lines there are.");
  m.def(
      "edge_energy",
      [](const std::string& symbol, const std::string& edge) {
        for (const AbsorptionEdge& e : EdgesOf(symbol))
          if (e.name == edge) return MovedDecimal(e.energyEv, -3);
        throw Error(ErrorKind::Usage, symbol + " has no absorption edge " + edge);
      },
      py::arg("symbol"), py::arg("edge"), "The energy in keV of an absorption edge: edge_energy('Fe', 'K').");
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
      py::arg("data") = "YEX-data",
      "The materials yex.material finds: the data folder's materials.txt first\n"
      "(NAME | FORMULA | DENSITY a line, read strictly), then the built-in list;\n"
      "dicts of name, formula and density (g/cm3).");
  m.def(
      "material",
      [](const std::string& name, const std::string& data) {
        return FindMaterial(name, Tables(data).Materials());
      },
      py::arg("name"), py::arg("data") = "YEX-data",
      "The listed material of that name, in any case ('Kapton', 'water'), for\n"
      "index and reflectivity. ValueError naming names near it where there is none.");
  m.def(
      "index",
      [](py::handle material, py::handle energy, py::handle densityArg, py::handle dataArg) {
        const OpticsRequest r = OpticsOf(material, densityArg);
        const DoubleArray e = AsArray(energy, "energy_kev");
        for (py::ssize_t i = 0; i < e.size(); ++i) Energy(e.data()[i]);
        const FolderStore store = Tables(TextArg(dataArg, "data"));
        const OpticalMaterial m = ResolveOpticalMaterial(r, store);
        Warn(m.note);
        const Attenuation attenuation(m.material, store);
        std::vector<OpticalConstants> rows;
        for (py::ssize_t i = 0; i < e.size(); ++i)
          rows.push_back(IndexOf(m.material, m.density, e.data()[i], &attenuation));
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
      py::arg("data") = "YEX-data",
      "The refractive index n = 1 - delta + i beta at the photon energy in keV (a\n"
      "float or an array), as yex-cli index: a dict of delta, beta,\n"
      "critical_angle_mrad (sqrt(2 delta)) and length_cm (1/mu, as attenuation\n"
      "gives it). material: yex.material('kapton') (its density\n"
      "unless one is given), an element's symbol (the one listed material of it\n"
      "gives the density: 'Si'), a formula with density=, or a mixture by weight.");
  m.def(
      "reflectivity",
      [](py::handle material, py::handle energyArg, py::handle angle, py::handle densityArg,
         py::handle roughnessArg, const std::string& polarization, py::handle dataArg) {
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
        const OpticalConstants n = IndexOf(m.material, m.density, kev);
        return MapOne(a, "angle_mrad",
                      [&](double t) { return Reflectivity(n, kev, t, roughness, r.polarization); });
      },
      py::arg("material"), py::arg("energy_kev"), py::arg("angle_mrad"), py::kw_only(),
      py::arg("density") = py::none(), py::arg("roughness") = 0.0, py::arg("polarization") = "s",
      py::arg("data") = "YEX-data",
      "The reflectivity of a flat surface of the material from vacuum at grazing\n"
      "angles in mrad (a float or an array), by Fresnel's formula with n from index,\n"
      "as yex-cli reflectivity: roughness an rms roughness in Angstrom (Nevot-Croce),\n"
      "polarization 's' (the default), 'p' or 'unpolarized'. material as for index.");
  m.def(
      "dcs",
      [](py::handle table, py::handle theta, py::handle energyKeV) {
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
      py::arg("table"), py::arg("theta"), py::arg("energy_kev"),
      "(dsigma_coh/dOmega, dsigma_incoh/dOmega) in barn/sr, per atom or per amount\n"
      "the table describes as for cross_section, at the scattering angle\n"
      "theta (degrees): (r_e^2/2)(1 + cos^2 theta) F^2 and (r_e^2/2) P^2 (P + 1/P -\n"
      "sin^2 theta) S with P = 1/(1 + (E/m c^2)(1 - cos theta)). NaN where x is out of\n"
      "the lookup's range.");
  m.def("average", &Average, py::arg("composition"), py::arg("x"), py::kw_only(),
        py::arg("energy_kev") = py::none(), py::arg("wavelength") = py::none(),
        py::arg("breit_dirac") = py::none(), py::arg("data") = "YEX-data", py::arg("anomalous") = false,
        "Composition averages per atom for total scattering at x (1/Angstrom), from\n"
        "the element tables: f2_mean = sum c F^2, f_mean_sq = (sum c F)^2, S_mean =\n"
        "sum c S with c = n / sum n, and with breit_dirac K (2 or 3) and energy_kev\n"
        "(or wavelength in Angstrom), S_mean_BD = S_mean * P^K. With anomalous=True\n"
        "(and an energy) f = F + f' + i f'' from Chantler's tables: f2_mean = sum c\n"
        "|f|^2, f_mean_sq = |sum c f|^2. NaN where x is out of range.");
  m.def(
      "parse_formula",
      [](py::handle formula) {
        py::dict out;
        std::string note;
        const std::vector<CountEntry> entries = FormulaEntries(TextArg(formula, "formula"), &note);
        Warn(note);
        for (const CountEntry& p : entries) {
          if (p.count == std::floor(p.count) && std::fabs(p.count) < 1e15)
            out[py::str(p.table)] = py::int_(static_cast<long long>(p.count));
          else
            out[py::str(p.table)] = py::float_(p.count);
        }
        return out;
      },
      py::arg("formula"),
      "Atoms of each element in a formula: 'CuSO4*5H2O' -> {'Cu': 1, 'S': 1, 'O': 9, 'H': 10}.");
}
