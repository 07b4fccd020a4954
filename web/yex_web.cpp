// The web page's module: YEX's plain core compiled to WebAssembly, with the
// tables held in memory instead of a data folder. Every number comes from
// the same functions the windows, yex-cli and the Python module call; this
// file only holds the tables, reads the page's requests and writes results.
#include <emscripten.h>
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/scattering_data/module1.h"
#include "core/numeric.h"
#include "core/table_format.h"
#include "core/table_name.h"
#include "core/data_source_text.h"
#include "compound_editor/compound_math.h"
#include "core/synthesis.h"
#include "core/chart.h"
#include "core/table_lookup.h"
#include "mixture_editor/mixture_math.h"
#include "core/composition.h"
#include "core/cross_section.h"
#include "core/elements.h"
#include "core/formula.h"
#include "core/series.h"
#include "core/units.h"
#include "web/chart_recorder.h"
#include "web/shipped_tables.h"

using emscripten::val;

namespace yex::web {
namespace {

// A table file is 45 lines of 34 characters; anything far larger is not one.
constexpr std::size_t kMaxTableBytes = 64 * 1024;
// What one request may compute: enough for any scan, not enough to hang
// the page.
constexpr std::int64_t kMaxRequestPoints = 2000000;

struct Table {
  std::string file;   // "C.yex"
  std::string bytes;  // the file as it came
  bool shipped = false;
  ScatteringTable rows;
  TableLookup lookup;
  Table(std::string f, std::string b, bool s, const ScatteringTable& t)
      : file(std::move(f)), bytes(std::move(b)), shipped(s), rows(t), lookup(t) {}
};

std::vector<Table>& Tables() {
  static std::vector<Table> tables;
  return tables;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool EndsWithYex(const std::string& name) {
  return name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".yex";
}

std::string FileName(const std::string& typed) { return EndsWithYex(typed) ? typed : typed + ".yex"; }

std::string BaseName(const std::string& file) {
  return EndsWithYex(file) ? file.substr(0, file.size() - 4) : file;
}

// The lists' order: file names compared without case.
void SortTables() {
  std::stable_sort(Tables().begin(), Tables().end(),
                   [](const Table& a, const Table& b) { return Lower(a.file) < Lower(b.file); });
}

// A table named as typed ("C", "C.yex", "c.YEX"), exact name first.
const Table* Find(const std::string& typed) {
  const std::string file = EndsWithYex(typed) ? typed : typed + ".yex";
  for (const Table& t : Tables())
    if (t.file == file) return &t;
  for (const Table& t : Tables())
    if (Lower(t.file) == Lower(file)) return &t;
  return nullptr;
}

void LoadShipped() {
  if (!Tables().empty()) return;
  for (const ShippedTable& s : ShippedTables()) {
    ScatteringTable t;
    std::string why;
    const std::string bytes(s.bytes, s.size);
    if (ParseTableBytes(bytes, t, &why)) Tables().emplace_back(s.file, bytes, true, t);
  }
  SortTables();
}

// A number as typed into a box: blanks around it allowed, nothing else.
std::optional<double> Number(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  std::size_t p = 0;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  text = text.substr(p);
  if (!text.empty() && text[0] == '+') text = text.substr(1);
  double v = 0;
  if (!ParseWholeNumber(text, &v) || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A copy of the numbers as a JavaScript Float64Array.
val Float64Array(const std::vector<double>& v) {
  return val::global("Float64Array").new_(val(emscripten::typed_memory_view(v.size(), v.data())));
}

val Failure(const std::string& message) {
  val r = val::object();
  r.set("ok", false);
  r.set("error", message);
  return r;
}

val Success() {
  val r = val::object();
  r.set("ok", true);
  return r;
}

std::vector<std::string> Strings(const val& array) {
  std::vector<std::string> out;
  const unsigned n = array["length"].as<unsigned>();
  for (unsigned i = 0; i < n; ++i) out.push_back(array[i].as<std::string>());
  return out;
}

std::string Text(const val& object, const char* key) {
  const val v = object[key];
  return v.isUndefined() || v.isNull() ? std::string() : v.as<std::string>();
}

// Why the bytes of a file are no table, or nothing when they are one.
std::optional<std::string> Unreadable(const std::string& bytes, ScatteringTable* t) {
  if (bytes.size() > kMaxTableBytes)
    return "it holds " + std::to_string(bytes.size()) + " bytes, far more than a table of 45 lines";
  const std::size_t end = EndOfLastTableLine(bytes);
  const std::size_t scanned = end == std::string::npos ? bytes.size() : end;
  for (std::size_t i = 0; i < scanned; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x20 && c != '\r' && c != '\n' && c != '\t')
      return "it is not a text file (a control byte in line " +
             std::to_string(1 +
                            std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(i), '\n')) +
             ")";
  }
  std::string why;
  if (!ParseTableBytes(bytes, *t, &why)) return why;
  return std::nullopt;
}

// Adds or replaces a table the user brought or built.
void Keep(const std::string& file, const std::string& bytes, const ScatteringTable& t) {
  auto& all = Tables();
  all.erase(
      std::remove_if(all.begin(), all.end(), [&](const Table& x) { return !x.shipped && x.file == file; }),
      all.end());
  all.emplace_back(file, bytes, false, t);
  SortTables();
}

// The table of a constituent's file name, from memory.
bool FromMemory(const std::string& file, ScatteringTable* t, std::string* why) {
  const Table* found = Find(file);
  if (!found) {
    *why = "no table " + file;
    return false;
  }
  *t = found->rows;
  return true;
}

// Synthesizes, formats and keeps a new table; the result carries its bytes.
val Build(const std::string& name, const std::vector<EntryValues>& entries, const Combine& combine) {
  if (entries.size() > static_cast<std::size_t>(MaxConstituents))
    return Failure("at most " + std::to_string(MaxConstituents) + " tables, " +
                   std::to_string(entries.size()) + " given");
  for (const EntryValues& e : entries)
    if (!Find(e.file)) return Failure("no table " + e.file);
  StoreEntryValues(entries);
  std::string why, bytes;
  if (!SynthesizeTable(FromMemory, combine, &why)) return Failure(name + " not built: " + why);
  if (!FormatCurrentTable(&bytes))
    return Failure(name + " not built: the table holds a value that is not a finite number");
  ScatteringTable t;
  ParseTableBytes(bytes, t, &why);
  const std::string file = name + ".yex";
  // A built table never replaces a shipped one: the desktop would write it
  // over the element's file.
  if (const Table* same = Find(file); same && same->shipped && same->file == file)
    return Failure(file + " is a shipped table; choose another name");
  Keep(file, bytes, t);
  val r = Success();
  r.set("file", file);
  r.set("bytes", bytes);
  val parts = val::array();
  for (int k = 1; k <= static_cast<int>(entries.size()); ++k) {
    val p = val::object();
    p.set("file", entries[static_cast<std::size_t>(k - 1)].file);
    p.set("amount", entries[static_cast<std::size_t>(k - 1)].amount);
    p.set("atomicWeight", entries[static_cast<std::size_t>(k - 1)].atomicWeight);
    p.set("ratio", Module1::AtomRatio(k));
    parts.call<void>("push", p);
  }
  r.set("parts", parts);
  return r;
}

std::optional<val> CheckName(const std::string& name) {
  if (IsCreatableTableName(name)) return std::nullopt;
  return Failure("\"" + name + "\" cannot be a table name");
}

// ---- points, energies and the CSV of curve and average

struct Points {
  Unit unit = Unit::X;
  std::optional<double> lambda, energy;
  std::vector<double> values;
  std::string description;
};

std::optional<Unit> UnitNamed(const std::string& name) {
  for (Unit u : {Unit::X, Unit::Q, Unit::Qnm, Unit::Theta})
    if (name == UnitName(u)) return u;
  return std::nullopt;
}

bool Triple(const std::string& text, double v[3]) {
  std::size_t a = text.find(':'), b = a == std::string::npos ? a : text.find(':', a + 1);
  if (b == std::string::npos || text.find(':', b + 1) != std::string::npos) return false;
  const std::string parts[3] = {text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1)};
  for (int i = 0; i < 3; ++i) {
    const std::optional<double> n = Number(parts[i]);
    if (!n) return false;
    v[i] = *n;
  }
  return true;
}

// The energy or wavelength of a request: {energyKind: "energy"|"wavelength",
// energy: text}; nothing given is no error.
std::optional<std::string> ReadEnergy(const val& req, Points* p) {
  const std::string kind = Text(req, "energyKind"), text = Text(req, "energy");
  if (text.empty()) return std::nullopt;
  const std::optional<double> v = Number(text);
  const std::string option = kind == "wavelength" ? "wavelength" : "energy";
  if (!v) return option + " " + text + ": not a number";
  if (!(*v > 0)) return option + " " + text + ": must be positive";
  if (kind == "wavelength") {
    p->lambda = *v;
  } else {
    p->energy = *v;
    p->lambda = WavelengthFromEnergy(*v);
  }
  return std::nullopt;
}

// {unit, points: "grid"|"log"|"list", grid: "A:B:C", list: text}.
std::optional<std::string> ReadPoints(const val& req, Points* p) {
  const std::string unitName = Text(req, "unit").empty() ? "x" : Text(req, "unit");
  const std::optional<Unit> unit = UnitNamed(unitName);
  if (!unit) return "unit " + unitName + ": expected x, q, qnm or theta";
  p->unit = *unit;
  if (std::optional<std::string> bad = ReadEnergy(req, p)) return bad;
  if (p->unit == Unit::Theta && !p->lambda) return "theta needs an energy or a wavelength";
  const std::string kind = Text(req, "points"), grid = Text(req, "grid");
  if (kind == "grid" || kind == "log") {
    const std::string option = kind == "grid" ? "grid" : "log grid";
    double v[3];
    if (!Triple(grid, v))
      return option + " " + grid +
             (kind == "grid" ? ": expected START:STOP:STEP" : ": expected START:STOP:N");
    GridProblem problem = GridProblem::None;
    std::int64_t count = 0;
    if (kind == "grid") {
      const std::optional<LinearGrid> g = MakeLinearGrid(v[0], v[1], v[2], &problem);
      if (g && g->count <= kMaxRequestPoints)
        for (std::int64_t i = 0; i < g->count; ++i) p->values.push_back((*g)[i]);
      count = g ? g->count : 0;
    } else {
      const std::optional<LogGrid> g = MakeLogGrid(v[0], v[1], v[2], kMaxPoints, &problem);
      if (g && g->count <= kMaxRequestPoints)
        for (std::int64_t i = 0; i < g->count; ++i) p->values.push_back((*g)[i]);
      count = g ? g->count : 0;
    }
    switch (problem) {
      case GridProblem::StepNotPositive:
        return option + " " + grid + ": STEP must be positive";
      case GridProblem::StopBelowStart:
        return option + " " + grid + ": STOP lies below START";
      case GridProblem::NotPositive:
        return option + " " + grid + ": START and STOP must be positive";
      case GridProblem::BadCount:
        return option + " " + grid + ": N must be a whole number of at least 2";
      case GridProblem::TooManyPoints:
      case GridProblem::None:
        break;
    }
    if (problem == GridProblem::TooManyPoints || count > kMaxRequestPoints)
      return option + " " + grid + ": more than " + std::to_string(kMaxRequestPoints) + " points";
    p->description = option + " " + grid;
  } else if (kind == "list") {
    const std::string list = Text(req, "list");
    std::size_t start = 0, lineNo = 0;
    while (start < list.size()) {
      std::size_t end = list.find('\n', start);
      if (end == std::string::npos) end = list.size();
      std::string_view line(list.data() + start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      ++lineNo;
      double v = 0;
      std::string_view field;
      switch (ParsePointLine(line, &v, &field)) {
        case PointLine::Skip:
          break;
        case PointLine::Point:
          p->values.push_back(v);
          break;
        case PointLine::NotANumber:
          return "line " + std::to_string(lineNo) + ": \"" + std::string(field) + "\" is not a number";
      }
      if (static_cast<std::int64_t>(p->values.size()) > kMaxRequestPoints)
        return "more than " + std::to_string(kMaxRequestPoints) + " points";
      start = end + 1;
    }
    p->description = "your list";
  } else {
    return "no points: give a grid, a log grid or a list";
  }
  if (p->values.empty()) return "no points in " + p->description;
  return std::nullopt;
}

struct Writer {
  char sep;
  bool display;
  std::string text;
  void Comment(const std::string& c) { text += "# " + c + "\n"; }
  void Header(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
      text += (i ? std::string(1, sep) : std::string()) + names[i];
    text += '\n';
  }
  // One line: the fields in order, the first `xFields` in the x pattern.
  void Line(const std::vector<std::optional<double>>& fields, std::size_t xFields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i) text += sep;
      AppendField(&text, fields[i], display, i < xFields ? FieldKind::X : FieldKind::Value);
    }
    text += '\n';
  }
};

Writer NewWriter(const val& req) {
  return Writer{Text(req, "format") == "tsv" ? '\t' : ',', req["display"].isTrue(), {}};
}

void RunComments(Writer& w, const std::string& command, const Points& p) {
  w.Comment(std::string("YEX web ") + YEX_VERSION + " " + command);
  w.Comment("points: " + p.description);
  w.Comment(std::string("unit: ") + UnitMeaning(p.unit));
  if (p.energy)
    w.Comment("energy: " + ShortestText(*p.energy) + " keV (lambda = " + ShortestText(*p.lambda) +
              " Angstrom)");
  else if (p.lambda)
    w.Comment("wavelength: " + ShortestText(*p.lambda) + " Angstrom");
}

// Streams the points as curve and average do: the point, its x, then
// `fields(x)`; counts the points left (partly) empty.
template <typename F>
val StreamPoints(Writer& w, const Points& p, const std::string& beyond, const F& fields) {
  std::vector<std::optional<double>> line, rest;
  std::int64_t outside = 0;
  const double lambda = p.lambda.value_or(1.0);
  for (double v : p.values) {
    const double x = ToX(p.unit, v, lambda);
    if (!fields(x, &rest)) ++outside;
    line.assign({v, x});
    line.insert(line.end(), rest.begin(), rest.end());
    w.Line(line, 2);
  }
  val r = Success();
  r.set("csv", w.text);
  r.set("points", static_cast<double>(p.values.size()));
  r.set("outside", static_cast<double>(outside));
  if (outside > 0)
    r.set("warning", std::to_string(outside) + " point" + (outside == 1 ? "" : "s") +
                         " outside x = 0.005..1000" + beyond + ": fields left empty");
  return r;
}

double EnergyOf(const Points& p) {
  return p.energy ? *p.energy : p.lambda ? kHcKeVAngstrom / *p.lambda : 0.0;
}

// "TABLE:COUNT" split at its last colon; the reason when it is not that, or
// the count is not positive.
std::optional<std::string> SplitCount(const std::string& entry, std::string* table, double* count) {
  const std::size_t colon = entry.rfind(':');
  const std::optional<double> n =
      colon == std::string::npos || colon == 0 ? std::nullopt : Number(entry.substr(colon + 1));
  if (!n) return entry + ": expected TABLE:COUNT";
  if (!(*n > 0)) return entry + ": the count must be positive";
  *table = entry.substr(0, colon);
  *count = *n;
  return std::nullopt;
}

// Formula or "TABLE:COUNT" lines to (table, count), as average takes them.
std::optional<std::string> Composition(const val& req, std::vector<std::pair<std::string, double>>* out) {
  const std::string formula = Text(req, "formula");
  if (!formula.empty()) {
    const FormulaResult f = ParseFormula(formula);
    if (!f.ok) return "formula " + formula + ": " + f.error;
    for (const FormulaPart& part : f.parts) out->emplace_back(part.symbol, part.count);
    return std::nullopt;
  }
  for (const std::string& entry : Strings(req["entries"])) {
    std::string table;
    double n = 0;
    if (std::optional<std::string> bad = SplitCount(entry, &table, &n)) return bad;
    out->emplace_back(table, n);
  }
  if (out->empty()) return "give a formula or TABLE:COUNT entries";
  return std::nullopt;
}

// ---- the functions the page calls

val Version() { return val(std::string(YEX_VERSION)); }

val DataSource() {
  val lines = val::array();
  for (const char* l : {data_source::kHeading, data_source::kTitle1, data_source::kTitle2,
                        data_source::kAuthors, data_source::kJournal, data_source::kVolume})
    lines.call<void>("push", std::string(l));
  return lines;
}

val ListTables() {
  LoadShipped();
  val list = val::array();
  for (const Table& t : Tables()) {
    val e = val::object();
    e.set("file", t.file);
    e.set("name", BaseName(t.file));
    e.set("shipped", t.shipped);
    list.call<void>("push", e);
  }
  return list;
}

val AddTable(const std::string& file, const std::string& bytes) {
  LoadShipped();
  if (!EndsWithYex(file) || !IsCreatableTableName(BaseName(file)))
    return Failure(file + ": not a table file name (NAME.yex)");
  ScatteringTable t;
  if (const std::optional<std::string> why = Unreadable(bytes, &t)) return Failure(file + ": " + *why);
  if (const Table* same = Find(file); same && same->shipped && Lower(same->file) == Lower(file))
    return Failure(file + ": a shipped table has this name; rename the file to add it");
  Keep(file, bytes, t);
  val r = Success();
  r.set("file", file);
  return r;
}

val RemoveTable(const std::string& file) {
  auto& all = Tables();
  const std::size_t before = all.size();
  all.erase(
      std::remove_if(all.begin(), all.end(), [&](const Table& t) { return !t.shipped && t.file == file; }),
      all.end());
  return val(all.size() != before);
}

val TableView(const std::string& typed) {
  LoadShipped();
  const Table* t = Find(typed);
  if (!t) return Failure("no table " + FileName(typed));
  val r = Success();
  r.set("file", t->file);
  r.set("name", BaseName(t->file));
  r.set("bytes", t->bytes);
  val lines = val::array();
  for (int i = 1; i <= TableRowCount; ++i)
    lines.call<void>("push", t->rows.rowText[static_cast<std::size_t>(i)]);
  r.set("lines", lines);
  // The chart as the main window draws it, as a list of drawing operations.
  RowValues x, f, s;
  for (int i = 1; i <= TableRowCount; ++i) {
    x(i) = t->rows.x[static_cast<std::size_t>(i)];
    f(i) = t->rows.f[static_cast<std::size_t>(i)];
    s(i) = t->rows.s[static_cast<std::size_t>(i)];
  }
  ChartRecorder chart;
  DrawChart(chart, x, f, s);
  r.set("chart", Float64Array(chart.operations()));
  val texts = val::array();
  for (const std::string& text : chart.texts()) texts.call<void>("push", text);
  r.set("texts", texts);
  return r;
}

// The main window's lookup of a value typed in a unit: the value is read by
// the numeric rule as the x box reads it.
val Lookup(const std::string& typed, const val& req) {
  LoadShipped();
  const Table* t = Find(typed);
  if (!t) return Failure("no table " + FileName(typed));
  Points p;
  const std::string unitName = Text(req, "unit").empty() ? "x" : Text(req, "unit");
  const std::optional<Unit> unit = UnitNamed(unitName);
  if (!unit) return Failure("unit " + unitName + ": expected x, q, qnm or theta");
  if (std::optional<std::string> bad = ReadEnergy(req, &p)) return Failure(*bad);
  if (*unit == Unit::Theta && !p.lambda) return Failure("theta needs an energy or a wavelength");
  const double value = NumericValue(Text(req, "value"));
  const double x = ToX(*unit, value, p.lambda.value_or(1.0));
  const LookupResult r = t->lookup(x);
  val out = Success();
  out.set("inRange", r.inRange);
  out.set("x", FormatX(x));
  out.set("value", ShortestText(value));
  if (r.inRange) {
    out.set("f", FormatFS(r.f));
    out.set("s", FormatFS(r.s));
  } else {
    out.set("message", std::string("This value is out of range."));
  }
  return out;
}

// F and S at many x at once (the page's benchmark and tests): NaN outside.
val LookupMany(const std::string& typed, const val& xs) {
  LoadShipped();
  const Table* t = Find(typed);
  if (!t) return Failure("no table " + FileName(typed));
  const std::vector<double> x = emscripten::convertJSArrayToNumberVector<double>(xs);
  std::vector<double> f(x.size()), s(x.size());
  t->lookup.Many(x.data(), x.size(), f.data(), s.data());
  val r = Success();
  r.set("f", Float64Array(f));
  r.set("s", Float64Array(s));
  return r;
}

// Times `repeat` lookups of the table at every x, with nothing crossing to
// the page per point: the module's own speed.
double LookupTiming(const std::string& typed, const val& xs, int repeat) {
  LoadShipped();
  const Table* t = Find(typed);
  if (!t) return -1;
  const std::vector<double> x = emscripten::convertJSArrayToNumberVector<double>(xs);
  std::vector<double> f(x.size()), s(x.size());
  const double start = emscripten_get_now();
  for (int k = 0; k < repeat; ++k) t->lookup.Many(x.data(), x.size(), f.data(), s.data());
  return (emscripten_get_now() - start) / repeat;
}

val CompoundFromFormula(const std::string& name, const std::string& formula) {
  LoadShipped();
  if (std::optional<val> bad = CheckName(name)) return *bad;
  const FormulaResult f = ParseFormula(formula);
  if (!f.ok) return Failure("formula " + formula + ": " + f.error);
  std::vector<EntryValues> entries;
  for (const FormulaPart& p : f.parts) entries.push_back({p.symbol + ".yex", p.count, 0.0});
  return Build(name, entries, CombineCompound);
}

// Entries "TABLE:COUNT".
val CompoundFromCounts(const std::string& name, const val& list) {
  LoadShipped();
  if (std::optional<val> bad = CheckName(name)) return *bad;
  std::vector<EntryValues> entries;
  for (const std::string& entry : Strings(list)) {
    std::string table;
    double n = 0;
    if (std::optional<std::string> bad = SplitCount(entry, &table, &n)) return Failure(*bad);
    const Table* t = Find(table);
    if (!t) return Failure("no table " + FileName(table));
    entries.push_back({t->file, n, 0.0});
  }
  if (entries.empty()) return Failure("compound needs its constituents");
  return Build(name, entries, CombineCompound);
}

// Entries "TABLE:PERCENT[:ATOMIC_WEIGHT]".
val Mixture(const std::string& name, const val& list) {
  LoadShipped();
  if (std::optional<val> bad = CheckName(name)) return *bad;
  std::vector<EntryValues> entries;
  for (const std::string& entry : Strings(list)) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t c; (c = entry.find(':', start)) != std::string::npos; start = c + 1)
      parts.push_back(entry.substr(start, c - start));
    parts.push_back(entry.substr(start));
    const std::optional<double> w = parts.size() >= 2 ? Number(parts[1]) : std::nullopt;
    if (parts.size() < 2 || parts.size() > 3 || !w)
      return Failure(entry + ": expected TABLE:PERCENT[:ATOMIC_WEIGHT]");
    const Table* t = Find(parts[0]);
    if (!t) return Failure("no table " + FileName(parts[0]));
    double weight = 0.0;
    if (parts.size() == 3) {
      const std::optional<double> a = Number(parts[2]);
      if (!a) return Failure(entry + ": the atomic weight is not a number");
      weight = *a;
    } else {
      const int z = AtomicNumber(BaseName(t->file));
      if (z == 0) return Failure(entry + ": give the atomic weight, " + t->file + " is not an element table");
      weight = StandardAtomicWeight(z);
    }
    entries.push_back({t->file, *w, weight});
  }
  if (entries.empty()) return Failure("mixture needs its constituents");
  return Build(name, entries, CombineMixture);
}

