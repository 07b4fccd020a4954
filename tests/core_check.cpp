// Prints what the core computes for a fixed set of requests: lookups of
// five shipped tables at every row x and 300 points, a compound and a
// mixture as their files hold them, a curve, cross sections and an average,
// f' and f'', attenuation and an average with anomalous dispersion,
// and a table file written over an existing one and read back. Built for
// Linux and, cross-compiled, for Windows: the two outputs must be the same
// bytes.
#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <functional>
#include <string>

#include "core/lookup/table_lookup.h"
#include "core/numbers/numeric.h"
#include "core/physics/dispersion.h"
#include "core/requests/report.h"
#include "core/requests/request.h"
#include "core/shipped/chantler_tables.h"
#include "core/shipped/shipped_tables.h"
#include "core/tables/table_file.h"
#include "core/tables/table_format.h"

using namespace yex;

namespace {

void Print(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }

std::string Lines(const char* what, const std::vector<std::string>& args,
                  const std::function<void(RecordWriter&)>& run) {
  std::string text = std::string("== ") + what;
  for (const std::string& a : args) text += " " + a;
  text += "\n";
  RecordWriter w(OutputStyle{}, [&text](const std::string& s) { text += s; });
  run(w);
  w.Flush();
  return text;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // the same bytes: LF, not CR LF
#endif
  const std::string scratch = argc > 1 ? argv[1] : "core_check.yex";
  try {
    for (const char* name : {"H", "O", "Fe", "Pb", "Cf"}) {
      const ScatteringTable t = Shipped().LoadTyped(name);
      const TableLookup lookup(t);
      std::vector<double> xs;
      for (int r = 1; r <= TableRowCount; ++r) xs.push_back(t.x[static_cast<std::size_t>(r)]);
      const LogGrid g = ParseLogGrid("grid", "0.003:1500:300", 1e6);
      for (std::int64_t i = 0; i < g.count; ++i) xs.push_back(g[i]);
      std::vector<double> f(xs.size()), s(xs.size());
      lookup.Many(xs.data(), xs.size(), f.data(), s.data());
      std::string text = std::string("== lookup ") + name + "\n";
      for (std::size_t i = 0; i < xs.size(); ++i)
        text += ShortestText(xs[i]) + " " + ShortestText(f[i]) + " " + ShortestText(s[i]) + "\n";
      Print(text);
    }
    std::string bytes;
    const CompoundRequest c = ParseCompound({"Apatite", "--formula", "Ca5(PO4)3OH"});
    FormatTable(BuildCompound(c.name, c.entries, Shipped()).result.table, &bytes);
    Print("== compound Apatite\n" + bytes);
    const MixtureRequest m = ParseMixture({"Brine", "H:10.8", "O:85.7", "Na:1.36", "Cl:2.14"});
    const BuiltTable brine = BuildMixture(m.name, m.entries, Shipped());
    FormatTable(brine.result.table, &bytes);
    Print("== mixture Brine\n" + bytes);
    const Provenance who{"core_check"};
    const std::vector<std::string> curve{"Si",       "O",     "--unit", "theta",
                                         "--energy", "17.48", "--grid", "5:150:0.5"};
    Print(Lines("curve", curve, [&](RecordWriter& w) {
      WriteCurve(ParseCurve(SplitArguments(curve, CurveOptions())), Shipped(), who, w);
    }));
    const std::vector<std::string> cross{"C", "Pb", "U", "--energy-grid", "1:1000:25"};
    Print(Lines("cross-section", cross, [&](RecordWriter& w) {
      WriteCrossSection(ParseCrossSection(SplitArguments(cross, CrossSectionOptions())), Shipped(), who, w);
    }));
    const std::vector<std::string> average{"--formula", "SiO2", "--unit",        "q", "--grid", "0.5:30:0.5",
                                           "--energy",  "61.3", "--breit-dirac", "2"};
    Print(Lines("average", average, [&](RecordWriter& w) {
      WriteAverage(ParseAverage(SplitArguments(average, AverageOptions())), Shipped(), BuiltInDispersion(),
                   who, w);
    }));
    const std::vector<std::string> dispersion{"Fe", "Pb", "U", "--energy-grid", "0.01:900:400"};
    Print(Lines("dispersion", dispersion, [&](RecordWriter& w) {
      WriteDispersion(ParseDispersion(SplitArguments(dispersion, DispersionOptions())), BuiltInDispersion(),
                      who, w);
    }));
    const std::vector<std::string> attenuation{"--formula",   "CuSO4*5H2O", "--density",     "2.28",
                                               "--thickness", "0.01",       "--energy-grid", "1:500:60"};
    Print(Lines("attenuation", attenuation, [&](RecordWriter& w) {
      WriteAttenuation(ParseAttenuation(SplitArguments(attenuation, AttenuationOptions())), Shipped(),
                       BuiltInDispersion(), who, w);
    }));
    const std::vector<std::string> anomalous{"--formula", "Fe2O3", "--grid",     "0.05:20:0.05",
                                             "--energy",  "7.1",   "--anomalous"};
    Print(Lines("average --anomalous", anomalous, [&](RecordWriter& w) {
      WriteAverage(ParseAverage(SplitArguments(anomalous, AverageOptions())), Shipped(), BuiltInDispersion(),
                   who, w);
    }));
    // Written twice: the second write replaces the first in place.
    WriteTableFile(scratch, Shipped().LoadTyped("U"));
    WriteTableFile(scratch, brine.result.table);
    FormatTable(ReadTableFile(scratch), &bytes);
    Print("== written over and read back\n" + bytes);
  } catch (const Error& e) {
    std::fprintf(stderr, "core_check: %s\n", e.what());
    return 1;
  }
  return 0;
}
