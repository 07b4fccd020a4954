// list and show: the data folder's tables and one table's rows.
#include <QDir>
#include <QFileInfo>

#include "app/scattering_data/table_file.h"
#include "app/scattering_data/table_format.h"
#include "cli/command.h"

namespace yex::cli {
namespace {

const char* kListHelp =
    "usage: yex-cli [--data DIR] list\nThe table names of the data folder, one a line, "
    "in the order the main window lists them.\n";
const char* kShowHelp =
    "usage: yex-cli [--data DIR] show TABLE [--csv]\n"
    "The 45 rows as the program reads them: row, x, F, S in the display patterns\n"
    "0.00E+00 / 0.0000E+00; with --csv a header x,F,S and full double precision.\n"
    "TABLE is a table name with or without its .yex extension.\n";

}  // namespace

int List(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kListHelp, kOk;
  if (!args.isEmpty()) return c.Usage(QStringLiteral("list takes no arguments"));
  if (!QFileInfo(DataFolder()).isDir()) return c.Data(MissingDataFolder());
  for (const QString& name : ListTableFiles(DataFolder())) c.out << name << "\n";
  return kOk;
}

int Show(Context& c, const QStringList& args) {
  if (WantsHelp(args)) return c.out << kShowHelp, kOk;
  int status = kOk;
  const std::optional<Arguments> a = ParseArguments(c, args, {{}, {QStringLiteral("--csv")}}, &status);
  if (!a) return status;
  const bool csv = a->has(QStringLiteral("--csv"));
  if (a->operands().size() != 1) return c.Usage(QStringLiteral("show needs one TABLE"));
  const std::optional<ScatteringTable> t = LoadTable(c, a->operands()[0], &status);
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

}  // namespace yex::cli