// {tables: [...], unit, points, grid|list, energyKind, energy, dcs, format, display}
val Curve(const val& req) {
  LoadShipped();
  Points p;
  const std::vector<std::string> names = Strings(req["tables"]);
  if (names.empty()) return Failure("curve needs at least one table");
  std::vector<const TableLookup*> lookups;
  std::vector<std::string> header;
  for (const std::string& n : names) {
    const Table* t = Find(n);
    if (!t) return Failure("no table " + FileName(n));
    lookups.push_back(&t->lookup);
  }
  if (std::optional<std::string> bad = ReadPoints(req, &p)) return Failure(*bad);
  const bool dcs = req["dcs"].isTrue();
  if (dcs && !p.lambda) return Failure("dσ/dΩ needs an energy or a wavelength");
  Writer w = NewWriter(req);
  RunComments(w, "curve", p);
  header = {UnitName(p.unit), "x"};
  for (const std::string& n : names) {
    const std::string name = BaseName(Find(n)->file);
    w.Comment("table " + name + ": " + Find(n)->file);
    header.push_back("F(" + name + ")");
    header.push_back("S(" + name + ")");
    if (dcs) {
      header.push_back("dcoh(" + name + ")");
      header.push_back("dincoh(" + name + ")");
    }
  }
  w.Header(header);
  const double energy = EnergyOf(p);
  return StreamPoints(w, p, dcs ? " or beyond x lambda = 1" : "",
                      [&](double x, std::vector<std::optional<double>>* fields) {
                        return CurveFields(lookups, x, dcs, energy, fields);
                      });
}

