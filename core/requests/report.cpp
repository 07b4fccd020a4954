#include "core/requests/report.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "core/elements/elements.h"
#include "core/lookup/lookup.h"
#include "core/numbers/numeric.h"
#include "core/physics/composition.h"
#include "core/physics/cross_section.h"
#include "core/requests/line_fields.h"
#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "core/tables/table_name.h"

namespace yex {
namespace {

std::string Printf(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

// Yields the points of a plain grid one at a time.
template <typename G>
class GridSource : public PointSource {
 public:
  explicit GridSource(const G& grid) : grid_(grid) {}
  bool Next(double* value) override {
    if (i_ >= grid_.count) return false;
    *value = grid_[i_++];
    return true;
  }

 private:
  G grid_;
  std::int64_t i_ = 0;
};

// One value a line: the first field; blank lines and # comments skipped.
class LineSource : public PointSource {
 public:
  LineSource(std::string name, Unit unit) : name_(std::move(name)), unit_(unit) {}
  bool Next(double* value) override {
    std::string_view line, field;
    while (ReadLine(&line)) {
      ++lineNo_;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      switch (ParsePointLine(line, value, &field)) {
        case PointLine::Skip:
          continue;
        case PointLine::Point:
          seenLine_ = true;
          if (unit_ == Unit::Theta && !ThetaInRange(*value))
            Fail(ErrorKind::Usage, name_ + ":" + std::to_string(lineNo_) + ": theta " + std::string(field) +
                                       ": " + kAngleRange);
          if (unit_ != Unit::Theta && *value < 0)
            Fail(ErrorKind::Usage, name_ + ":" + std::to_string(lineNo_) + ": " + UnitName(unit_) + " " +
                                       std::string(field) + ": " + kMomentumRange);
          return true;
        case PointLine::NotANumber:
          // The header line of a file curve or average wrote ("x,F(C)",
          // "q,x,..."): a first line whose first field starts with a letter.
          // Any other first line that is no number is a mistake.
          if (!seenLine_ && !field.empty() && IsAsciiLetter(field.front())) {
            seenLine_ = true;
            continue;
          }
          Fail(ErrorKind::Usage,
               name_ + ":" + std::to_string(lineNo_) + ": \"" + std::string(field) + "\" is not a number");
      }
    }
    return false;
  }

 protected:
  // The next line without its LF; false at the end.
  virtual bool ReadLine(std::string_view* line) = 0;
  std::string name_;
  Unit unit_;
  std::int64_t lineNo_ = 0;
  bool seenLine_ = false;  // a line that is neither blank nor #
};

class TextSource : public LineSource {
 public:
  TextSource(std::string text, std::string name, Unit unit)
      : LineSource(std::move(name), unit), text_(std::move(text)) {}

 private:
  bool ReadLine(std::string_view* line) override {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    *line = std::string_view(text_).substr(pos_, end - pos_);
    pos_ = end + 1;
    return true;
  }
  std::string text_;
  std::size_t pos_ = 0;
};

// Reads in large blocks, so a file of any length streams.
class FileSource : public LineSource {
 public:
  FileSource(std::FILE* f, std::string name, bool owned, Unit unit)
      : LineSource(std::move(name), unit), f_(f), owned_(owned) {}
  ~FileSource() override {
    if (owned_) std::fclose(f_);
  }

 private:
  bool ReadLine(std::string_view* line) override {
    for (;;) {
      // Searched from where the last search ended: a line of any length is
      // read in linear time.
      const std::size_t nl = std::string_view(buf_).find('\n', std::max(pos_, scanned_));
      if (nl != std::string_view::npos) {
        *line = std::string_view(buf_).substr(pos_, nl - pos_);
        pos_ = nl + 1;
        scanned_ = pos_;
        return true;
      }
      scanned_ = buf_.size();
      if (eof_) {
        if (std::ferror(f_))
          Fail(ErrorKind::Io, name_ + ": read error after line " + std::to_string(lineNo_));
        if (pos_ >= buf_.size()) return false;
        *line = std::string_view(buf_).substr(pos_);
        pos_ = buf_.size();
        return true;
      }
      buf_.erase(0, pos_);
      scanned_ -= pos_;
      pos_ = 0;
      const std::size_t old = buf_.size();
      buf_.resize(old + kBlock);
      const std::size_t n = std::fread(buf_.data() + old, 1, kBlock, f_);
      buf_.resize(old + n);
      if (n == 0) eof_ = true;
    }
  }
  static constexpr std::size_t kBlock = 1 << 16;
  std::FILE* f_;
  bool owned_;
  std::string buf_;
  std::size_t pos_ = 0;
  std::size_t scanned_ = 0;  // buf_ holds no line end before this
  bool eof_ = false;
};

// The point's columns: its value in the unit, then x; x alone in x.
std::vector<std::string> PointColumns(Unit unit) {
  if (unit == Unit::X) return {"x"};
  return {UnitName(unit), "x"};
}

void RunComments(RecordWriter& w, const std::string& command, const TableStore& store, const Provenance& who,
                 const PointsRequest* p) {
  w.Comment(who.program + " " + command);
  if (const std::optional<std::string> origin = store.Origin()) w.Comment(*origin);
  if (!p) return;
  w.Comment("points: " + p->description);
  w.Comment(std::string("unit: ") + UnitMeaning(p->unit));
  if (p->beam.energy)
    w.Comment("energy: " + ShortestText(*p->beam.energy) + " keV (lambda = " + ShortestText(*p->beam.lambda) +
              " Angstrom)");
  else if (p->beam.lambda)
    w.Comment("wavelength: " + ShortestText(*p->beam.lambda) + " Angstrom");
  if (!p->beam.meaning.empty()) w.Comment(p->beam.meaning + " (Elam, Ravel and Sieber)");
}

// Streams the points: the point in its unit, its x, then `fields(x)`.
template <typename F>
RunSummary StreamPoints(RecordWriter& w, const PointsRequest& p, PointSource& source, bool beyondLambda,
                        const F& fields) {
  RunSummary s;
  const double lambda = p.beam.lambda.value_or(1.0);
  std::vector<std::optional<double>> line, rest;
  double v = 0;
  try {
    while (source.Next(&v)) {
      const double x = ToX(p.unit, v, lambda);
      if (!fields(x, &rest)) ++s.outside;
      // In x the point is its x: one column.
      if (p.unit == Unit::X)
        line.assign({x});
      else
        line.assign({v, x});
      line.insert(line.end(), rest.begin(), rest.end());
      w.Line(line, line.size() - rest.size());
      ++s.points;
    }
  } catch (const Error&) {
    // The lines before a bad one stand.
    w.Flush();
    throw;
  }
  if (s.points == 0) Fail(ErrorKind::Usage, "no points in " + p.source);
  w.Flush();
  if (s.outside > 0)
    s.warning = std::to_string(s.outside) + " point" + (s.outside == 1 ? "" : "s") +
                " outside x = 0.005..1000" + (beyondLambda ? " or beyond x lambda = 1" : "") +
                ": fields left empty";
  return s;
}

}  // namespace

RecordWriter::~RecordWriter() { Flush(); }

void RecordWriter::Comment(const std::string& text) {
  buf_ += "# ";
  buf_ += text;
  buf_ += '\n';
}

void RecordWriter::Header(const std::vector<std::string>& names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i) buf_ += style_.separator;
    buf_ += names[i];
  }
  buf_ += '\n';
  headerDone_ = true;
}

