// The points of curve and average: a linear or log grid or a file of values,
// in one of the units, and the CSV/TSV writer their lines go through.
#pragma once

#include <QString>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "science/units.h"

namespace yex::cli {

// The options every points command takes, to add to its KnownOptions.
KnownOptions PointOptions();

// Where the points come from; yields them one at a time so that a file of
// any length streams.
class PointSource {
 public:
  enum class Step { Point, End, Error };
  virtual ~PointSource() = default;
  // The next value; on Error, *error says which file and line.
  virtual Step Next(double* value, QString* error) = 0;
};

struct PointSettings {
  std::unique_ptr<PointSource> source;
  Unit unit = Unit::X;
  std::optional<double> lambda;  // Å, from --energy or --wavelength
  std::optional<double> energy;  // keV, when --energy was given
  QString description;           // for the # lines: the grid or the file
};

// Reads --grid/--log-grid/--from, --unit, --energy/--wavelength. Usage
// errors (no points, two sources, theta without energy, STEP <= 0, N < 2, an
// unreadable file) report and return nothing.
std::optional<PointSettings> ParsePoints(Context& c, const Arguments& a, int* status);

QString UnitColumnName(Unit unit);
QString UnitDescription(Unit unit);

// Lines of delimited numbers to standard output, buffered. Nothing reaches
// the output before the first Flush after a data line (Commit), so a command
// that fails before its first point writes nothing.
class RecordWriter {
 public:
  // `display`: the main window's patterns instead of shortest round-trip.
  RecordWriter(char separator, bool display) : sep_(separator), display_(display) {}
  ~RecordWriter();
  void Comment(const QString& text);
  void Header(const std::vector<QString>& names);
  enum class Kind { X, Value };
  // A field: the number, or empty when `v` is nothing.
  void Field(std::optional<double> v, Kind kind = Kind::Value);
  void EndLine();
  // Writes out what is buffered once a data line exists.
  void Flush();
  bool HasData() const { return dataLines_ > 0; }

 private:
  void Separate();
  std::string buf_;
  char sep_;
  bool display_;
  bool lineStarted_ = false;
  bool headerDone_ = false;
  std::int64_t dataLines_ = 0;
};

// Streams every point: writes the point in its unit and x, then lets
// `fields(x)` write the rest of the line and say whether every field could
// be filled. Ends as curve and average end: status 2 for a bad line or no
// points, 1 when points were left (partly) empty, counted on standard error
// with `beyond` naming what else than the lookup's range empties a field.
int StreamPoints(Context& c, PointSettings& points, RecordWriter& w, const QString& beyond,
                 const std::function<bool(double x)>& fields);

// The program and version, the data folder, the unit and energy: the # lines
// shared by curve and average.
void WriteRunComments(RecordWriter& w, const QString& command, const PointSettings& p);

}  // namespace yex::cli
