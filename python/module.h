// What the Python module's files by area share: the arguments as Python
// hands them, checked once (TypeError naming the argument and its value, a
// wrong value ValueError), the table object, arrays in and out, and the
// areas' definitions of the module's classes and functions.
#pragma once

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

#include "core/elements/elements.h"
#include "core/elements/formula.h"
#include "core/elements/xray_data.h"
#include "core/error.h"
#include "core/lookup/table_lookup.h"
#include "core/numbers/numeric.h"
#include "core/numbers/units.h"
#include "core/physics/attenuation.h"
#include "core/physics/composition.h"
#include "core/physics/cross_section.h"
#include "core/physics/dispersion.h"
#include "core/requests/optics_report.h"
#include "core/requests/report.h"
#include "core/requests/request.h"
#include "core/shipped/chantler_tables.h"
#include "core/shipped/shipped_tables.h"
#include "core/tables/table_file.h"
#include "core/tables/table_grid.h"
#include "core/tables/table_name.h"

namespace yex::python {

namespace py = pybind11;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// An argument's type as the module's signatures state it, in the words
// yex/__init__.py annotates it with (a test holds the two together). It
// takes any object: the checks below read it, so that a wrong one is
// refused with its reason, not with pybind11's list of signatures.
inline int AnyObject(PyObject*) { return 1; }
template <typename Shown>
class Arg : public py::object {
 public:
  PYBIND11_OBJECT_DEFAULT(Arg, py::object, AnyObject)
};
#define YEX_ARG(Type, text)                                    \
  struct Type##Shown {                                         \
    static constexpr auto name = py::detail::const_name(text); \
  };                                                           \
  using Type = Arg<Type##Shown>;
YEX_ARG(Str, "str")
YEX_ARG(OptionalStr, "Optional[str]")
YEX_ARG(Bool, "bool")
YEX_ARG(Float, "float")
YEX_ARG(OptionalFloat, "Optional[float]")
YEX_ARG(OptionalInt, "Optional[int]")
YEX_ARG(Values, "Union[float, Sequence[float], np.ndarray[Any, Any]]")
YEX_ARG(Rows, "Union[Sequence[float], np.ndarray[Any, Any]]")
YEX_ARG(TableObject, "Table")
YEX_ARG(CompositionArg, "Composition")
YEX_ARG(AverageCompositionArg, "AverageComposition")
YEX_ARG(Constituents, "Union[Sequence[Tuple[Any, ...]], Dict[str, Any]]")
YEX_ARG(MaterialArg, "Union[str, Material, MixtureByWeight]")
#undef YEX_ARG

[[noreturn]] inline void Raise(PyObject* type, const std::string& message) {
  PyErr_SetString(type, message.c_str());
  throw py::error_already_set();
}

// The arguments as Python hands them, checked here so that a wrong type is a
// TypeError naming the argument and the value (not a cast message, nor a
// None read as NaN) and a wrong value of the right type a ValueError.
[[noreturn]] inline void WrongType(const std::string& name, py::handle v, const char* want) {
  Raise(PyExc_TypeError, name + " must be " + want + ", not " + py::repr(v).cast<std::string>() + " (" +
                             Py_TYPE(v.ptr())->tp_name + ")");
}

inline double NumberArg(py::handle v, const std::string& name) {
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

inline std::optional<double> OptionalNumber(py::handle v, const std::string& name) {
  if (v.is_none()) return std::nullopt;
  return NumberArg(v, name);
}

inline std::string TextArg(py::handle v, const std::string& name) {
  if (py::isinstance<py::str>(v)) return v.cast<std::string>();
  // A path object names a file as well as its text does.
  if (!v.is_none() && py::hasattr(v, "__fspath__")) {
    const py::object p = v.attr("__fspath__")();
    if (py::isinstance<py::str>(p)) return p.cast<std::string>();
  }
  WrongType(name, v, "a string");
}

inline std::optional<std::string> OptionalText(py::handle v, const std::string& name) {
  if (v.is_none()) return std::nullopt;
  return TextArg(v, name);
}

inline bool FlagArg(py::handle v, const std::string& name) {
  if (!py::isinstance<py::bool_>(v)) WrongType(name, v, "True or False");
  return v.cast<bool>();
}

// The core's errors as Python's: the one mapping of this front end.
inline PyObject* ExceptionFor(ErrorKind kind) {
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

// The folder `data` first, then the shipped tables built in: the module
// works in any folder.
inline FolderStore Tables(const std::string& data) {
  FolderStore store(data);
  store.SetFallback(&Shipped());
  return store;
}

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

inline DoubleArray AsArray(py::handle values, const char* what) {
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

inline const Table& TableArg(py::handle v, const char* name) {
  try {
    return v.cast<const Table&>();
  } catch (const py::cast_error&) {
    WrongType(name, v, "a yex.Table");
  }
}

inline std::vector<py::ssize_t> ShapeOf(const DoubleArray& a) { return {a.shape(), a.shape() + a.ndim()}; }

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

inline double Wavelength(std::optional<double> energyKeV, std::optional<double> wavelength, bool required) {
  if (!energyKeV && !wavelength) {
    if (required) Raise(PyExc_ValueError, "give energy_kev or wavelength");
    return kNaN;
  }
  return *MakeBeam(energyKeV, wavelength).lambda;
}

inline double Energy(double keV) { return CheckPositive("energy", keV); }

// An angle outside 0..180 degrees gives NaN in an array, as other points out
// of range do; alone it is an error.
inline void CheckScalarTheta(py::handle theta) {
  if (!py::isinstance<py::float_>(theta) && !py::isinstance<py::int_>(theta)) return;
  const double t = theta.cast<double>();
  if (!ThetaInRange(t) && !std::isnan(t))
    Raise(PyExc_ValueError, "theta " + ShortestText(t) + ": " + kAngleRange);
}

// A note as Python's UserWarning, when there is one, pointing at the line
// that called the package's function (one frame above yex/__init__.py).
inline void Warn(const std::string& note) {
  if (!note.empty() && PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 2) != 0) throw py::error_already_set();
}

// A composition's table: a name, or (where `objects` is given) a yex.Table
// itself, recorded in `objects` (nullptr for a name) in the entries' order.
inline std::string CompositionTable(py::handle k, std::vector<const Table*>* objects) {
  if (objects) {
    const bool object = py::isinstance<Table>(k);
    objects->push_back(object ? &k.cast<const Table&>() : nullptr);
    if (object) return objects->back()->name;
  }
  return TextArg(k, "a composition's table");
}

// A formula, or {table: count}, as the core's entries.
inline std::vector<CountEntry> Composition(py::handle composition,
                                           std::vector<const Table*>* objects = nullptr) {
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

// A mixture's constituents: [(table, percent[, atomic weight]), ...] or, as
// a composition is given, {table: percent} / {table: (percent, atomic weight)}.
inline std::vector<Ingredient> MixtureEntries(py::handle parts, bool elementsOnly = false) {
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

// The module's classes and functions, an area a file.
void DefineTables(py::module_& m);      // tables.cpp: Table, table, compound, mixture, ...
void DefineScattering(py::module_& m);  // scattering.cpp: cross_section, dcs, average
void DefineDispersion(py::module_& m);  // dispersion.cpp: dispersion, attenuation
void DefineOptics(py::module_& m);      // optics.cpp: edges, lines, materials, index, reflectivity

}  // namespace yex::python

namespace pybind11::detail {
template <typename Shown>
struct handle_type_name<yex::python::Arg<Shown>> {
  static constexpr auto name = Shown::name;
};
}  // namespace pybind11::detail