void RecordWriter::Line(const std::vector<std::optional<double>>& fields, std::size_t xFields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) buf_ += style_.separator;
    AppendField(&buf_, fields[i], style_.display, i < xFields ? FieldKind::X : FieldKind::Value);
  }
  buf_ += '\n';
  if (headerDone_) ++dataLines_;
  if (headerDone_ && observer_) observer_(fields);
  if (buf_.size() >= (1 << 16)) Flush();
}

void RecordWriter::Line(const std::string& label, const std::vector<std::optional<double>>& fields) {
  Line(std::vector<std::string>{label}, fields);
}

void RecordWriter::Line(const std::vector<std::string>& labels,
                        const std::vector<std::optional<double>>& fields,
                        const std::vector<std::string>& after) {
  for (std::size_t k = 0; k < labels.size(); ++k) {
    if (k) buf_ += style_.separator;
    buf_ += labels[k];
  }
  for (const std::optional<double>& f : fields) {
    buf_ += style_.separator;
    AppendField(&buf_, f, style_.display, FieldKind::Value);
  }
  for (const std::string& a : after) {
    buf_ += style_.separator;
    buf_ += a;
  }
  buf_ += '\n';
  if (headerDone_) ++dataLines_;
  if (headerDone_ && observer_) observer_(fields);
  if (buf_.size() >= (1 << 16)) Flush();
}

