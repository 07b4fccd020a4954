#include "cli/cli.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <optional>

#ifdef YEX_HAVE_SVG
#include <QSvgGenerator>
#endif

#include "app/chart.h"
#include "app/elements.h"
#include "app/formula.h"
#include "app/lookup.h"
#include "app/module1.h"
#include "app/momentum.h"
#include "app/numeric.h"
#include "app/painter_surface.h"
#include "app/synthesis.h"
#include "app/table_file.h"
#include "app/table_format.h"
#include "app/table_name.h"

namespace yex::cli {
namespace {

constexpr int kOk = 0, kDataError = 1, kUsage = 2;

const char* kMainHelp =
    "usage: yex-cli [--data DIR] COMMAND ...\n"
    "\n"
    "Tables of the atomic form factor F(x) and the incoherent scattering function\n"
    "S(x) against the momentum transfer x = sin(theta/2)/lambda (1/Angstrom).\n"
    "DIR is the data folder, ./YEX-data by default.\n"
    "\n"
    "commands:\n"
    "  list                              the tables of the data folder\n"
    "  show TABLE [--csv]                the 45 rows of a table\n"
    "  lookup TABLE [X...] [--theta DEG]... (--energy KEV | --wavelength A)\n"
    "         [--q Q]...                 F and S interpolated at x\n"
    "  compound NAME TABLE:COUNT...      a compound from atoms per formula unit\n"
    "  compound NAME --formula FORMULA   the same from a formula (H2O, CuSO4*5H2O)\n"
    "  mixture NAME TABLE:PERCENT[:ATOMIC_WEIGHT]...\n"
    "                                    a mixture by weight\n"
    "  plot TABLE OUT.png|OUT.svg [--size PIXELS]\n"
    "                                    the main window's chart of a table\n"
    "\n"
    "yex-cli COMMAND --help tells more; --version prints the version.\n";

const char* kListHelp =
    "usage: yex-cli [--data DIR] list\nThe table names of the data folder, one a line, "
    "in the order the main window lists them.\n";
const char* kShowHelp =
    "usage: yex-cli [--data DIR] show TABLE [--csv]\n"
    "The 45 rows as the program reads them: row, x, F, S in the display patterns\n"
    "0.00E+00 / 0.0000E+00; with --csv a header x,F,S and full double precision.\n"
    "TABLE is a table name with or without its .yex extension.\n";
const char* kLookupHelp =
    "usage: yex-cli [--data DIR] lookup TABLE [X...] [--theta DEG]... (--energy KEV | --wavelength A)\n"
    "                                  [--q Q]...\n"
    "F and S at each momentum transfer, computed as Enter in the main window computes\n"
    "them: one line \"x F S\" a value, in the order given.\n"
    "  X              x = sin(theta/2)/lambda in 1/Angstrom, read as the main window reads it\n"
    "  --theta DEG    a scattering angle theta in degrees; needs --energy or --wavelength\n"
    "  --energy KEV   photon energy; lambda = 12.398419843320026 / E Angstrom\n"
    "  --wavelength A lambda in Angstrom\n"
    "  --q Q          momentum transfer Q = 4 pi x in 1/Angstrom\n"
    "A value outside 0.005..1000 prints \"This value is out of range.\" on standard\n"
    "error; the others are still printed and the exit status is 1.\n";
const char* kCompoundHelp =
    "usage: yex-cli [--data DIR] compound NAME TABLE:COUNT...\n"
    "       yex-cli [--data DIR] compound NAME --formula FORMULA\n"
    "Writes DIR/NAME.yex with the compound editor's synthesis for one formula unit:\n"
    "F = sqrt(sum n_k F_k^2), S = sum n_k S_k. A formula maps each element symbol to\n"
    "its table (H -> H.yex); it may hold nested (), decimal counts (Fe0.95O) and\n"
    "hydrate parts after * or a middle dot (CuSO4*5H2O). At most 10 tables.\n";
const char* kMixtureHelp =
    "usage: yex-cli [--data DIR] mixture NAME TABLE:PERCENT[:ATOMIC_WEIGHT]...\n"
    "Writes DIR/NAME.yex with the mixture editor's synthesis: the first constituent\n"
    "is row 1, r_k = (A_1/A_k)(w_k/w_1), F = sqrt(sum r_k F_k^2), S = sum r_k S_k.\n"
    "The atomic weight may be left out for an element table (the standard atomic\n"
    "weights of H to Cf are built in). At most 10 constituents.\n";
const char* kPlotHelp =
    "usage: yex-cli [--data DIR] plot TABLE OUT.png|OUT.svg [--size PIXELS]\n"
    "The main window's chart of a table, drawn by the same code; PIXELS is the\n"
    "side of the square chart, 525 (the main window's) by default.\n";

class Context {
 public:
  Context(QTextStream& out, QTextStream& err) : out(out), err(err) {}
  QTextStream& out;
  QTextStream& err;
  int Usage(const QString& message) {
    err << "yex-cli: " << message << "\n"
        << "Try 'yex-cli --help'.\n";
    return kUsage;
  }
  int Data(const QString& message) {
    err << "yex-cli: " << message << "\n";
    return kDataError;
  }
};

bool WantsHelp(const QStringList& args) {
  return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

// A table name as typed ("C" or "C.yex") to its file name, or nothing for a
// name that would leave the data folder.
std::optional<QString> TableFileName(const QString& typed) {
  QString name = typed;
  if (!name.endsWith(QStringLiteral(".yex"), Qt::CaseInsensitive)) name += QStringLiteral(".yex");
  if (!IsCreatableTableName(name.toStdString())) return std::nullopt;
  return name;
}

std::optional<double> StrictNumber(const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

// Reads a table; on failure reports it and returns nothing.
std::optional<ScatteringTable> LoadTable(Context& c, const QString& typed, int* status) {
  const std::optional<QString> name = TableFileName(typed);
  if (!name) {
    *status = c.Usage(QStringLiteral("\"%1\" is not a table name").arg(typed));
    return std::nullopt;
  }
  ScatteringTable t;
  QString reason;
  if (!ReadTableFile(DataFilePath(*name), t, &reason)) {
    *status = c.Data(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(DataFilePath(*name)), reason));
    return std::nullopt;
  }
  return t;
}

QString Str(const std::string& s) { return QString::fromStdString(s); }

int List(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kListHelp, kOk;
  if (!args.isEmpty()) return c.Usage(QStringLiteral("list takes no arguments"));
  if (!QFileInfo(DataFolder()).isDir())
    return c.Data(QStringLiteral("no data folder %1").arg(QDir::toNativeSeparators(DataFolder())));
  for (const QString& name : ListTableFiles(DataFolder())) c.out << name << "\n";
  return kOk;
}

int Show(Context& c, QStringList args) {
  if (WantsHelp(args)) return c.out << kShowHelp, kOk;
  const bool csv = args.removeAll(QStringLiteral("--csv")) > 0;
  if (args.size() != 1) return c.Usage(QStringLiteral("show needs one TABLE"));
  int status = kOk;
  const std::optional<ScatteringTable> t = LoadTable(c, args[0], &status);
  if (!t) return status;
  if (csv) c.out << "x,F,S\n";
  for (int r = 1; r <= TableRowCount; ++r) {
    if (csv)
      c.out << QString::number(t->x[r], 'g', 17) << ',' << QString::number(t->f[r], 'g', 17) << ','
            << QString::number(t->s[r], 'g', 17) << "\n";
    else
      c.out << QStringLiteral("%1  %2  %3  %4\n")
                   .arg(r, 2)
                   .arg(Str(FormatX(t->x[r])), Str(FormatFS(t->f[r])), Str(FormatFS(t->s[r])));
  }
  return kOk;
}

int Lookup(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kLookupHelp, kOk;
  if (args.isEmpty()) return c.Usage(QStringLiteral("lookup needs a TABLE"));
  // Each value: its x, and the text to report when it is out of range.
  struct Value {
    double x;
    QString text;
  };
  QList<Value> values;
  QList<QPair<double, QString>> thetas;
  std::optional<double> lambda;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QStringLiteral("--theta") || a == QStringLiteral("--q") || a == QStringLiteral("--energy") ||
        a == QStringLiteral("--wavelength")) {
      if (i + 1 >= args.size()) return c.Usage(a + QStringLiteral(" needs a value"));
      const QString v = args[++i];
      const std::optional<double> n = StrictNumber(v);
      if (!n) return c.Usage(QStringLiteral("%1 %2: not a number").arg(a, v));
      if (a == QStringLiteral("--q")) {
        values.append({XFromQ(*n), QStringLiteral("Q = ") + v});
      } else if (a == QStringLiteral("--theta")) {
        values.append({NAN, QStringLiteral("theta = ") + v});
        thetas.append({*n, v});
      } else {
        if (*n <= 0) return c.Usage(QStringLiteral("%1 %2: must be positive").arg(a, v));
        if (lambda) return c.Usage(QStringLiteral("give one of --energy and --wavelength, once"));
        lambda = a == QStringLiteral("--energy") ? WavelengthFromEnergy(*n) : *n;
      }
    } else if (a.startsWith(QStringLiteral("--")) && a.size() > 2 && !a[2].isDigit() && a[2] != '.') {
      return c.Usage(QStringLiteral("unknown option %1").arg(a));
    } else {
      values.append({NumericValue(a.toStdString()), a});
    }
  }
  if (!thetas.isEmpty() && !lambda) return c.Usage(QStringLiteral("--theta needs --energy or --wavelength"));
  if (values.isEmpty()) return c.Usage(QStringLiteral("lookup needs at least one value"));
  int t = 0;
  for (Value& v : values)
    if (std::isnan(v.x)) v.x = XFromAngle(thetas[t++].first, *lambda);

