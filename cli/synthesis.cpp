// compound and mixture: new tables by the editors' synthesis.
#include <QDir>
#include <QFileInfo>

#include "app/scattering_data/module1.h"
#include "app/scattering_data/table_file.h"
#include "app/scattering_data/table_name.h"
#include "cli/command.h"
#include "compound_editor/compound_synthesis.h"
#include "mixture_editor/mixture_synthesis.h"
#include "science/elements.h"
#include "science/formula.h"

namespace yex::cli {
namespace {

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
using Entry = ConstituentEntry;

// The entries' tables must exist before the entry storage is filled.
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
  StoreConstituents(entries);
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

}  // namespace

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
    for (const FormulaPart& p : f.parts) entries.append({Str(p.symbol) + QStringLiteral(".yex"), p.count});
  } else {
    for (const QString& a : args.mid(1)) {
      const int colon = a.lastIndexOf(':');
      const std::optional<QString> file = colon > 0 ? TableFileName(a.left(colon)) : std::nullopt;
      const std::optional<double> n = colon > 0 ? StrictNumber(a.mid(colon + 1)) : std::nullopt;
      if (!file || !n) return c.Usage(QStringLiteral("%1: expected TABLE:COUNT").arg(a));
      if (*n <= 0) return c.Usage(QStringLiteral("%1: the count must be positive").arg(a));
      entries.append({*file, *n});
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
    entries.append({*file, *w, *aw});
  }
  if (!StoreEntries(c, entries, &status)) return status;
  status = Saved(c, SaveMixture(name), name);
  if (status == kOk)
    for (int k = 1; k <= entries.size(); ++k)
      c.out << "  " << entries[k - 1].file << "  r = " << QString::number(Module1::AtomRatio(k), 'g', 10)
            << "  (atomic weight " << QString::number(entries[k - 1].atomicWeight, 'g', 10) << ")\n";
  return status;
}

}  // namespace yex::cli