// {formula | entries, unit, points, grid|list, energyKind, energy, breitDirac, format, display}
val Average(const val& req) {
  LoadShipped();
  std::vector<std::pair<std::string, double>> composition;
  if (std::optional<std::string> bad = Composition(req, &composition)) return Failure(*bad);
  std::optional<int> power;
  const std::string bd = Text(req, "breitDirac");
  if (!bd.empty()) {
    if (bd != "2" && bd != "3") return Failure("Breit-Dirac power: 2 (integrating) or 3 (energy-dispersive)");
    power = bd == "2" ? 2 : 3;
  }
  Points p;
  if (std::optional<std::string> bad = ReadPoints(req, &p)) return Failure(*bad);
  if (power && !p.lambda) return Failure("the Breit-Dirac factor needs an energy or a wavelength");
  std::vector<Constituent> parts;
  std::vector<std::string> names;
  for (const auto& [typed, n] : composition) {
    const Table* t = Find(typed);
    if (!t) return Failure("no table " + FileName(typed));
    parts.push_back({t->lookup, n});
    names.push_back(BaseName(t->file));
  }
  const std::vector<double> fractions = AtomFractions(parts);
  Writer w = NewWriter(req);
  RunComments(w, "average", p);
  double total = 0.0;
  for (const Constituent& c : parts) total += c.count;
  std::string shares;
  for (std::size_t k = 0; k < names.size(); ++k)
    shares += (k ? ", " : "") + std::string("c(") + names[k] + ") = " + ShortestText(fractions[k]);
  w.Comment("sum n = " + ShortestText(total) + "; " + shares);
  if (power) w.Comment("Breit-Dirac power K = " + std::to_string(*power));
  std::vector<std::string> header = {UnitName(p.unit), "x", "f2_mean", "f_mean_sq", "S_mean"};
  if (power) header.push_back("S_mean_BD");
  w.Header(header);
  const double energy = EnergyOf(p);
  return StreamPoints(w, p, power ? " or beyond x lambda = 1" : "",
                      [&](double x, std::vector<std::optional<double>>* fields) {
                        return AverageFields(parts, fractions, x, power, energy, fields);
                      });
}