  int status = kOk;
  const std::optional<ScatteringTable> table = LoadTable(c, args[0], &status);
  if (!table) return status;
  Module1::CommitTable(*table);
  for (const Value& v : values) {
    const LookupResult r = LookupPoint(Module1::XData, Module1::FData, Module1::SData, v.x);
    if (!r.inRange) {
      c.out.flush();
      c.err << v.text << ": This value is out of range.\n";
      c.err.flush();
      status = kDataError;
      continue;
    }
    c.out << Str(FormatX(v.x)) << ' ' << Str(FormatFS(r.f)) << ' ' << Str(FormatFS(r.s)) << "\n";
  }
  return status;
}

struct Entry {
  QString file;
  double amount;
  std::optional<double> atomicWeight;
};

// Fills the editors' entry storage as the entry windows would.
bool StoreEntries(Context& c, const QList<Entry>& entries, int* status) {
  if (entries.size() > MaxConstituents) {
    *status = c.Usage(QStringLiteral("at most %1 tables, %2 given").arg(MaxConstituents).arg(entries.size()));
    return false;
  }
  for (const Entry& e : entries)
    if (!QFileInfo(DataFilePath(e.file)).isFile()) {
      *status = c.Data(QStringLiteral("no table %1").arg(QDir::toNativeSeparators(DataFilePath(e.file))));
      return false;
    }
  Module1::ClearTable();
  Module1::ElementKindCount = entries.size();
  for (int k = 1; k <= entries.size(); ++k) {
    const Entry& e = entries[k - 1];
    Module1::ElementFile(k) = e.file.toStdString();
    Module1::ElementAmount(k) = e.amount;
    Module1::AtomicWeight(k) = e.atomicWeight.value_or(0.0);
  }
  return true;
}

bool CheckName(Context& c, const QString& name, int* status) {
  if (IsCreatableTableName(name.toStdString())) return true;
  *status = c.Usage(QStringLiteral("\"%1\" cannot be a table name").arg(name));
  return false;
}

int Saved(Context& c, const SaveResult& r, const QString& name) {
  if (r.outcome != SaveOutcome::Saved)
    return c.Data(QStringLiteral("%1 not written: %2").arg(name, r.detail));
  c.out << "wrote " << QDir::toNativeSeparators(DataFilePath(name + QStringLiteral(".yex"))) << "\n";
  return kOk;
}

int Compound(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kCompoundHelp, kOk;
  if (args.size() < 2) return c.Usage(QStringLiteral("compound needs NAME and its constituents"));
  int status = kOk;
  const QString name = args[0];
  if (!CheckName(c, name, &status)) return status;
  QList<Entry> entries;
  if (args[1] == QStringLiteral("--formula")) {
    if (args.size() != 3) return c.Usage(QStringLiteral("--formula needs one FORMULA"));
    const FormulaResult f = ParseFormula(args[2].toStdString());
    if (!f.ok) return c.Usage(QStringLiteral("formula %1: %2").arg(args[2], Str(f.error)));
    for (const FormulaPart& p : f.parts)
      entries.append({Str(p.symbol) + QStringLiteral(".yex"), p.count, {}});
  } else {
    for (const QString& a : args.mid(1)) {
      const int colon = a.lastIndexOf(':');
      const std::optional<QString> file = colon > 0 ? TableFileName(a.left(colon)) : std::nullopt;
      const std::optional<double> n = colon > 0 ? StrictNumber(a.mid(colon + 1)) : std::nullopt;
      if (!file || !n) return c.Usage(QStringLiteral("%1: expected TABLE:COUNT").arg(a));
      if (*n <= 0) return c.Usage(QStringLiteral("%1: the count must be positive").arg(a));
      entries.append({*file, *n, {}});
    }
  }
  if (!StoreEntries(c, entries, &status)) return status;
  status = Saved(c, SaveCompound(name), name);
  if (status == kOk)
    for (const Entry& e : entries)
      c.out << "  " << e.file << "  " << QString::number(e.amount, 'g', 15) << "\n";
  return status;
}

int Mixture(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kMixtureHelp, kOk;
  if (args.size() < 2) return c.Usage(QStringLiteral("mixture needs NAME and its constituents"));
  int status = kOk;
  const QString name = args[0];
  if (!CheckName(c, name, &status)) return status;
  QList<Entry> entries;
  for (const QString& a : args.mid(1)) {
    const QStringList parts = a.split(':');
    if (parts.size() < 2 || parts.size() > 3)
      return c.Usage(QStringLiteral("%1: expected TABLE:PERCENT[:ATOMIC_WEIGHT]").arg(a));
    const std::optional<QString> file = TableFileName(parts[0]);
    const std::optional<double> w = StrictNumber(parts[1]);
    if (!file || !w) return c.Usage(QStringLiteral("%1: expected TABLE:PERCENT[:ATOMIC_WEIGHT]").arg(a));
    std::optional<double> aw;
    if (parts.size() == 3) {
      aw = StrictNumber(parts[2]);
      if (!aw) return c.Usage(QStringLiteral("%1: the atomic weight is not a number").arg(a));
    } else {
      const int z = AtomicNumber(file->chopped(4).toStdString());
      if (z == 0)
        return c.Usage(
            QStringLiteral("%1: give the atomic weight, %2 is not an element table").arg(a, *file));
      aw = StandardAtomicWeight(z);
    }
    entries.append({*file, *w, aw});
  }
  if (!StoreEntries(c, entries, &status)) return status;
  status = Saved(c, SaveMixture(name), name);
  if (status == kOk)
    for (int k = 1; k <= entries.size(); ++k)
      c.out << "  " << entries[k - 1].file << "  r = " << QString::number(Module1::AtomRatio(k), 'g', 10)
            << "  (atomic weight " << QString::number(*entries[k - 1].atomicWeight, 'g', 10) << ")\n";
  return status;
}

int Plot(Context& c, QStringList args) {
  if (WantsHelp(args)) return c.out << kPlotHelp, kOk;
  int size = kChartPixels;
  const int at = args.indexOf(QStringLiteral("--size"));
  if (at >= 0) {
    const std::optional<double> n = at + 1 < args.size() ? StrictNumber(args[at + 1]) : std::nullopt;
    if (!n || *n < 64 || *n > 8192 || *n != std::floor(*n))
      return c.Usage(QStringLiteral("--size needs a whole number of pixels from 64 to 8192"));
    size = static_cast<int>(*n);
    args.remove(at, 2);
  }
  if (args.size() != 2) return c.Usage(QStringLiteral("plot needs TABLE and OUT.png or OUT.svg"));
  const QString outPath = args[1];
  const QString suffix = QFileInfo(outPath).suffix().toLower();
  if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg"))
    return c.Usage(QStringLiteral("%1: the output must end in .png or .svg").arg(outPath));
  int status = kOk;
  const std::optional<ScatteringTable> t = LoadTable(c, args[0], &status);
  if (!t) return status;
  Module1::CommitTable(*t);
  const QSize pixels(size, size);
  SurfaceState state = NewChartState();
  const QColor back(0, 0, 128);
  auto draw = [&](QPainter& p) {
    PainterSurface surface(p, pixels, kChartScale, back, state);
    DrawChart(surface, Module1::XData, Module1::FData, Module1::SData);
  };
  if (suffix == QStringLiteral("png")) {
    QImage image = NewChartImage(pixels);
    {
      QPainter p(&image);
      draw(p);
    }
    if (!image.save(outPath, "PNG")) return c.Data(QStringLiteral("%1: cannot be written").arg(outPath));
  } else {
#ifdef YEX_HAVE_SVG
    QSvgGenerator svg;
    svg.setFileName(outPath);
    svg.setSize(pixels);
    svg.setViewBox(QRect(QPoint(0, 0), pixels));
    svg.setResolution(96);
    svg.setTitle(args[0]);
    QPainter p;
    if (!p.begin(&svg)) return c.Data(QStringLiteral("%1: cannot be written").arg(outPath));
    draw(p);
    p.end();
#else
    return c.Data(QStringLiteral("this build has no SVG support"));
#endif
  }
  c.out << "wrote " << outPath << "\n";
  return kOk;
}

}  // namespace

