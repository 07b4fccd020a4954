// cross-section and average: from F and S to what is measured.
#include <QDir>
#include <cmath>

#include "app/scattering_data/table_file.h"
#include "cli/points.h"
#include "science/composition.h"
#include "science/cross_section.h"
#include "science/elements.h"
#include "science/formula.h"
#include "science/series.h"

namespace yex::cli {
namespace {

const char* kCrossSectionHelp =
    "usage: yex-cli [--data DIR] cross-section TABLE[:MOLAR_MASS]...\n"
    "                                  (--energy KEV [--energy KEV ...] | --energy-grid START:STOP:N)\n"
    "                                  [--csv | --tsv] [--display]\n"
    "Coherent (Rayleigh) and incoherent (Compton) scattering cross sections of each\n"
    "table, in barn per atom (element), formula unit (compound) or amount holding\n"
    "one atom of the first constituent (mixture), unpolarised:\n"
    "  sigma = 2 pi * integral over cos theta from -1 to 1 of dsigma/dOmega, with\n"
    "  dcoh/dOmega = (r_e^2/2)(1 + cos^2 theta) F(x)^2 and\n"
    "  dincoh/dOmega = (r_e^2/2) P^2 (P + 1/P - sin^2 theta) S(x),\n"
    "  x = sin(theta/2)/lambda, P = 1/(1 + (E/mc^2)(1 - cos theta)),\n"
    "F and S interpolated as the main window does (linear in x^2 below row 2).\n"
    "Where a molar mass is known (built in for an element table named by its\n"
    "symbol, or given after a colon in g/mol), also cm2/g.\n"
    "One line an energy: E_keV, then coh(NAME), incoh(NAME)[, coh_cm2g(NAME),\n"
    "incoh_cm2g(NAME)] a table. --energy-grid spaces N energies evenly in log.\n"
    "Examples:\n"
    "  yex-cli cross-section C Si Pb --energy 17.48 --energy 59.54\n"
    "  yex-cli cross-section Water:18.015 --energy-grid 10:150:15\n";

const char* kAverageHelp =
    "usage: yex-cli [--data DIR] average (--formula FORMULA | TABLE:COUNT...) POINTS\n"
    "                                  [--unit UNIT] [--energy KEV | --wavelength A]\n"
    "                                  [--breit-dirac K] [--csv | --tsv] [--display]\n"
    "Composition averages per atom for total scattering (PDF) work, from the\n"
    "element tables, with c_k = n_k / sum n:\n"
    "  f2_mean = sum c_k F_k^2,  f_mean_sq = (sum c_k F_k)^2,  S_mean = sum c_k S_k\n"
    "and with --breit-dirac K (2 for integrating, 3 for energy-dispersive detectors;\n"
    "needs --energy or --wavelength) S_mean_BD = S_mean * P^K,\n"
    "P = 1/(1 + (E/mc^2)(1 - cos theta)). POINTS and --unit as for curve; a point\n"
    "outside x = 0.005..1000 gets empty fields and the status is 1.\n"
    "Examples:\n"
    "  yex-cli average --formula SiO2 --unit q --grid 0.5:30:0.05\n"
    "  yex-cli average Si:1 O:2 --unit theta --energy 61.3 --grid 1:40:0.01 --breit-dirac 2\n";

// "NAME:NUMBER" split at the last colon.
bool SplitLast(const QString& a, QString* name, std::optional<double>* number) {
  const int colon = a.lastIndexOf(':');
  if (colon <= 0) return false;
  *name = a.left(colon);
  *number = StrictNumber(a.mid(colon + 1));
  return number->has_value();
}

std::optional<double> BuiltInMolarMass(const QString& displayName) {
  const int z = AtomicNumber(displayName.toStdString());
  if (z == 0) return std::nullopt;
  return StandardAtomicWeight(z);
}

}  // namespace

int CrossSection(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kCrossSectionHelp, kOk;
  int status = kOk;
  KnownOptions known{{QStringLiteral("--energy"), QStringLiteral("--energy-grid")},
                     {QStringLiteral("--csv"), QStringLiteral("--tsv"), QStringLiteral("--display")}};
  const std::optional<Arguments> a = ParseArguments(c, args, known, &status);
  if (!a) return status;
  if (a->has(QStringLiteral("--csv")) && a->has(QStringLiteral("--tsv")))
    return c.Usage(QStringLiteral("give one of --csv and --tsv"));
  if (a->operands().isEmpty()) return c.Usage(QStringLiteral("cross-section needs at least one TABLE"));

  std::vector<double> energies;
  const QStringList given = a->values(QStringLiteral("--energy"));
  const QStringList grids = a->values(QStringLiteral("--energy-grid"));
  if (given.isEmpty() == grids.isEmpty() || grids.size() > 1)
    return c.Usage(QStringLiteral("give --energy (repeated as needed) or one --energy-grid"));
  for (const QString& e : given) {
    const std::optional<double> v = PositiveNumber(c, QStringLiteral("--energy"), e, &status);
    if (!v) return status;
    energies.push_back(*v);
  }
  if (!grids.isEmpty()) {
    const QStringList parts = grids[0].split(':');
    const std::optional<double> lo = parts.size() == 3 ? StrictNumber(parts[0]) : std::nullopt;
    const std::optional<double> hi = parts.size() == 3 ? StrictNumber(parts[1]) : std::nullopt;
    const std::optional<double> n = parts.size() == 3 ? StrictNumber(parts[2]) : std::nullopt;
    if (!lo || !hi || !n)
      return c.Usage(QStringLiteral("--energy-grid %1: expected START:STOP:N").arg(grids[0]));
    GridProblem problem = GridProblem::None;
    const std::optional<LogGrid> grid = MakeLogGrid(*lo, *hi, *n, 1e6, &problem);
    if (!grid)
      return c.Usage(
          problem == GridProblem::NotPositive
              ? QStringLiteral("--energy-grid %1: energies must be positive").arg(grids[0])
              : QStringLiteral("--energy-grid %1: N must be a whole number of at least 2").arg(grids[0]));
    for (std::int64_t i = 0; i < grid->count; ++i) energies.push_back((*grid)[i]);
  }

  struct Column {
    QString name, file;
    std::optional<double> molarMass;
    TableLookup lookup;
  };
  std::vector<Column> columns;
  for (const QString& operand : a->operands()) {
    QString typed = operand;
    std::optional<double> mass;
    if (operand.contains(':')) {
      if (!SplitLast(operand, &typed, &mass) || !(*mass > 0))
        return c.Usage(
            QStringLiteral("%1: expected TABLE or TABLE:MOLAR_MASS (g/mol, positive)").arg(operand));
    }
    const std::optional<ScatteringTable> t = LoadTable(c, typed, &status);
    if (!t) return status;
    const QString file = *TableFileName(typed);
    const QString name = TableDisplayName(file);
    if (!mass) mass = BuiltInMolarMass(name);
    columns.push_back({name, file, mass, TableLookup(*t)});
  }

  // Every value is computed before anything is written: a table that cannot
  // be integrated is a data error with nothing on standard output.
  std::vector<std::vector<CrossSectionPair>> values(energies.size());
  for (std::size_t e = 0; e < energies.size(); ++e)
    for (const Column& col : columns) {
      CrossSectionPair p;
      const char* why = "";
      if (!IntegratedCrossSections(col.lookup, energies[e], &p, &why))
        return c.Data(
            QStringLiteral("%1 at %2 keV: %3").arg(col.file, Shortest(energies[e]), QString::fromUtf8(why)));
      values[e].push_back(p);
    }

  RecordWriter w(a->has(QStringLiteral("--tsv")) ? '\t' : ',', a->has(QStringLiteral("--display")));
  w.Comment(QStringLiteral("yex-cli %1 cross-section").arg(QStringLiteral(YEX_VERSION)));
  w.Comment(QStringLiteral("data folder: %1").arg(QDir::toNativeSeparators(DataFolder())));
  w.Comment(
      QStringLiteral("sigma in barn per amount the table describes; cm2/g where a molar mass is known"));
  std::vector<QString> header{QStringLiteral("E_keV")};
  for (const Column& col : columns) {
    w.Comment(QStringLiteral("table %1: %2%3")
                  .arg(col.name, QDir::toNativeSeparators(DataFilePath(col.file)),
                       col.molarMass ? QStringLiteral(", molar mass %1 g/mol").arg(Shortest(*col.molarMass))
                                     : QString()));
    header.push_back(QStringLiteral("coh(%1)").arg(col.name));
    header.push_back(QStringLiteral("incoh(%1)").arg(col.name));
    if (col.molarMass) {
      header.push_back(QStringLiteral("coh_cm2g(%1)").arg(col.name));
      header.push_back(QStringLiteral("incoh_cm2g(%1)").arg(col.name));
    }
  }
  w.Header(header);
  std::vector<std::optional<double>> masses, fields;
  for (const Column& col : columns) masses.push_back(col.molarMass);
  for (std::size_t e = 0; e < energies.size(); ++e) {
    w.Field(energies[e]);
    CrossSectionFields(values[e], masses, &fields);
    for (const std::optional<double>& v : fields) w.Field(v);
    w.EndLine();
  }
  w.Flush();
  return kOk;
}

int Average(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kAverageHelp, kOk;
  int status = kOk;
  KnownOptions known = PointOptions();
  known.valued << QStringLiteral("--formula") << QStringLiteral("--breit-dirac");
  const std::optional<Arguments> a = ParseArguments(c, args, known, &status);
  if (!a) return status;
  if (a->has(QStringLiteral("--csv")) && a->has(QStringLiteral("--tsv")))
    return c.Usage(QStringLiteral("give one of --csv and --tsv"));

  // The composition: table file names and atom counts.
  QList<QPair<QString, double>> entries;
  const QStringList formulas = a->values(QStringLiteral("--formula"));
  if (formulas.size() > 1 || (formulas.isEmpty() == a->operands().isEmpty()))
    return c.Usage(QStringLiteral("give --formula FORMULA or TABLE:COUNT..."));
  if (!formulas.isEmpty()) {
    const FormulaResult f = ParseFormula(formulas[0].toStdString());
    if (!f.ok) return c.Usage(QStringLiteral("formula %1: %2").arg(formulas[0], Str(f.error)));
    for (const FormulaPart& p : f.parts) entries.append({Str(p.symbol), p.count});
  } else {
    for (const QString& operand : a->operands()) {
      QString typed;
      std::optional<double> n;
      if (!SplitLast(operand, &typed, &n))
        return c.Usage(QStringLiteral("%1: expected TABLE:COUNT").arg(operand));
      if (!(*n > 0)) return c.Usage(QStringLiteral("%1: the count must be positive").arg(operand));
      entries.append({typed, *n});
    }
  }

  std::optional<int> power;
  const QStringList bd = a->values(QStringLiteral("--breit-dirac"));
  if (!bd.isEmpty()) {
    if (bd.size() > 1 || (bd[0] != QStringLiteral("2") && bd[0] != QStringLiteral("3")))
      return c.Usage(QStringLiteral("--breit-dirac takes 2 (integrating) or 3 (energy-dispersive), once"));
    power = bd[0].toInt();
  }
  std::optional<PointSettings> points = ParsePoints(c, *a, &status);
  if (!points) return status;
  if (power && !points->lambda)
    return c.Usage(QStringLiteral("--breit-dirac needs --energy or --wavelength"));
  const double energy = points->energy   ? *points->energy
                        : points->lambda ? kHcKeVAngstrom / *points->lambda
                                         : 0.0;

  std::vector<Constituent> parts;
  QStringList names;
  for (const auto& [typed, n] : entries) {
    const std::optional<ScatteringTable> t = LoadTable(c, typed, &status);
    if (!t) return status;
    parts.push_back({TableLookup(*t), n});
    names << TableDisplayName(*TableFileName(typed));
  }
  const std::vector<double> fractions = AtomFractions(parts);

  RecordWriter w(a->has(QStringLiteral("--tsv")) ? '\t' : ',', a->has(QStringLiteral("--display")));
  WriteRunComments(w, QStringLiteral("average"), *points);
  double total = 0.0;
  for (const Constituent& p : parts) total += p.count;
  QStringList shares;
  for (int k = 0; k < names.size(); ++k)
    shares << QStringLiteral("c(%1) = %2").arg(names[k], Shortest(fractions[k]));
  w.Comment(QStringLiteral("sum n = %1; %2").arg(Shortest(total), shares.join(QStringLiteral(", "))));
  if (power) w.Comment(QStringLiteral("Breit-Dirac power K = %1").arg(*power));
  std::vector<QString> header{UnitColumnName(points->unit), QStringLiteral("x"), QStringLiteral("f2_mean"),
                              QStringLiteral("f_mean_sq"), QStringLiteral("S_mean")};
  if (power) header.push_back(QStringLiteral("S_mean_BD"));
  w.Header(header);

  const QString beyond = power ? QStringLiteral(" or beyond x lambda = 1") : QString();
  std::vector<std::optional<double>> fields;
  return StreamPoints(c, *points, w, beyond, [&](double x) {
    const bool complete = AverageFields(parts, fractions, x, power, energy, &fields);
    for (const std::optional<double>& v : fields) w.Field(v);
    return complete;
  });
}

}  // namespace yex::cli