// {tables: ["C", "Water:18.015"], energies: [...] | energyGrid: "A:B:N", format, display}
val CrossSection(const val& req) {
  LoadShipped();
  std::vector<double> energies;
  const std::string grid = Text(req, "energyGrid");
  if (!grid.empty()) {
    double v[3];
    if (!Triple(grid, v)) return Failure("energy grid " + grid + ": expected START:STOP:N");
    GridProblem problem = GridProblem::None;
    const std::optional<LogGrid> g = MakeLogGrid(v[0], v[1], v[2], 1e6, &problem);
    if (!g)
      return Failure("energy grid " + grid +
                     (problem == GridProblem::NotPositive ? ": energies must be positive"
                                                          : ": N must be a whole number of at least 2"));
    for (std::int64_t i = 0; i < g->count; ++i) energies.push_back((*g)[i]);
  } else {
    for (const std::string& e : Strings(req["energies"])) {
      const std::optional<double> v = Number(e);
      if (!v) return Failure("energy " + e + ": not a number");
      if (!(*v > 0)) return Failure("energy " + e + ": must be positive");
      energies.push_back(*v);
    }
  }
  if (energies.empty()) return Failure("give energies or an energy grid");
  struct Column {
    const Table* table;
    std::optional<double> mass;
  };
  std::vector<Column> columns;
  for (const std::string& operand : Strings(req["tables"])) {
    std::string typed = operand;
    std::optional<double> mass;
    if (const std::size_t colon = operand.rfind(':'); colon != std::string::npos) {
      typed = operand.substr(0, colon);
      mass = colon == 0 ? std::nullopt : Number(operand.substr(colon + 1));
      if (!mass || !(*mass > 0))
        return Failure(operand + ": expected TABLE or TABLE:MOLAR_MASS (g/mol, positive)");
    }
    const Table* t = Find(typed);
    if (!t) return Failure("no table " + FileName(typed));
    if (!mass) {
      const int z = AtomicNumber(BaseName(t->file));
      if (z != 0) mass = StandardAtomicWeight(z);
    }
    columns.push_back({t, mass});
  }
  if (columns.empty()) return Failure("cross-section needs at least one table");
  std::vector<std::vector<CrossSectionPair>> values(energies.size());
  for (std::size_t e = 0; e < energies.size(); ++e)
    for (const Column& c : columns) {
      CrossSectionPair pair;
      const char* why = "";
      if (!IntegratedCrossSections(c.table->lookup, energies[e], &pair, &why))
        return Failure(c.table->file + " at " + ShortestText(energies[e]) + " keV: " + why);
      values[e].push_back(pair);
    }
  Writer w = NewWriter(req);
  w.Comment(std::string("YEX web ") + YEX_VERSION + " cross-section");
  w.Comment("sigma in barn per amount the table describes; cm2/g where a molar mass is known");
  std::vector<std::string> header = {"E_keV"};
  std::vector<std::optional<double>> masses, fields, line;
  for (const Column& c : columns) {
    const std::string name = BaseName(c.table->file);
    w.Comment("table " + name + ": " + c.table->file +
              (c.mass ? ", molar mass " + ShortestText(*c.mass) + " g/mol" : std::string()));
    header.push_back("coh(" + name + ")");
    header.push_back("incoh(" + name + ")");
    if (c.mass) {
      header.push_back("coh_cm2g(" + name + ")");
      header.push_back("incoh_cm2g(" + name + ")");
    }
    masses.push_back(c.mass);
  }
  w.Header(header);
  for (std::size_t e = 0; e < energies.size(); ++e) {
    CrossSectionFields(values[e], masses, &fields);
    line.assign({energies[e]});
    line.insert(line.end(), fields.begin(), fields.end());
    w.Line(line, 0);
  }
  val r = Success();
  r.set("csv", w.text);
  r.set("points", static_cast<double>(energies.size()));
  r.set("outside", 0);
  return r;
}

}  // namespace
}  // namespace yex::web

EMSCRIPTEN_BINDINGS(yex) {
  using namespace yex::web;
  emscripten::function("version", &Version);
  emscripten::function("dataSource", &DataSource);
  emscripten::function("listTables", &ListTables);
  emscripten::function("addTable", &AddTable);
  emscripten::function("removeTable", &RemoveTable);
  emscripten::function("tableView", &TableView);
  emscripten::function("lookup", &Lookup);
  emscripten::function("lookupMany", &LookupMany);
  emscripten::function("lookupTiming", &LookupTiming);
  emscripten::function("compoundFromFormula", &CompoundFromFormula);
  emscripten::function("compoundFromCounts", &CompoundFromCounts);
  emscripten::function("mixture", &Mixture);
  emscripten::function("curve", &Curve);
  emscripten::function("average", &Average);
  emscripten::function("crossSection", &CrossSection);
}
