// The request parsers on arbitrary command lines: every input is a request
// or an Error, never a crash or another exception.
#include <string>
#include <vector>

#include "core/requests/request.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n')
      args.emplace_back();
    else
      args.back() += static_cast<char>(data[i]);
  }
  using namespace yex;
  const auto quietly = [&](auto parse) {
    try {
      parse();
    } catch (const Error&) {
    }
  };
  quietly([&] { ParseCurve(SplitArguments(args, CurveOptions())); });
  quietly([&] { ParseAverage(SplitArguments(args, AverageOptions())); });
  quietly([&] { ParseCrossSection(SplitArguments(args, CrossSectionOptions())); });
  quietly([&] { ParseLookup(SplitArguments(args, LookupOptions())); });
  quietly([&] { ParseCompound(args); });
  quietly([&] { ParseMixture(args); });
  return 0;
}
