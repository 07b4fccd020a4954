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
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/chart/chart.h"
#include "core/elements/elements.h"
#include "core/elements/xray_data.h"
#include "core/error.h"
#include "core/lookup/table_lookup.h"
#include "core/numbers/numeric.h"
#include "core/numbers/units.h"
#include "core/physics/dispersion.h"
#include "core/requests/optics_report.h"
#include "core/requests/report.h"
#include "core/requests/request.h"
#include "core/shipped/data_source_text.h"
#include "core/shipped/shipped_tables.h"
#include "core/tables/table_format.h"
#include "core/tables/table_name.h"
#include "web/chart_recorder.h"

using emscripten::val;

namespace yex {
// Chantler's data as the page loads it (dispersion_web.cpp).
bool SetChantlerText(const std::string& text);
const DispersionSource& PageDispersion();
}  // namespace yex

namespace yex::web {
namespace {

// What one request may compute: enough for any scan, not enough to hang
// the page.
constexpr std::int64_t kMaxRequestPoints = 2000000;

using Table = MemoryStore::Entry;

// The page's tables: the shipped ones, then those the user adds or builds.
MemoryStore& Store() {
  static MemoryStore store = [] {
    MemoryStore s;
    AddShippedTables(s);
    return s;
  }();
  return store;
}

const Table* Find(const std::string& typed) { return Store().Find(typed); }

// The numbers as a JavaScript Float64Array of their own (a copy).
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

// The strings of an array; none where the request leaves it out.
std::vector<std::string> Strings(const val& array) {
  std::vector<std::string> out;
  if (array.isUndefined() || array.isNull()) return out;
  const unsigned n = array["length"].as<unsigned>();
  for (unsigned i = 0; i < n; ++i) out.push_back(array[i].as<std::string>());
  return out;
}

std::string Text(const val& object, const char* key) {
  const val v = object[key];
  return v.isUndefined() || v.isNull() ? std::string() : v.as<std::string>();
}

Provenance Program() { return {std::string("YEX web ") + YEX_VERSION}; }

// Runs `f`, turning the core's error into the page's message.
template <typename F>
val Guarded(const F& f) {
  try {
    return f();
  } catch (const Error& e) {
    std::string message = e.what();
    // The page carries Chantler's tables for 1-100 keV only (with a row
    // beyond either end): a range it gives is its own, not the data's.
    if (message.find("outside Chantler's tabulated energies for ") != std::string::npos)
      message +=
          " in this page's copy, which holds 1 to 100 keV; yex-cli and the Python package hold all of "
          "Chantler's energies";
    val r = Failure(message);
    r.set("kind", std::string(ErrorKindName(e.kind())));
    return r;
  }
}

// The points of a curve or an average, and a lookup's unit and beam, as the
// options yex-cli takes: {unit, points: "grid"|"log"|"list", grid, list,
// energyKind, energy}.
Options PointOptionsOf(const val& req) {
  Options o;
  const std::string unit = Text(req, "unit"), kind = Text(req, "points"), energy = Text(req, "energy");
  if (!unit.empty()) o.add("--unit", unit);
  if (!energy.empty()) o.add(Text(req, "energyKind") == "wavelength" ? "--wavelength" : "--energy", energy);
  if (kind == "grid") o.add("--grid", Text(req, "grid"));
  if (kind == "log") o.add("--log-grid", Text(req, "grid"));
  if (kind == "list") o.add("--from", "-");
  // The page keeps its own, smaller cap (PagePoints).
  o.add("--large-grid");
  return o;
}

// The points of the request: a grid as parsed, or the page's list.
std::unique_ptr<PointSource> PagePoints(const val& req, PointsRequest* p) {
  std::int64_t count = 0;
  if (p->kind == PointsRequest::Kind::Grid) count = p->grid.count;
  if (p->kind == PointsRequest::Kind::LogGrid) count = p->logGrid.count;
  if (count > kMaxRequestPoints)
    Fail(ErrorKind::Usage, p->description + ": more than " + std::to_string(kMaxRequestPoints) + " points");
  if (p->kind != PointsRequest::Kind::File) return OpenPoints(*p);
  const std::string list = Text(req, "list");
  if (std::count(list.begin(), list.end(), '\n') > kMaxRequestPoints)
    Fail(ErrorKind::Usage, "more than " + std::to_string(kMaxRequestPoints) + " points");
  p->description = p->source = "your list";
  return TextPoints(list, "your list", p->unit);
}

val RunResult(const val& head, double size, const RunSummary& s) {
  val r = Success();
  r.set("head", head);
  r.set("size", size);
  r.set("points", static_cast<double>(s.points));
  r.set("outside", static_cast<double>(s.outside));
  if (!s.warning.empty()) r.set("warning", s.warning);
  if (!s.note.empty()) r.set("note", s.note);
  return r;
}

// The text of the last result, in blocks of a megabyte or so: neither one
// growing string copied over and over, nor a call into JavaScript for every
// line. It stays here until the page asks for it (ResultBytes, for a
// download): copying megabytes out on every result cost more than a tenth
// of the time to a plot.
std::vector<std::string>& LastResult() {
  static std::vector<std::string> blocks;
  return blocks;
}

// A copy of bytes [0, size) of the last result.
val ResultPrefix(std::size_t size) {
  val bytes = val::global("Uint8Array").new_(static_cast<double>(size));
  std::size_t at = 0;
  for (const std::string& b : LastResult()) {
    if (at >= size) break;
    const std::size_t n = std::min(b.size(), size - at);
    const auto* data = reinterpret_cast<const unsigned char*>(b.data());
    bytes.call<void>("set", val(emscripten::typed_memory_view(n, data)), static_cast<double>(at));
    at += n;
  }
  return bytes;
}

val ResultBytes() {
  std::size_t size = 0;
  for (const std::string& b : LastResult()) size += b.size();
  return ResultPrefix(size);
}

// The lines `run` writes, kept as the last result; the page gets their
// start as UTF-8 bytes (enough for its first 100 lines and comments) and
// the rest on asking. `req.onProgress`, when the page's worker gives one,
// hears how many lines there are at every block.
template <typename F>
val Collect(OutputStyle style, const val& req, const F& run) {
  std::vector<std::string>& blocks = LastResult();
  blocks.assign(1, std::string());
  std::size_t size = 0;
  const val progress = req["onProgress"];
  const bool tell = progress.typeOf().as<std::string>() == "function";
  double lines = 0;
  RecordWriter w(style, [&](const std::string& s) {
    if (blocks.back().size() + s.size() > (1u << 20)) {
      blocks.emplace_back();
      blocks.back().reserve((1u << 20) + 4096);
      if (tell) progress(val(lines));
    }
    blocks.back() += s;
    size += s.size();
    lines += static_cast<double>(std::count(s.begin(), s.end(), '\n'));
  });
  // At full precision the text reads back to these very doubles, so the
  // page plots them without parsing the text (NaN where a field is empty).
  std::vector<std::vector<double>> columns;
  if (!style.display)
    w.ObserveLines([&columns](const std::vector<std::optional<double>>& fields) {
      if (columns.size() < fields.size()) columns.resize(fields.size());
      for (std::size_t i = 0; i < fields.size(); ++i)
        columns[i].push_back(fields[i] ? *fields[i] : std::numeric_limits<double>::quiet_NaN());
    });
  const RunSummary s = run(w);
  w.Flush();
  // The head: through the 160th line end.
  std::size_t head = 0, ends = 0;
  for (const std::string& b : blocks) {
    std::size_t at = 0;
    while (ends < 160 && (at = b.find('\n', at)) != std::string::npos) ++ends, ++at;
    if (ends >= 160) {
      head += at;
      break;
    }
    head += b.size();
  }
  val r = RunResult(ResultPrefix(head), static_cast<double>(size), s);
  if (!style.display) {
    val list = val::array();
    for (const std::vector<double>& c : columns) list.call<void>("push", Float64Array(c));
    r.set("columns", list);
  }
  return r;
}

// A new table kept beside the others; the result carries its bytes.
val Built(const BuiltTable& b) {
  // A built table replaces the user's table of its name, never a shipped
  // one: the desktop would write it over the element's file.
  const std::string file = Store().Save(TableDisplayName(b.file), b.result.table, true);
  val r = Success();
  r.set("file", file);
  r.set("bytes", Find(file)->bytes);
  val parts = val::array();
  for (std::size_t k = 0; k < b.resolved.size(); ++k) {
    val p = val::object();
    p.set("file", b.resolved[k].file);
    p.set("amount", b.resolved[k].amount);
    p.set("atomicWeight", b.resolved[k].atomicWeight);
    p.set("ratio", b.result.ratios[k]);
    parts.call<void>("push", p);
  }
  r.set("parts", parts);
  return r;
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
  val list = val::array();
  for (const Table& t : Store().Entries()) {
    val e = val::object();
    e.set("file", t.file);
    e.set("name", TableDisplayName(t.file));
    e.set("shipped", t.shipped);
    list.call<void>("push", e);
  }
  return list;
}

val AddTable(const std::string& file, const std::string& bytes) {
  return Guarded([&] {
    Store().Add(file, bytes);
    val r = Success();
    r.set("file", file);
    return r;
  });
}

val RemoveTable(const std::string& file) { return val(Store().Remove(file)); }

val TableView(const std::string& typed) {
  const Table* t = Find(typed);
  if (!t) return Failure("no table " + TableFileName(typed));
  val r = Success();
  r.set("file", t->file);
  r.set("name", TableDisplayName(t->file));
  r.set("bytes", t->bytes);
  val lines = val::array();
  for (int i = 1; i <= TableRowCount; ++i)
    lines.call<void>("push", t->table.rowText[static_cast<std::size_t>(i)]);
  r.set("lines", lines);
  // The chart as the main window draws it, as a list of drawing operations.
  RowValues x, f, s;
  for (int i = 1; i <= TableRowCount; ++i) {
    x(i) = t->table.x[static_cast<std::size_t>(i)];
    f(i) = t->table.f[static_cast<std::size_t>(i)];
    s(i) = t->table.s[static_cast<std::size_t>(i)];
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
  return Guarded([&] {
    const Table* t = Find(typed);
    if (!t) Fail(ErrorKind::MissingTable, "no table " + TableFileName(typed));
    Options o = PointOptionsOf(req);
    const Unit unit = o.has("--unit") ? ParseUnit(*o.single("--unit")) : Unit::X;
    const std::string text = Text(req, "value");
    const double x = ParseXIn(unit, text, ParseBeam(o));
    const double value = *NumberText(text);
    const LookupResult r = TableLookup(t->table)(x);
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
  });
}

// F and S at many x at once (the page's benchmark and tests): NaN outside.
val LookupMany(const std::string& typed, const val& xs) {
  const Table* t = Find(typed);
  if (!t) return Failure("no table " + TableFileName(typed));
  const std::vector<double> x = emscripten::convertJSArrayToNumberVector<double>(xs);
  std::vector<double> f(x.size()), s(x.size());
  TableLookup(t->table).Many(x.data(), x.size(), f.data(), s.data());
  val r = Success();
  r.set("f", Float64Array(f));
  r.set("s", Float64Array(s));
  return r;
}

// Times `repeat` lookups of the table at every x, with nothing crossing to
// the page per point: the module's own speed.
double LookupTiming(const std::string& typed, const val& xs, int repeat) {
  const Table* t = Find(typed);
  if (!t) return -1;
  const TableLookup lookup(t->table);
  const std::vector<double> x = emscripten::convertJSArrayToNumberVector<double>(xs);
  std::vector<double> f(x.size()), s(x.size());
  const double start = emscripten_get_now();
  for (int k = 0; k < repeat; ++k) lookup.Many(x.data(), x.size(), f.data(), s.data());
  return (emscripten_get_now() - start) / repeat;
}

// The chart's drawing protocol as the page replays it: operation codes and
// their numbers of arguments, the user scale, and the colours of the
// background and the two curves, from the code that records and draws them.
val ChartProtocol() {
  val ops = val::object(), arguments = val::array();
  for (std::size_t k = 0; k < std::size(kOps); ++k) {
    ops.set(kOps[k].name, static_cast<int>(k));
    arguments.call<void>("push", kOps[k].arguments);
  }
  val scale = val::object();
  scale.set("left", kChartUserScale.left);
  scale.set("top", kChartUserScale.top);
  scale.set("width", kChartUserScale.width);
  scale.set("height", kChartUserScale.height);
  val curves = val::object();
  curves.set("F", QBColor(kChartCurveF));
  curves.set("S", QBColor(kChartCurveS));
  val r = val::object();
  r.set("ops", ops);
  r.set("arguments", arguments);
  r.set("scale", scale);
  r.set("background", QBColor(kChartBackground));
  r.set("curves", curves);
  return r;
}

// What a table's values are per: "atom", or "amount the table describes".
std::string AmountOf(const std::string& name) { return AmountOfTable(name); }

// The symbol of element z (1..98), as the tables are named.
std::string ElementSymbolOf(int z) { return std::string(ElementSymbol(z)); }
// The element whose table a name is, by the store's rule ("fe.yex": "Fe"); "" for none.
std::string ElementOfTable(const std::string& name) {
  const int z = ElementOfTableName(name);
  return z ? std::string(ElementSymbol(z)) : std::string();
}

// How Many runs here: "simd128" in the page as built, "scalar" without.
std::string LookupKernelName() { return KernelName(AvailableKernels().back()); }

val CompoundFromFormula(const std::string& name, const std::string& formula) {
  return Guarded([&] {
    const CompoundRequest r = ParseCompound({name, "--formula", formula});
    val built = Built(BuildCompound(r.name, r.entries, Store()));
    if (!r.note.empty()) built.set("note", r.note);
    return built;
  });
}

// Entries "TABLE:COUNT".
val CompoundFromCounts(const std::string& name, const val& list) {
  return Guarded([&] {
    std::vector<std::string> args{name};
    for (const std::string& e : Strings(list)) args.push_back(e);
    if (args.size() == 1) Fail(ErrorKind::Usage, "compound needs its constituents");
    const CompoundRequest r = ParseCompound(args);
    return Built(BuildCompound(r.name, r.entries, Store()));
  });
}

// Entries "TABLE:PERCENT[:ATOMIC_WEIGHT]".
val Mixture(const std::string& name, const val& list) {
  return Guarded([&] {
    std::vector<std::string> args{name};
    for (const std::string& e : Strings(list)) args.push_back(e);
    if (args.size() == 1) Fail(ErrorKind::Usage, "mixture needs its constituents");
    const MixtureRequest r = ParseMixture(args);
    return Built(BuildMixture(r.name, r.entries, Store()));
  });
}

// The page's request fields and the options they stand for, as yex-cli
// takes them: one parser for both. A computation reads only the fields it
// names (the form's hidden fields keep their values); an empty or false
// field says nothing, and a list of energies gives way to a grid.
struct Field {
  const char* key;
  const char* option;  // "" for operands
  enum Kind { kText, kFlag, kList, kTsv } kind;
};
constexpr Field kFields[] = {
    {"formula", "--formula", Field::kText},
    {"material", "--material", Field::kText},
    {"tables", "", Field::kList},
    {"entries", "", Field::kList},
    {"elements", "", Field::kList},
    {"edge", "--edge", Field::kText},
    {"energyGrid", "--energy-grid", Field::kText},
    {"energies", "--energy", Field::kList},
    {"density", "--density", Field::kText},
    {"thickness", "--thickness", Field::kText},
    {"angleGrid", "--angle-grid", Field::kText},
    {"roughness", "--roughness", Field::kText},
    {"polarization", "--polarization", Field::kText},
    {"breitDirac", "--breit-dirac", Field::kText},
    {"dcs", "--dcs", Field::kFlag},
    {"anomalous", "--anomalous", Field::kFlag},
    {"steps", "--steps", Field::kFlag},
    {"display", "--display", Field::kFlag},
    {"format", "--tsv", Field::kTsv},
};
Options FieldOptions(const val& req, std::initializer_list<std::string_view> keys, Options o = {}) {
  for (const Field& f : kFields) {
    if (std::find(keys.begin(), keys.end(), f.key) == keys.end()) continue;
    const std::string text = f.kind == Field::kText ? Text(req, f.key) : std::string();
    if (f.kind == Field::kText && !text.empty()) o.add(f.option, text);
    if (f.kind == Field::kFlag && req[f.key].isTrue()) o.add(f.option);
    if (f.kind == Field::kTsv && Text(req, f.key) == "tsv") o.add(f.option);
    if (f.kind == Field::kList &&
        !(f.option == std::string_view("--energy") && !Text(req, "energyGrid").empty()))
      for (const std::string& v : Strings(req[f.key])) o.add(f.option, v);
  }
  return o;
}

// One computation: its options checked as yex-cli checks its arguments,
// parsed by the core, and written as the last result.
template <typename Parse, typename Write>
val Compute(const val& req, const Options& o, const KnownOptions* known, const Parse& parse,
            const Write& write) {
  return Guarded([&] {
    if (known) RefuseUnknownOptions(o, *known);
    auto r = parse(o);
    return Collect(r.style, req, [&](RecordWriter& w) { return write(r, w); });
  });
}

// {tables: [...], dcs, and the points}
val Curve(const val& req) {
  const Options o = FieldOptions(req, {"tables", "dcs", "format", "display"}, PointOptionsOf(req));
  return Compute(req, o, nullptr, ParseCurve, [&](CurveRequest& r, RecordWriter& w) {
    const std::unique_ptr<PointSource> points = PagePoints(req, &r.points);
    return WriteCurve(r, Store(), Program(), w, points.get());
  });
}

// {formula | entries, breitDirac, anomalous, and the points}
val Average(const val& req) {
  const Options o = FieldOptions(req, {"formula", "entries", "breitDirac", "anomalous", "format", "display"},
                                 PointOptionsOf(req));
  return Compute(req, o, nullptr, ParseAverage, [&](AverageRequest& r, RecordWriter& w) {
    const std::unique_ptr<PointSource> points = PagePoints(req, &r.points);
    return WriteAverage(r, Store(), PageDispersion(), Program(), w, points.get());
  });
}

// {tables: ["C", "Water:18.015"], energies: [...] | energyGrid: "A:B:N", format, display}
val CrossSection(const val& req) {
  const Options o = FieldOptions(req, {"tables", "energyGrid", "energies", "format", "display"});
  return Compute(req, o, nullptr, ParseCrossSection, [](const CrossSectionRequest& r, RecordWriter& w) {
    return WriteCrossSection(r, Store(), Program(), w);
  });
}

// {tables: ["Fe", "Cu"] | formula, energies | energyGrid, format, steps}
val Dispersion(const val& req) {
  const KnownOptions known = DispersionOptions();
  return Compute(req,
                 FieldOptions(req, {"formula", "material", "tables", "energyGrid", "energies", "format",
                                    "display", "steps"}),
                 &known, ParseDispersion, [](const DispersionRequest& r, RecordWriter& w) {
                   return WriteDispersion(r, PageDispersion(), Program(), w);
                 });
}

// {tables: ["Fe"] | ["H:11.19", "O:88.81"] | formula, energies | energyGrid,
// density, thickness, format}
val Attenuation(const val& req) {
  const KnownOptions known = AttenuationOptions();
  return Compute(req,
                 FieldOptions(req, {"formula", "material", "tables", "energyGrid", "energies", "format",
                                    "display", "steps", "density", "thickness"}),
                 &known, ParseAttenuation, [](const AttenuationRequest& r, RecordWriter& w) {
                   return WriteAttenuation(r, Store(), PageDispersion(), Program(), w);
                 });
}

// {tables: ["Si"] | ["H:11.19", "O:88.81"] | formula | material, density,
// energies | energyGrid, and for reflectivity angleGrid, roughness,
// polarization, format}
val Optics(const val& req, bool mirror) {
  const KnownOptions known = mirror ? ReflectivityOptions() : IndexOptions();
  const Options o =
      FieldOptions(req, {"formula", "material", "tables", "energyGrid", "energies", "format", "display",
                         "steps", "density", "angleGrid", "roughness", "polarization"});
  return Compute(req, o, &known, mirror ? ParseReflectivity : ParseIndex,
                 [mirror](const OpticsRequest& r, RecordWriter& w) {
                   return mirror ? WriteReflectivity(r, Store(), PageDispersion(), Program(), w)
                                 : WriteIndex(r, Store(), PageDispersion(), Program(), w);
                 });
}
val Index(const val& req) { return Optics(req, false); }
val Reflectivity(const val& req) { return Optics(req, true); }

// {elements: ["Fe", "Cu"], edge, format}: edges and lines as yex-cli prints them.
val XrayList(const val& req, bool lines) {
  const KnownOptions known = lines ? LinesOptions() : EdgesOptions();
  return Compute(req, FieldOptions(req, {"elements", "edge", "format"}), &known,
                 lines ? ParseLines : ParseEdges, [lines](const XrayListRequest& r, RecordWriter& w) {
                   return lines ? WriteLines(r, Program(), w) : WriteEdges(r, Program(), w);
                 });
}
val Edges(const val& req) { return XrayList(req, false); }
val Lines(const val& req) { return XrayList(req, true); }

val Materials(const val& req) {
  return Guarded([&] {
    const OutputStyle style = ParseMaterials(FieldOptions(req, {"format"}));
    return Collect(style, req, [&](RecordWriter& w) { return WriteMaterials(Store(), Program(), w); });
  });
}

bool SetChantlerData(const std::string& text) { return SetChantlerText(text); }
bool SetXrayData(const std::string& text) { return SetXrayDataText(text); }

// An element's edges and lines as objects, for its card and the plots'
// marks (the result's text, which a download takes, is left alone).
val EdgeList(const std::string& symbol) {
  return Guarded([&] {
    val list = val::array();
    for (const AbsorptionEdge& e : EdgesOf(symbol)) {
      val o = val::object();
      o.set("edge", e.name);
      o.set("keV", MovedDecimal(e.energyEv, -3));
      o.set("yield", e.fluorescenceYield);
      o.set("jump", e.jumpRatio);
      list.call<void>("push", o);
    }
    val r = Success();
    r.set("edges", list);
    val lines = val::array();
    for (const EmissionLine& l : LinesOf(symbol)) {
      val o = val::object();
      o.set("line", l.name);
      o.set("iupac", l.iupac);
      o.set("keV", MovedDecimal(l.energyEv, -3));
      o.set("intensity", l.intensity);
      lines.call<void>("push", o);
    }
    r.set("lines", lines);
    return r;
  });
}
// The listed materials' names, formulas and densities, for the page's picker.
val MaterialList() {
  return Guarded([] {
    val list = val::array();
    for (const MaterialEntry& m : BuiltInMaterials()) {
      val o = val::object();
      o.set("name", m.name);
      o.set("formula", m.formula);
      o.set("density", m.density);
      list.call<void>("push", o);
    }
    val r = Success();
    r.set("materials", list);
    return r;
  });
}
}  // namespace
}  // namespace yex::web

EMSCRIPTEN_BINDINGS(yex) {
  using namespace yex::web;
  emscripten::function("version", &Version);
  emscripten::function("dataSource", &DataSource);
  emscripten::function("listTables", &ListTables);
  emscripten::function("amountOf", &AmountOf);
  emscripten::function("chartProtocol", &ChartProtocol);
  emscripten::function("addTable", &AddTable);
  emscripten::function("removeTable", &RemoveTable);
  emscripten::function("tableView", &TableView);
  emscripten::function("lookup", &Lookup);
  emscripten::function("lookupMany", &LookupMany);
  emscripten::function("lookupTiming", &LookupTiming);
  emscripten::function("lookupKernel", &LookupKernelName);
  emscripten::function("elementSymbol", &ElementSymbolOf);
  emscripten::function("elementOfTable", &ElementOfTable);
  emscripten::function("compoundFromFormula", &CompoundFromFormula);
  emscripten::function("compoundFromCounts", &CompoundFromCounts);
  emscripten::function("mixture", &Mixture);
  emscripten::function("curve", &Curve);
  emscripten::function("average", &Average);
  emscripten::function("crossSection", &CrossSection);
  emscripten::function("dispersion", &Dispersion);
  emscripten::function("attenuation", &Attenuation);
  emscripten::function("setChantlerData", &SetChantlerData);
  emscripten::function("setXrayData", &SetXrayData);
  emscripten::function("edges", &Edges);
  emscripten::function("edgeList", &EdgeList);
  emscripten::function("materialList", &MaterialList);
  emscripten::function("lines", &Lines);
  emscripten::function("materials", &Materials);
  emscripten::function("index", &Index);
  emscripten::function("reflectivity", &Reflectivity);
  emscripten::function("resultBytes", &ResultBytes);
}