int Run(const QStringList& argsIn, QTextStream& out, QTextStream& err) {
  Context c(out, err);
  QStringList args = argsIn;
  while (!args.isEmpty() && args[0].startsWith(QStringLiteral("--"))) {
    const QString a = args.takeFirst();
    if (a == QStringLiteral("--help")) return out << kMainHelp, kOk;
    if (a == QStringLiteral("--version")) return out << "yex-cli " << YEX_VERSION << "\n", kOk;
    if (a == QStringLiteral("--data")) {
      if (args.isEmpty()) return c.Usage(QStringLiteral("--data needs a folder"));
      SetDataFolder(QDir::cleanPath(args.takeFirst()));
      continue;
    }
    return c.Usage(QStringLiteral("unknown option %1").arg(a));
  }
  if (!args.isEmpty() && args[0] == QStringLiteral("-h")) return out << kMainHelp, kOk;
  if (args.isEmpty()) return c.Usage(QStringLiteral("no command given"));
  const QString command = args.takeFirst();
  if (command == QStringLiteral("list")) return List(c, args);
  if (command == QStringLiteral("show")) return Show(c, args);
  if (command == QStringLiteral("lookup")) return Lookup(c, args);
  if (command == QStringLiteral("compound")) return Compound(c, args);
  if (command == QStringLiteral("mixture")) return Mixture(c, args);
  if (command == QStringLiteral("plot")) return Plot(c, args);
  if (command == QStringLiteral("help")) return out << kMainHelp, kOk;
  return c.Usage(QStringLiteral("unknown command %1").arg(command));
}

}  // namespace yex::cli