void RecordWriter::Flush() {
  if (dataLines_ == 0 || buf_.empty()) return;
  sink_(buf_);
  buf_.clear();
}

std::unique_ptr<PointSource> OpenPoints(const PointsRequest& p) {
  switch (p.kind) {
    case PointsRequest::Kind::Grid:
      return std::make_unique<GridSource<LinearGrid>>(p.grid);
    case PointsRequest::Kind::LogGrid:
      return std::make_unique<GridSource<LogGrid>>(p.logGrid);
    case PointsRequest::Kind::File:
      break;
  }
  if (p.file == "-") return std::make_unique<FileSource>(stdin, "standard input", false, p.unit);
  errno = 0;
  std::FILE* f = IsFile(p.file) ? OpenFile(p.file, "rb") : nullptr;
  if (!f)
    Fail(ErrorKind::Usage,
         "from " + p.file + ": cannot be read (" +
             (IsThere(p.file) ? IsFolder(p.file) ? std::string("a folder") : SystemReason(errno)
                              : std::string("no such file")) +
             ")");
  return std::make_unique<FileSource>(f, p.file, true, p.unit);
}

std::unique_ptr<PointSource> TextPoints(std::string text, std::string name, Unit unit) {
  return std::make_unique<TextSource>(std::move(text), std::move(name), unit);
}

namespace {

// "YEX-data/Zero.yex rows 11-12: F of row 12 is 0, ..." when x lies inside
// a table whose pair of rows there cannot be interpolated.
template <typename Columns>
std::string UnusablePairAt(const Columns& columns, double x, const TableStore& store) {
  for (const auto& c : columns) {
    const int pair = c.lookup.PairOf(x);
    if (pair && !c.lookup.PairUsable(pair)) return store.Describe(c.file) + " " + c.lookup.PairProblem(pair);
  }
  return {};
}

}  // namespace

RunSummary WriteCurve(const CurveRequest& r, const TableStore& store, const Provenance& who, RecordWriter& w,
                      PointSource* source) {
  struct Column {
    std::string name, file;
    TableLookup lookup;
  };
  std::vector<Column> columns;
  for (const std::string& typed : r.tables) {
    const std::string file = store.Resolve(typed);
    columns.push_back({TableDisplayName(file), file, TableLookup(store.Load(file))});
  }
  std::unique_ptr<PointSource> own;
  if (!source) source = (own = OpenPoints(r.points)).get();
  RunComments(w, "curve", store, who, &r.points);
  std::vector<std::string> header = PointColumns(r.points.unit);
  for (const Column& c : columns) {
    w.Comment("table " + c.name + ": " + store.Describe(c.file));
    for (const char* kind : {"F", "S"}) header.push_back(std::string(kind) + "(" + c.name + ")");
    if (r.dcs)
      for (const char* kind : {"dcoh", "dincoh"}) header.push_back(std::string(kind) + "(" + c.name + ")");
  }
  w.Header(header);
  std::vector<const TableLookup*> lookups;
  for (const Column& c : columns) lookups.push_back(&c.lookup);
  const double energy = r.points.beam.EnergyKeV();
  std::string rows;  // the first pair of rows that could not be interpolated
  RunSummary s =
      StreamPoints(w, r.points, *source, r.dcs, [&](double x, std::vector<std::optional<double>>* fields) {
        const bool complete = CurveFields(lookups, x, r.dcs, energy, fields);
        if (!complete && rows.empty()) rows = UnusablePairAt(columns, x, store);
        return complete;
      });
  if (!rows.empty()) s.warning += " (" + rows + ")";
  return s;
}

