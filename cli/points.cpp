#include "cli/points.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

#include "app/scattering_data/table_file.h"
#include "app/scattering_data/table_format.h"
#include "science/series.h"

namespace yex::cli {
namespace {

// Yields the points of a plain grid one at a time.
template <typename G>
class GridSource : public PointSource {
 public:
  explicit GridSource(const G& grid) : grid_(grid) {}
  Step Next(double* value, QString*) override {
    if (i_ >= grid_.count) return Step::End;
    *value = grid_[i_++];
    return Step::Point;
  }

 private:
  G grid_;
  std::int64_t i_ = 0;
};

// One value a line: the first field, split at blanks, tabs or commas; blank
// lines and # comments skipped. Reads in large blocks.
class FileSource : public PointSource {
 public:
  FileSource(std::FILE* f, QString name, bool owned) : f_(f), name_(std::move(name)), owned_(owned) {}
  ~FileSource() override {
    if (owned_) std::fclose(f_);
  }
  Step Next(double* value, QString* error) override {
    std::string_view line, field;
    while (ReadLine(&line)) {
      ++lineNo_;
      switch (ParsePointLine(line, value, &field)) {
        case PointLine::Skip:
          continue;
        case PointLine::Point:
          return Step::Point;
        case PointLine::NotANumber:
          *error = QStringLiteral("%1:%2: \"%3\" is not a number")
                       .arg(name_)
                       .arg(lineNo_)
                       .arg(QString::fromUtf8(field.data(), static_cast<int>(field.size())));
          return Step::Error;
      }
    }
    if (std::ferror(f_)) {
      *error = QStringLiteral("%1: read error after line %2").arg(name_).arg(lineNo_);
      return Step::Error;
    }
    return Step::End;
  }

