// compound and mixture: new tables by the editors' synthesis.
#include "cli/command.h"

namespace yex::cli {
namespace {

const char* kCompoundHelp =
    "usage: yex-cli [--data DIR] compound NAME TABLE:COUNT... [--force]\n"
    "       yex-cli [--data DIR] compound NAME --formula FORMULA [--force]\n"
    "Writes DIR/NAME.yex with the compound editor's synthesis for one formula unit:\n"
    "F = sqrt(sum n_k F_k^2), S = sum n_k S_k. A formula maps each element symbol to\n"
    "its table (H -> H.yex); it may hold nested (), decimal counts (Fe0.95O) and\n"
    "hydrate parts after * or a middle dot (CuSO4*5H2O); \".\" is always a decimal\n"
    "point. At most 10 tables, all on one x column. An existing NAME.yex (names\n"
    "compared without case) is replaced only with --force; an element's name\n"
    "(H ... Cf, in any case) is never taken.\n";
const char* kMixtureHelp =
    "usage: yex-cli [--data DIR] mixture NAME TABLE:PERCENT[:ATOMIC_WEIGHT]... [--force]\n"
    "Writes DIR/NAME.yex with the mixture editor's synthesis: the first constituent\n"
    "is row 1, r_k = (A_1/A_k)(w_k/w_1), F = sqrt(sum r_k F_k^2), S = sum r_k S_k.\n"
    "The atomic weight may be left out for an element table (the standard atomic\n"
    "weights of H to Cf are built in). Weights and percentages must be positive.\n"
    "At most 10 constituents, all on one x column. An existing NAME.yex (names\n"
    "compared without case) is replaced only with --force; an element's name\n"
    "(H ... Cf, in any case) is never taken.\n";

// Writes a new table into the data folder and reports it as the editors
// would have it.
int Write(const std::string& name, const BuiltTable& b, Synthesis kind, bool force) {
  FolderStore& store = Store();
  const std::string file = store.Save(name, b.result.table, force);
  std::string text = "wrote " + store.Describe(file) + "\n";
  for (const std::string& line : BuiltLines(b, kind)) text += line + "\n";
  Out(text);
  return kOk;
}

}  // namespace

int Compound(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Out(kCompoundHelp), kOk;
  const CompoundRequest r = ParseCompound(args);
  Note(r.note);
  Store().CheckFolder();
  Store().CheckNewTable(r.name, r.force);
  return Write(r.name, BuildCompound(r.name, r.entries, Store()), Synthesis::Compound, r.force);
}

int Mixture(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Out(kMixtureHelp), kOk;
  const MixtureRequest r = ParseMixture(args);
  Store().CheckFolder();
  Store().CheckNewTable(r.name, r.force);
  return Write(r.name, BuildMixture(r.name, r.entries, Store()), Synthesis::Mixture, r.force);
}

}  // namespace yex::cli
