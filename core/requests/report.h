// What the requests compute, written as lines: the tables they name found
// in a table store, then the # lines, the
// header and one line a point or energy, through one writer. Every front
// end that prints such lines prints these.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/lookup/table_lookup.h"
#include "core/physics/dispersion.h"
#include "core/requests/request.h"
#include "core/tables/table_store.h"

namespace yex {

// Lines of delimited numbers, handed to `sink` in blocks. Nothing reaches
// the sink before the first data line is complete, so a request that fails
// before its first point writes nothing.
class RecordWriter {
 public:
  using Sink = std::function<void(const std::string&)>;
  RecordWriter(OutputStyle style, Sink sink) : style_(style), sink_(std::move(sink)) {}
  ~RecordWriter();
  void Comment(const std::string& text);
  void Header(const std::vector<std::string>& names);
  enum class Kind { X, Value };
  // One line: the fields in order, the first `xFields` in the x pattern.
  void Line(const std::vector<std::optional<double>>& fields, std::size_t xFields);
  // One line led by a text field (an element's symbol), then the values.
  void Line(const std::string& label, const std::vector<std::optional<double>>& fields);
  // Text fields, the values, then more text fields.
  void Line(const std::vector<std::string>& labels, const std::vector<std::optional<double>>& fields,
            const std::vector<std::string>& after = {});
  // Hands over what is buffered once a data line exists.
  void Flush();
  std::int64_t DataLines() const { return dataLines_; }
  // Called with each data line's values as they are written, for a front
  // end that shows the numbers too (the page plots them).
  using LineObserver = std::function<void(const std::vector<std::optional<double>>&)>;
  void ObserveLines(LineObserver observer) { observer_ = std::move(observer); }

 private:
  LineObserver observer_;
  std::string buf_;
  OutputStyle style_;
  Sink sink_;
  bool headerDone_ = false;
  std::int64_t dataLines_ = 0;
};

// Who writes the lines: the first # line ("yex-cli 1.0.0 curve").
struct Provenance {
  std::string program;  // "yex-cli 1.0.0", "YEX web 1.0.0"
};

// Points one at a time, so that a file of any length streams. Next returns
// false at the end; a line that holds no number is a Usage error naming the
// source and line.
class PointSource {
 public:
  virtual ~PointSource() = default;
  virtual bool Next(double* value) = 0;
};
// The points of a grid, of a file ("-": standard input), or of text (the
// page's list) named `name` in messages.
std::unique_ptr<PointSource> OpenPoints(const PointsRequest& p);
std::unique_ptr<PointSource> TextPoints(std::string text, std::string name, Unit unit);

// What a run of points leaves: how many points and how many left (partly)
// empty.
struct RunSummary {
  std::int64_t points = 0;
  std::int64_t outside = 0;
  std::string warning;  // "2 points outside x = 0.005..1000: fields left empty"
  std::string note;     // what the numbers mean for tables that are no element's
};

// What averages and cross sections of tables that are not an element's
// mean: an average counts such a table as one scattering unit, a cross
// section is per amount the table describes. Empty when all are elements.
std::string NotElementNote(const std::vector<std::string>& names, bool average);

// curve and average over `source` (the request's own points when null).
// Usage when there were no points, and for a bad line of a file (the lines
// before it already written).
// "# CuKa1 = 8.0463 keV: the Cu Ka1 (K-L3) emission line (Elam, Ravel and
// Sieber)": what each line or edge named among the energies stands for.
void EnergyComments(RecordWriter& w, const std::vector<std::string>& meanings);

RunSummary WriteCurve(const CurveRequest& r, const TableStore& store, const Provenance& who, RecordWriter& w,
                      PointSource* source = nullptr);
// With r.anomalous, f' and f'' come from `dispersion`.
RunSummary WriteAverage(const AverageRequest& r, const TableStore& store, const DispersionSource& dispersion,
                        const Provenance& who, RecordWriter& w, PointSource* source = nullptr);
// Each energy's line is written as it is computed; a table that cannot be
// integrated, or a value beyond the range of doubles (per gram with a tiny
// molar mass), is an OutOfRange error after the lines before it.
RunSummary WriteCrossSection(const CrossSectionRequest& r, const TableStore& store, const Provenance& who,
                             RecordWriter& w);

// f' and f'' of each element or of the formula at each energy, from
// Chantler's tables; OutOfRange for an energy outside them or an element
// without data, before any line.
RunSummary WriteDispersion(const DispersionRequest& r, const DispersionSource& dispersion,
                           const Provenance& who, RecordWriter& w);
// photoabsorption (Chantler), coherent and incoherent (YEX's own) and total
// cm2/g, with a density also mu (1/cm) and the attenuation length, with a
// thickness the transmission.
RunSummary WriteAttenuation(const AttenuationRequest& r, const TableStore& store,
                            const DispersionSource& dispersion, const Provenance& who, RecordWriter& w);

// edges, lines and materials: Elam's edges and lines of each element, and
// the materials (the store's own list, then the built-in one). yex_core.
RunSummary WriteEdges(const XrayListRequest& r, const Provenance& who, RecordWriter& w);
RunSummary WriteLines(const XrayListRequest& r, const Provenance& who, RecordWriter& w);
RunSummary WriteMaterials(const TableStore& store, const Provenance& who, RecordWriter& w);

// One value of a lookup: the main window's line "x F S", or nothing when
// the value is out of range; `shown` names the value as it was typed, and
// `why` the table's rows when the value lies inside the table but its pair
// of rows cannot be interpolated.
struct LookupLine {
  std::optional<std::string> line;
  std::string shown;
  std::string why;
};
std::vector<LookupLine> RunLookup(const LookupRequest& r, const TableStore& store);

// A compound or a mixture from a store's tables: the table as its file
// holds it and the weight of each constituent. Errors name the new table.
struct BuiltTable {
  std::string file;                  // "Water.yex"
  std::vector<Ingredient> resolved;  // the constituents with their file names
  SynthesisResult result;
};
BuiltTable BuildCompound(const std::string& name, const std::vector<CountEntry>& entries,
                         const TableStore& store);
BuiltTable BuildMixture(const std::string& name, const std::vector<Ingredient>& entries,
                        const TableStore& store);

// The lines compound and mixture report: "  H.yex  2" / "  H.yex  r = ...".
std::vector<std::string> BuiltLines(const BuiltTable& b, Synthesis kind);

// The molar mass built in for an element table named by its symbol.
std::optional<double> BuiltInMolarMass(const std::string& displayName);

}  // namespace yex
