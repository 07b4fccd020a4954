// What the requests compute, written as lines: the tables they name found
// in a store (a data folder, or tables in memory), then the # lines, the
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

#include "core/request.h"
#include "core/table_lookup.h"

namespace yex {

// Where the tables a request names come from.
class TableStore {
 public:
  virtual ~TableStore() = default;
  // The file name of a table as typed ("C", "C.yex", "c.YEX"); Usage for a
  // name that can be no table, MissingTable when there is none.
  virtual std::string Resolve(const std::string& typed) const = 0;
  // The table of a resolved file name; Error when it cannot be read.
  virtual ScatteringTable Load(const std::string& file) const = 0;
  // How the # lines and messages name the table's file.
  virtual std::string Describe(const std::string& file) const = 0;
  // The "# data folder:" line's folder, when there is one.
  virtual std::optional<std::string> Folder() const { return std::nullopt; }
  // Whether a new table may take this file name: Usage for a shipped
  // element's name, Exists for a table that is there unless `replace`.
  virtual void CheckNewTable(const std::string& file, bool replace) const;
  ScatteringTable LoadTyped(const std::string& typed) const { return Load(Resolve(typed)); }
};

// The tables of a data folder on disk.
class FolderStore : public TableStore {
 public:
  // `shown` is the folder as messages write it (native separators).
  explicit FolderStore(std::string folder, std::string shown = {});
  std::string Resolve(const std::string& typed) const override;
  ScatteringTable Load(const std::string& file) const override;
  std::string Describe(const std::string& file) const override;
  std::optional<std::string> Folder() const override { return shown_; }
  void CheckNewTable(const std::string& file, bool replace) const override;
  std::string Path(const std::string& file) const { return folder_ + "/" + file; }
  const std::string& folder() const { return folder_; }
  // What a missing folder is reported as (where the shipped tables are).
  void SetMissingFolderMessage(std::string m) { missing_ = std::move(m); }
  // Tables the folder does not hold are looked for in `fallback` (the
  // shipped tables built in), the folder searched first.
  void SetFallback(const TableStore* fallback) { fallback_ = fallback; }

 private:
  bool Holds(const std::string& typed, std::string* file) const;
  std::string folder_, shown_, missing_;
  const TableStore* fallback_ = nullptr;
};

// Usage when a new table's file name is a shipped element's.
void CheckNewTableName(const std::string& file);

// A table's display name: its file name without ".yex".
std::string TableDisplayName(const std::string& file);

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
};

// curve and average over `source` (the request's own points when null).
// Usage when there were no points, and for a bad line of a file (the lines
// before it already written).
RunSummary WriteCurve(const CurveRequest& r, const TableStore& store, const Provenance& who, RecordWriter& w,
                      PointSource* source = nullptr);
RunSummary WriteAverage(const AverageRequest& r, const TableStore& store, const Provenance& who,
                        RecordWriter& w, PointSource* source = nullptr);
// Every value is computed before anything is written: a table that cannot be
// integrated is an OutOfRange error with nothing written.
void WriteCrossSection(const CrossSectionRequest& r, const TableStore& store, const Provenance& who,
                       RecordWriter& w);

// One value of a lookup: the main window's line "x F S", or nothing when
// the value is out of range; `shown` names the value as it was typed.
struct LookupLine {
  std::optional<std::string> line;
  std::string shown;
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

// "Pb.yex at 1e-160 keV: the energy is too low to integrate".
std::string CrossSectionFailure(const std::string& file, double energyKeV, const std::string& why);

// The molar mass built in for an element table named by its symbol.
std::optional<double> BuiltInMolarMass(const std::string& displayName);

}  // namespace yex