RunSummary WriteAverage(const AverageRequest& r, const TableStore& store, const DispersionSource& dispersion,
                        const Provenance& who, RecordWriter& w, PointSource* source) {
  std::vector<std::pair<double, double>> fpp;  // f' and f'' of each entry, with --anomalous
  if (r.anomalous) fpp = DispersionOfTables(dispersion, TablesOf(r.composition), r.points.beam.EnergyKeV());
  std::vector<Constituent> parts;
  std::vector<std::string> names;
  for (const CountEntry& e : r.composition) {
    const std::string file = store.Resolve(e.table);
    parts.push_back({TableLookup(store.Load(file)), e.count});
    names.push_back(TableDisplayName(file));
    if (!fpp.empty()) parts.back().dispersion = fpp[parts.size() - 1];
  }
  std::unique_ptr<PointSource> own;
  if (!source) source = (own = OpenPoints(r.points)).get();
  const std::vector<double> fractions = AtomFractions(parts);
  RunComments(w, "average", store, who, &r.points);
  double total = 0.0;
  for (const Constituent& p : parts) total += p.count;
  std::string shares;
  for (std::size_t k = 0; k < names.size(); ++k)
    shares += (k ? ", " : "") + std::string("c(") + names[k] + ") = " + ShortestText(fractions[k]);
  w.Comment("sum n = " + (std::isfinite(total) ? ShortestText(total) : std::string("beyond 1.8e308")) + "; " +
            shares);
  if (r.breitDirac) w.Comment("Breit-Dirac power K = " + std::to_string(*r.breitDirac));
  if (!fpp.empty()) {
    std::string values;
    for (std::size_t k = 0; k < names.size(); ++k)
      values +=
          (k ? ", " : "") + names[k] + " " + ShortestText(fpp[k].first) + " " + ShortestText(fpp[k].second);
    w.Comment("anomalous dispersion, f = F(x) + f' + i f'' (Chantler's tables), f' f'': " + values);
  }
  std::vector<std::string> header = PointColumns(r.points.unit);
  header.insert(header.end(), {"f2_mean", "f_mean_sq", "S_mean"});
  if (r.breitDirac) header.push_back("S_mean_BD");
  w.Header(header);
  const double energy = r.points.beam.EnergyKeV();
  RunSummary s = StreamPoints(w, r.points, *source, r.breitDirac.has_value(),
                              [&](double x, std::vector<std::optional<double>>* fields) {
                                return AverageFields(parts, fractions, x, r.breitDirac, energy, fields);
                              });
  s.note = NotElementNote(names, true);
  return s;
}

std::optional<double> BuiltInMolarMass(const std::string& displayName) {
  const int z = AtomicNumber(displayName);
  if (z == 0) return std::nullopt;
  return StandardAtomicWeight(z);
}

std::string NotElementNote(const std::vector<std::string>& names, bool average) {
  std::string list;
  for (const std::string& n : names)
    if (std::string(AmountOfTable(n)) != "atom" && list.find("\"" + n + "\"") == std::string::npos)
      list += (list.empty() ? "\"" : ", \"") + n + "\"";
  if (list.empty()) return {};
  if (average)
    return list +
           " is no element's table and counts as one scattering unit; its formula (--formula H2O, or "
           "element tables with their counts) gives averages per atom";
  return list + " is no element's table: its cross sections are per " + AmountOfTable("") +
         " (a formula unit, or a mixture's quantity holding one atom of its first constituent)";
}

void EnergyComments(RecordWriter& w, const std::vector<std::string>& meanings) {
  for (const std::string& m : meanings) w.Comment(m + " (Elam, Ravel and Sieber)");
}

