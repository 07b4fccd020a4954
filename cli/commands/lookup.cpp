// lookup: F and S at a few points, as Enter in the main window gives them.
#include "cli/command.h"

namespace yex::cli {
namespace {

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
    "error; the others are still printed and the exit status is 1.\n"
    "For many points at full precision, see 'yex-cli curve --help'.\n";

}  // namespace

int Lookup(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Out(kLookupHelp), kOk;
  const LookupRequest r = ParseLookup(SplitArguments(args, LookupOptions()));
  int status = kOk;
  for (const LookupLine& l : RunLookup(r, Tables())) {
    if (l.line) {
      Out(*l.line + "\n");
    } else {
      Err("yex-cli: " + l.shown + ": " +
          (l.why.empty() ? std::string("This value is out of range.") : l.why) + "\n");
      status = kDataError;
    }
  }
  return status;
}

}  // namespace yex::cli
