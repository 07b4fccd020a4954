// list and show: the data folder's tables and one table's rows.
#include "cli/command.h"
#include "core/numbers/numeric.h"
#include "core/tables/table_format.h"

namespace yex::cli {
namespace {

const char* kListHelp =
    "usage: yex-cli [--data DIR] list\nThe table names of the data folder, one a line, "
    "in the order the main window lists them.\n";
const char* kShowHelp =
    "usage: yex-cli [--data DIR] show TABLE [--csv]\n"
    "The 45 rows as the program reads them: row, x, F, S in the display patterns\n"
    "0.00E+00 / 0.0000E+00; with --csv a header x,F,S and each number in the\n"
    "shortest text that reads back to the same double.\n"
    "TABLE is a table name with or without its .yex extension.\n";

}  // namespace

int List(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Out(kListHelp), kOk;
  if (!args.empty()) Fail(ErrorKind::Usage, "list takes no arguments");
  const FolderStore& store = Store();
  store.CheckFolder();
  for (const std::string& name : store.List()) Out(name + "\n");
  return kOk;
}

int Show(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Out(kShowHelp), kOk;
  const Options o = SplitArguments(args, {{}, {"--csv"}});
  const bool csv = o.has("--csv");
  if (o.operands().size() != 1) Fail(ErrorKind::Usage, "show needs one TABLE");
  const ScatteringTable t = Tables().LoadTyped(o.operands()[0]);
  std::string text = csv ? "x,F,S\n" : "";
  char row[8];
  for (int r = 1; r <= t.rows(); ++r) {
    if (csv) {
      text += ShortestText(t.x[r]) + ',' + ShortestText(t.f[r]) + ',' + ShortestText(t.s[r]) + "\n";
    } else {
      std::snprintf(row, sizeof row, "%2d", r);
      text += std::string(row) + "  " + FormatX(t.x[r]) + "  " + FormatFS(t.f[r]) + "  " + FormatFS(t.s[r]) +
              "\n";
    }
  }
  Out(text);
  return kOk;
}

}  // namespace yex::cli
