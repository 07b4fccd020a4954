// The module's tables: yex.Table (from a file, arrays or a CSV, its lookup,
// saving, pickling), the data folder's and the built-in tables, compounds,
// mixtures and the units of x.
#include "python/module.h"

namespace yex::python {
namespace {

// The file name of a path, without ".yex".
std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return TableDisplayName(slash == std::string::npos ? path : path.substr(slash + 1));
}

Table ReadTable(Str pathArg) {
  const std::string path = TextArg(pathArg, "path");
  return Table(NameOf(path), ReadTableFile(path), false, path);
}

// A table of the data folder by name ("Fe", "Water.yex"), as yex-cli finds it.
Table TableNamed(Str nameArg, Str dataArg) {
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

void Save(const Table& t, Str pathArg, Bool overwriteArg);

// The table, written to `save` when a path is given.
Table Saved(Table t, OptionalStr save, Bool overwrite) {
  if (!save.is_none())
    Save(t, Str(save), overwrite);
  else
    FlagArg(overwrite, "overwrite");
  return t;
}

Table Compound(CompositionArg composition, Str dataArg, OptionalStr nameArg, OptionalStr save,
               Bool overwrite) {
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

Table Mixture(Constituents parts, Str dataArg, OptionalStr nameArg, OptionalStr save, Bool overwrite) {
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
Table FromArrays(Rows x, Rows f, Rows s, Str nameArg) {
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

Table ReadCsv(Str pathArg, OptionalStr nameArg) {
  const std::string path = TextArg(pathArg, "path");
  const std::optional<std::string> name = OptionalText(nameArg, "name");
  return Table(name.value_or(CsvTableName(path)), ReadCsvTableFile(path), true, path);
}

// The table as its file would hold it: x to 3 digits, F and S to 5.
Table AsWritten(const Table& t) {
  ScatteringTable rows = t.rows;
  if (rows.rows() != TableRowCount)
    Raise(PyExc_ValueError, t.name + ": " + TableFileMisfit(rows) + "; no file can hold it");
  if (!RoundAsWritten(&rows)) Raise(PyExc_ValueError, t.name + ": a value is not a finite number");
  return Table(t.name, rows, t.built, t.source);
}

void Save(const Table& t, Str pathArg, Bool overwriteArg) {
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

}  // namespace

void DefineTables(py::module_& m) {
  py::class_<Table>(m, "Table", "A table of x (1/Angstrom), F(x) and S(x): a file's 45 rows, or any grid.")
      .def(py::init(&FromArrays), py::arg("x"), py::arg("f"), py::arg("s"), py::kw_only(),
           py::arg("name") = "table")
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
          [](const Table& t, Values x) {
            return MapPairBatch(x, "x", [&t](const double* q, std::size_t n, double* f, double* s) {
              // Points are independent: a large array is shared among the
              // cores, each slice through the same Many.
              ForEachSlice(n, [&](std::size_t from, std::size_t count) {
                t.lookup.Many(q + from, count, f + from, s + from);
              });
            });
          },
          py::arg("x"))
      .def("save", &Save, py::arg("path"), py::kw_only(), py::arg("overwrite") = false)
      .def("__repr__", [](const Table& t) { return "<yex.Table " + t.name + " from " + t.source + ">"; });

  m.def("table", &TableNamed, py::arg("name"), py::kw_only(), py::arg("data") = "YEX-data");
  m.def(
      "tables", [](Str data) { return TableNames(TextArg(data, "data")); }, py::kw_only(),
      py::arg("data") = "YEX-data");
  m.def("read_csv_table", &ReadCsv, py::arg("path"), py::kw_only(), py::arg("name") = py::none());
  m.def("read_table", &ReadTable, py::arg("path"));
  m.def(
      "x_from_q", [](Values q) { return MapOne(q, "q", [](double v) { return XFromQ(v); }); }, py::arg("q"));
  m.def(
      "x_from_theta",
      [](Values theta, OptionalFloat energyKeV, OptionalFloat wavelength) {
        const double lambda = Wavelength(OptionalNumber(energyKeV, "energy_kev"),
                                         OptionalNumber(wavelength, "wavelength"), true);
        CheckScalarTheta(theta);
        return MapOne(theta, "theta",
                      [lambda](double t) { return ThetaInRange(t) ? XFromAngle(t, lambda) : kNaN; });
      },
      py::arg("theta"), py::kw_only(), py::arg("energy_kev") = py::none(),
      py::arg("wavelength") = py::none());
  m.def("compound", &Compound, py::arg("composition"), py::kw_only(), py::arg("data") = "YEX-data",
        py::arg("name") = py::none(), py::arg("save") = py::none(), py::arg("overwrite") = false);
  m.def("mixture", &Mixture, py::arg("constituents"), py::kw_only(), py::arg("data") = "YEX-data",
        py::arg("name") = py::none(), py::arg("save") = py::none(), py::arg("overwrite") = false);
  m.def(
      "parse_formula",
      [](Str formula) {
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
      py::arg("formula"));
}

}  // namespace yex::python
