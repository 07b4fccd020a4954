// curve: F and S of several tables on the user's own points.
#include <QDir>
#include <cmath>

#include "app/scattering_data/table_file.h"
#include "cli/points.h"
#include "main_window/table_lookup.h"
#include "science/cross_section.h"
#include "science/series.h"
#include "science/units.h"

namespace yex::cli {
namespace {

const char* kCurveHelp =
    "usage: yex-cli [--data DIR] curve TABLE... POINTS [--unit UNIT]\n"
    "                                 [--energy KEV | --wavelength A] [--csv | --tsv] [--display]\n"
    "F and S of each TABLE at every point, exactly as Enter in the main window\n"
    "computes them, one line a point.\n"
    "POINTS, exactly one of:\n"
    "  --grid START:STOP:STEP     START + i*STEP up to STOP (included when on the grid)\n"
    "  --log-grid START:STOP:N    N points evenly spaced in log, both ends included\n"
    "  --from FILE                the first field of each line (split at blanks, tabs,\n"
    "                             commas); blank lines and # lines skipped; - is stdin\n"
    "--unit, what the points are:\n"
    "  x      x = sin(theta/2)/lambda in 1/Angstrom (the default)\n"
    "  q      Q = 4 pi x in 1/Angstrom\n"
    "  qnm    Q in 1/nm (10 times Q in 1/Angstrom)\n"
    "  theta  the scattering angle theta in degrees (diffraction's 2-theta); needs\n"
    "         --energy KEV (lambda = 12.398419843320026 / E Angstrom) or --wavelength A\n"
    "Output: # lines (program, data folder, tables, points, unit, energy), a header\n"
    "(the unit's name, x, then F(NAME),S(NAME) a table), then the numbers: CSV, or\n"
    "tab-separated with --tsv; shortest form that reads back to the same double, or\n"
    "with --display the main window's patterns 0.00E+00 / 0.0000E+00.\n"
    "A point outside x = 0.005..1000 gets empty F and S; standard error says how\n"
    "many and the status is 1. Usage errors: status 2, nothing on standard output.\n"
    "--dcs (needs --energy or --wavelength) adds dcoh(NAME), dincoh(NAME) in barn/sr:\n"
    "  dcoh/dOmega = (r_e^2/2)(1 + cos^2 theta) F^2\n"
    "  dincoh/dOmega = (r_e^2/2) P^2 (P + 1/P - sin^2 theta) S, P = 1/(1 + (E/mc^2)(1 - cos theta))\n"
    "  with cos theta = 1 - 2 lambda^2 x^2; a point no angle reaches (x lambda > 1)\n"
    "  gets them empty and is counted as out of range.\n"
    "Examples:\n"
    "  yex-cli curve O --grid 0.01:2:0.01\n"
    "  yex-cli curve C O Water --log-grid 0.005:1000:500\n"
    "  yex-cli curve Si --unit q --grid 0.5:25:0.05\n"
    "  yex-cli curve Si --unit qnm --log-grid 1:250:200 --tsv\n"
    "  yex-cli curve Apatite --unit theta --energy 17.48 --grid 5:150:0.01\n"
    "  yex-cli curve Cu --unit theta --wavelength 1.5406 --from two_theta.txt\n"
    "  seq 0.1 0.1 2 | yex-cli curve H O --from -\n"
    "  yex-cli curve C --unit theta --energy 59.54 --grid 1:179:1 --dcs\n";

}  // namespace

int Curve(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kCurveHelp, kOk;
  int status = kOk;
  KnownOptions known = PointOptions();
  known.flags << QStringLiteral("--dcs");
  const std::optional<Arguments> a = ParseArguments(c, args, known, &status);
  if (!a) return status;
  if (a->has(QStringLiteral("--csv")) && a->has(QStringLiteral("--tsv")))
    return c.Usage(QStringLiteral("give one of --csv and --tsv"));
  const QStringList tables = a->operands();
  if (tables.isEmpty()) return c.Usage(QStringLiteral("curve needs at least one TABLE"));
  std::optional<PointSettings> points = ParsePoints(c, *a, &status);
  if (!points) return status;
  const bool dcs = a->has(QStringLiteral("--dcs"));
  if (dcs && !points->lambda) return c.Usage(QStringLiteral("--dcs needs --energy or --wavelength"));
  const double energy = points->energy   ? *points->energy
                        : points->lambda ? kHcKeVAngstrom / *points->lambda
                                         : 0.0;

  struct Column {
    QString name, file;
    TableLookup lookup;
  };
  std::vector<Column> columns;
  for (const QString& typed : tables) {
    std::optional<ScatteringTable> t = LoadTable(c, typed, &status);
    // A table that cannot be read is found before the first point.
    if (!t) return kUsage;
    const QString file = *TableFileName(typed);
    columns.push_back({TableDisplayName(file), file, TableLookup(*t)});
  }

  RecordWriter w(a->has(QStringLiteral("--tsv")) ? '\t' : ',', a->has(QStringLiteral("--display")));
  WriteRunComments(w, QStringLiteral("curve"), *points);
  std::vector<QString> header{UnitColumnName(points->unit), QStringLiteral("x")};
  for (const Column& col : columns) {
    w.Comment(QStringLiteral("table %1: %2").arg(col.name, QDir::toNativeSeparators(DataFilePath(col.file))));
    header.push_back(QStringLiteral("F(%1)").arg(col.name));
    header.push_back(QStringLiteral("S(%1)").arg(col.name));
    if (dcs) {
      header.push_back(QStringLiteral("dcoh(%1)").arg(col.name));
      header.push_back(QStringLiteral("dincoh(%1)").arg(col.name));
    }
  }
  w.Header(header);

  const QString beyond = dcs ? QStringLiteral(" or beyond x lambda = 1") : QString();
  std::vector<const TableLookup*> lookups;
  for (const Column& col : columns) lookups.push_back(&col.lookup);
  std::vector<std::optional<double>> fields;
  return StreamPoints(c, *points, w, beyond, [&](double x) {
    const bool complete = CurveFields(lookups, x, dcs, energy, &fields);
    for (const std::optional<double>& v : fields) w.Field(v);
    return complete;
  });
}

}  // namespace yex::cli