 private:
  bool ReadLine(std::string_view* line) {
    for (;;) {
      const std::size_t nl = std::string_view(buf_).find('\n', pos_);
      if (nl != std::string_view::npos) {
        *line = std::string_view(buf_).substr(pos_, nl - pos_);
        pos_ = nl + 1;
        if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
        return true;
      }
      if (eof_) {
        if (pos_ >= buf_.size()) return false;
        *line = std::string_view(buf_).substr(pos_);
        pos_ = buf_.size();
        if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
        return true;
      }
      buf_.erase(0, pos_);
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
  QString name_;
  bool owned_;
  std::string buf_;
  std::size_t pos_ = 0;
  bool eof_ = false;
  std::int64_t lineNo_ = 0;
};

// "A:B:C" as three numbers, or nothing.
std::optional<std::array<double, 3>> Triple(const QString& text) {
  const QStringList parts = text.split(':');
  if (parts.size() != 3) return std::nullopt;
  std::array<double, 3> v{};
  for (int i = 0; i < 3; ++i) {
    const std::optional<double> n = StrictNumber(parts[i]);
    if (!n) return std::nullopt;
    v[i] = *n;
  }
  return v;
}

std::unique_ptr<PointSource> Grid(Context& c, const QString& text, int* status) {
  const auto v = Triple(text);
  if (!v) {
    *status = c.Usage(QStringLiteral("--grid %1: expected START:STOP:STEP").arg(text));
    return nullptr;
  }
  const auto [start, stop, step] = *v;
  GridProblem problem = GridProblem::None;
  const std::optional<LinearGrid> grid = MakeLinearGrid(start, stop, step, &problem);
  if (!grid) {
    *status = c.Usage(problem == GridProblem::StepNotPositive
                          ? QStringLiteral("--grid %1: STEP must be positive").arg(text)
                      : problem == GridProblem::TooManyPoints
                          ? QStringLiteral("--grid %1: too many points").arg(text)
                          : QStringLiteral("--grid %1: STOP lies below START").arg(text));
    return nullptr;
  }
  return std::make_unique<GridSource<LinearGrid>>(*grid);
}

std::unique_ptr<PointSource> LogGrid(Context& c, const QString& text, int* status) {
  const auto v = Triple(text);
  if (!v) {
    *status = c.Usage(QStringLiteral("--log-grid %1: expected START:STOP:N").arg(text));
    return nullptr;
  }
  const auto [start, stop, n] = *v;
  GridProblem problem = GridProblem::None;
  const std::optional<yex::LogGrid> grid = MakeLogGrid(start, stop, n, kMaxPoints, &problem);
  if (!grid) {
    *status =
        c.Usage(problem == GridProblem::NotPositive
                    ? QStringLiteral("--log-grid %1: START and STOP must be positive").arg(text)
                    : QStringLiteral("--log-grid %1: N must be a whole number of at least 2").arg(text));
    return nullptr;
  }
  return std::make_unique<GridSource<yex::LogGrid>>(*grid);
}

std::unique_ptr<PointSource> FromFile(Context& c, const QString& path, int* status) {
  if (path == QStringLiteral("-"))
    return std::make_unique<FileSource>(stdin, QStringLiteral("standard input"), false);
  std::FILE* f = QFileInfo(path).isFile() ? std::fopen(QFile::encodeName(path).constData(), "rb") : nullptr;
  if (!f) {
    *status = c.Usage(QStringLiteral("--from %1: cannot be read").arg(path));
    return nullptr;
  }
  return std::make_unique<FileSource>(f, path, true);
}

}  // namespace

KnownOptions PointOptions() {
  return {{QStringLiteral("--grid"), QStringLiteral("--log-grid"), QStringLiteral("--from"),
           QStringLiteral("--unit"), QStringLiteral("--energy"), QStringLiteral("--wavelength")},
          {QStringLiteral("--csv"), QStringLiteral("--tsv"), QStringLiteral("--display")}};
}

QString UnitColumnName(Unit unit) { return QString::fromLatin1(UnitName(unit)); }

QString UnitDescription(Unit unit) { return QString::fromLatin1(UnitMeaning(unit)); }

std::optional<PointSettings> ParsePoints(Context& c, const Arguments& a, int* status) {
  PointSettings p;
  const QStringList units = a.values(QStringLiteral("--unit"));
  if (units.size() > 1) {
    *status = c.Usage(QStringLiteral("give --unit once"));
    return std::nullopt;
  }
  if (!units.isEmpty()) {
    const QString u = units[0];
    bool found = false;
    for (Unit candidate : {Unit::X, Unit::Q, Unit::Qnm, Unit::Theta})
      if (u == UnitColumnName(candidate)) {
        p.unit = candidate;
        found = true;
      }
    if (!found) {
      *status = c.Usage(QStringLiteral("--unit %1: expected x, q, qnm or theta").arg(u));
      return std::nullopt;
    }
  }
  p.lambda = WavelengthOption(c, a, status);
  if (*status != kOk) return std::nullopt;
  if (a.has(QStringLiteral("--energy"))) p.energy = StrictNumber(a.values(QStringLiteral("--energy"))[0]);
  if (p.unit == Unit::Theta && !p.lambda) {
    *status = c.Usage(QStringLiteral("--unit theta needs --energy or --wavelength"));
    return std::nullopt;
  }
  const QStringList grids = a.values(QStringLiteral("--grid"));
  const QStringList logGrids = a.values(QStringLiteral("--log-grid"));
  const QStringList files = a.values(QStringLiteral("--from"));
  const int sources = grids.size() + logGrids.size() + files.size();
  if (sources == 0) {
    *status = c.Usage(QStringLiteral("no points: give --grid, --log-grid or --from"));
    return std::nullopt;
  }
  if (sources > 1) {
    *status = c.Usage(QStringLiteral("give one of --grid, --log-grid and --from, once"));
    return std::nullopt;
  }
  if (!grids.isEmpty()) {
    p.source = Grid(c, grids[0], status);
    p.description = QStringLiteral("grid ") + grids[0];
  } else if (!logGrids.isEmpty()) {
    p.source = LogGrid(c, logGrids[0], status);
    p.description = QStringLiteral("log grid ") + logGrids[0];
  } else {
    p.source = FromFile(c, files[0], status);
    p.description = QStringLiteral("from ") +
                    (files[0] == QStringLiteral("-") ? QStringLiteral("standard input") : files[0]);
  }
  if (!p.source) return std::nullopt;
  return p;
}

RecordWriter::~RecordWriter() { Flush(); }

void RecordWriter::Comment(const QString& text) {
  buf_ += "# ";
  buf_ += text.toStdString();
  buf_ += '\n';
}

void RecordWriter::Separate() {
  if (lineStarted_) buf_ += sep_;
  lineStarted_ = true;
}

void RecordWriter::Header(const std::vector<QString>& names) {
  for (const QString& n : names) {
    Separate();
    buf_ += n.toStdString();
  }
  EndLine();
  headerDone_ = true;
}

void RecordWriter::Field(std::optional<double> v, Kind kind) {
  Separate();
  AppendField(&buf_, v, display_, kind == Kind::X ? FieldKind::X : FieldKind::Value);
}

void RecordWriter::EndLine() {
  buf_ += '\n';
  lineStarted_ = false;
  if (headerDone_) ++dataLines_;
  if (buf_.size() >= (1 << 16)) Flush();
}

void RecordWriter::Flush() {
  if (dataLines_ == 0 || buf_.empty()) return;
  std::fwrite(buf_.data(), 1, buf_.size(), stdout);
  std::fflush(stdout);
  buf_.clear();
}

int StreamPoints(Context& c, PointSettings& points, RecordWriter& w, const QString& beyond,
                 const std::function<bool(double x)>& fields) {
  const double lambda = points.lambda.value_or(1.0);
  std::int64_t outside = 0;
  double v = 0;
  QString error;
  for (;;) {
    const PointSource::Step step = points.source->Next(&v, &error);
    if (step == PointSource::Step::End) break;
    if (step == PointSource::Step::Error) {
      w.Flush();
      return c.Usage(error);
    }
    const double x = ToX(points.unit, v, lambda);
    w.Field(v, RecordWriter::Kind::X);
    w.Field(x, RecordWriter::Kind::X);
    if (!fields(x)) ++outside;
    w.EndLine();
  }
  if (!w.HasData()) return c.Usage(QStringLiteral("no points in %1").arg(points.description));
  w.Flush();
  if (outside > 0)
    return c.Data(QStringLiteral("%1 point%2 outside x = 0.005..1000%3: fields left empty")
                      .arg(outside)
                      .arg(outside == 1 ? "" : "s")
                      .arg(beyond));
  return kOk;
}

void WriteRunComments(RecordWriter& w, const QString& command, const PointSettings& p) {
  w.Comment(QStringLiteral("yex-cli %1 %2").arg(QStringLiteral(YEX_VERSION), command));
  w.Comment(QStringLiteral("data folder: %1").arg(QDir::toNativeSeparators(DataFolder())));
  w.Comment(QStringLiteral("points: %1").arg(p.description));
  w.Comment(QStringLiteral("unit: %1").arg(UnitDescription(p.unit)));
  if (p.energy)
    w.Comment(QStringLiteral("energy: %1 keV (lambda = %2 Angstrom)")
                  .arg(Shortest(*p.energy), Shortest(*p.lambda)));
  else if (p.lambda)
    w.Comment(QStringLiteral("wavelength: %1 Angstrom").arg(Shortest(*p.lambda)));
}

}  // namespace yex::cli