RunSummary WriteCrossSection(const CrossSectionRequest& r, const TableStore& store, const Provenance& who,
                             RecordWriter& w) {
  struct Column {
    std::string name, file;
    std::optional<double> molarMass;
    TableLookup lookup;
    CrossSectionTable integrals;  // prepared once, for every energy
  };
  std::vector<Column> columns;
  for (const CrossSectionRequest::Column& c : r.columns) {
    const std::string file = store.Resolve(c.table);
    const std::string name = TableDisplayName(file);
    const TableLookup lookup(store.Load(file));
    columns.push_back(
        {name, file, c.molarMass ? c.molarMass : BuiltInMolarMass(name), lookup, CrossSectionTable(lookup)});
  }
  RunComments(w, "cross-section", store, who, nullptr);
  EnergyComments(w, r.energyMeanings);
  w.Comment("sigma in barn per amount the table describes; cm2/g where a molar mass is known");
  std::vector<std::string> header{"E_keV"};
  std::vector<std::optional<double>> masses, fields, line;
  std::vector<const Column*> fieldColumn;  // whose each field is
  for (const Column& c : columns) {
    fieldColumn.insert(fieldColumn.end(), c.molarMass ? 4 : 2, &c);
    w.Comment("table " + c.name + ": " + store.Describe(c.file) +
              (c.molarMass ? ", molar mass " + ShortestText(*c.molarMass) + " g/mol" : std::string()));
    header.push_back("coh(" + c.name + ")");
    header.push_back("incoh(" + c.name + ")");
    if (c.molarMass) {
      header.push_back("coh_cm2g(" + c.name + ")");
      header.push_back("incoh_cm2g(" + c.name + ")");
    }
    masses.push_back(c.molarMass);
  }
  w.Header(header);
  std::vector<CrossSectionPair> values;
  try {
    for (const double energy : r.energies) {
      values.clear();
      for (const Column& c : columns) {
        CrossSectionPair p;
        const char* why = "";
        if (!c.integrals.At(energy, &p, &why))
          Fail(ErrorKind::OutOfRange, CrossSectionFailure(c.file, energy, why, &c.lookup));
        values.push_back(p);
      }
      CrossSectionFields(values, masses, &fields);
      for (std::size_t k = 0; k < fields.size(); ++k)
        if (fields[k] && !std::isfinite(*fields[k])) {
          const Column& c = *fieldColumn[k];
          Fail(ErrorKind::OutOfRange,
               CrossSectionFailure(c.file, energy,
                                   "sigma per gram is beyond the range of numbers "
                                   "(molar mass " +
                                       ShortestText(c.molarMass.value_or(0)) + " g/mol)"));
        }
      line.assign({energy});
      line.insert(line.end(), fields.begin(), fields.end());
      w.Line(line, 0);
    }
  } catch (const Error&) {
    // The lines before the failure stand, as a curve's do.
    w.Flush();
    throw;
  }
  w.Flush();
  RunSummary summary;
  summary.points = static_cast<std::int64_t>(r.energies.size());
  std::vector<std::string> names;
  for (const Column& c : columns) names.push_back(c.name);
  summary.note = NotElementNote(names, false);
  return summary;
}

std::vector<LookupLine> RunLookup(const LookupRequest& r, const TableStore& store) {
  const std::string file = store.Resolve(r.table);
  const ScatteringTable t = store.Load(file);
  const TableLookup lookup(t);  // LookupPoint's rule, on a table of any length
  std::vector<LookupLine> out;
  for (const LookupRequest::Value& v : r.values) {
    const LookupResult l = lookup(v.x);
    if (l.inRange) {
      out.push_back({FormatX(v.x) + " " + FormatFS(l.f) + " " + FormatFS(l.s), v.shown, {}});
      continue;
    }
    const int pair = lookup.PairOf(v.x);
    out.push_back({std::nullopt, v.shown,
                   pair && !lookup.PairUsable(pair) ? store.Describe(file) + " " + lookup.PairProblem(pair)
                                                    : std::string()});
  }
  return out;
}

namespace {

BuiltTable Build(const std::string& name, Synthesis kind, std::vector<Ingredient> entries,
                 const TableStore& store) {
  BuiltTable b;
  b.file = name + ".yex";
  for (Ingredient& e : entries) e.file = store.Resolve(e.file);
  b.resolved = entries;
  try {
    b.result = Synthesize(kind, entries, [&store](const std::string& file) { return store.Load(file); });
  } catch (const Error& e) {
    // A table that is missing or unreadable speaks for itself; the
    // arithmetic's reasons are the new table's.
    if (e.kind() == ErrorKind::MissingTable || e.kind() == ErrorKind::UnreadableData ||
        e.kind() == ErrorKind::Io)
      throw;
    Fail(e.kind(), name + " not built: " + e.what());
  }
  return b;
}

}  // namespace

BuiltTable BuildCompound(const std::string& name, const std::vector<CountEntry>& entries,
                         const TableStore& store) {
  std::vector<Ingredient> ingredients;
  for (const CountEntry& e : entries) ingredients.push_back({e.table, e.count, 0.0});
  return Build(name, Synthesis::Compound, ingredients, store);
}

BuiltTable BuildMixture(const std::string& name, const std::vector<Ingredient>& entries,
                        const TableStore& store) {
  return Build(name, Synthesis::Mixture, entries, store);
}

std::vector<std::string> BuiltLines(const BuiltTable& b, Synthesis kind) {
  std::vector<std::string> lines;
  for (std::size_t k = 0; k < b.resolved.size(); ++k) {
    const Ingredient& e = b.resolved[k];
    if (kind == Synthesis::Compound)
      lines.push_back("  " + e.file + "  " + Printf("%.15g", e.amount));
    else
      lines.push_back("  " + e.file + "  r = " + Printf("%.10g", b.result.ratios[k]) + "  (atomic weight " +
                      Printf("%.10g", e.atomicWeight) + ")");
  }
  return lines;
}

}  // namespace yex
