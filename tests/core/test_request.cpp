// The core's request parsers: what a command line means, and every refusal
// as an error of the right kind naming what is wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core/requests/request.h"

using namespace yex;

namespace {

using Args = std::vector<std::string>;

Options Split(const Args& args, const KnownOptions& known) { return SplitArguments(args, known); }

}  // namespace

TEST(Request, ReadsWhatIsAsked) {
  // Options keep their order; "--5" and "-" are operands (a negative number,
  // standard input).
  const Options o = Split({"C", "--unit", "q", "--5", "-", "--dcs"}, CurveOptions());
  EXPECT_EQ(o.operands(), (Args{"C", "--5", "-"}));
  EXPECT_TRUE(o.has("--dcs"));

  const CurveRequest c = ParseCurve(Split(
      {"Si", "O", "--unit", "qnm", "--log-grid", "1:100:3", "--wavelength", "1.5", "--tsv"}, CurveOptions()));
  EXPECT_EQ(c.tables, (Args{"Si", "O"}));
  EXPECT_TRUE(c.points.unit == Unit::Qnm && c.points.kind == PointsRequest::Kind::LogGrid);
  EXPECT_EQ(c.points.logGrid.count, std::int64_t(3));
  EXPECT_EQ(c.points.logGrid[2], 100.0);
  EXPECT_EQ(*c.points.beam.lambda, 1.5);
  EXPECT_TRUE(!c.points.beam.energy);
  EXPECT_EQ(c.points.beam.EnergyKeV(), 12.398419843320026 / 1.5);
  EXPECT_EQ(c.style.separator, '\t');
  EXPECT_EQ(c.points.description, std::string("log grid 1:100:3"));

  // Energies in keV give λ = hc/E; a grid keeps its exact end.
  const AverageRequest a = ParseAverage(Split(
      {"--formula", "SiO2", "--unit", "theta", "--energy", "8", "--grid", "5:6:0.5", "--breit-dirac", "3"},
      AverageOptions()));
  EXPECT_EQ(a.composition.size(), std::size_t(2));
  EXPECT_EQ(a.composition[1].table, std::string("O"));
  EXPECT_EQ(a.composition[1].count, 2.0);
  EXPECT_EQ(*a.points.beam.lambda, 12.398419843320026 / 8);
  EXPECT_EQ(a.points.grid.count, std::int64_t(3));
  EXPECT_EQ(a.points.grid[2], 6.0);
  EXPECT_EQ(*a.breitDirac, 3);

  // TABLE:COUNT splits at the last colon; a mixture's element weight is
  // the standard one, an explicit weight wins.
  EXPECT_EQ(ParseCountEntry("My:Table.yex:2.5").table, std::string("My:Table.yex"));
  EXPECT_EQ(ParseMixtureEntry("H:10.8").atomicWeight, 1.008);
  EXPECT_EQ(ParseMixtureEntry("Water:40:18.015").atomicWeight, 18.015);

  const CrossSectionRequest x =
      ParseCrossSection(Split({"C", "Water:18.015", "--energy-grid", "1:100:3"}, CrossSectionOptions()));
  EXPECT_EQ(x.energies, (std::vector<double>{1.0, x.energies[1], 100.0}));
  EXPECT_TRUE(std::fabs(x.energies[1] - 10.0) < 1e-12);
  EXPECT_EQ(*x.columns[1].molarMass, 18.015);
  EXPECT_TRUE(!x.columns[0].molarMass);

  // lookup: values in the order given, each in its own unit.
  const LookupRequest l =
      ParseLookup(Split({"Si", "0.1", "--q", "2.5", "--theta", "90", "--wavelength", "2"}, LookupOptions()));
  EXPECT_EQ(l.table, std::string("Si"));
  EXPECT_EQ(l.values.size(), std::size_t(3));
  EXPECT_EQ(l.values[1].x, 2.5 / (4 * M_PI));
  EXPECT_TRUE(std::fabs(l.values[2].x - std::sqrt(0.5) / 2) < 1e-15);
  EXPECT_EQ(l.values[2].shown, std::string("theta = 90"));

  const CompoundRequest k = ParseCompound({"Water", "--formula", "H2O"});
  EXPECT_EQ(k.entries[0].table, std::string("H"));
  EXPECT_EQ(k.entries[0].count, 2.0);
}

TEST(Request, RefusesWithKindAndMessage) {
  struct Case {
    const char* what;
    std::function<void()> parse;
    const char* says;
  };
  const auto curve = [](Args a) { return [a] { ParseCurve(Split(a, CurveOptions())); }; };
  const auto average = [](Args a) { return [a] { ParseAverage(Split(a, AverageOptions())); }; };
  const auto cross = [](Args a) { return [a] { ParseCrossSection(Split(a, CrossSectionOptions())); }; };
  const Case cases[] = {
      {"unknown option", curve({"C", "--grid", "1:2:1", "--bogus"}), "unknown option --bogus"},
      {"missing value", curve({"C", "--grid"}), "--grid needs a value"},
      {"no table", curve({"--grid", "1:2:1"}), "curve needs at least one TABLE"},
      {"no points", curve({"C"}), "no points: give --grid, --log-grid or --from"},
      {"two sources", curve({"C", "--grid", "1:2:1", "--from", "-"}), "give one of --grid"},
      {"stop below start", curve({"C", "--grid", "1:0:1"}), "grid 1:0:1: STOP lies below START"},
      {"step zero", curve({"C", "--grid", "1:2:0"}), "grid 1:2:0: STEP must be positive"},
      {"not a triple", curve({"C", "--grid", "1:2"}), "grid 1:2: expected START:STOP:STEP"},
      {"N not whole", curve({"C", "--log-grid", "1:2:2.5"}), "log-grid 1:2:2.5: N must be a whole number"},
      {"log of zero", curve({"C", "--log-grid", "0:2:5"}), "START and STOP must be positive"},
      {"unknown unit", curve({"C", "--grid", "1:2:1", "--unit", "nm"}),
       "unit nm: expected x, q, qnm or theta"},
      {"theta without energy", curve({"C", "--grid", "1:2:1", "--unit", "theta"}), "theta needs an energy"},
      {"dcs without energy", curve({"C", "--grid", "1:2:1", "--dcs"}), "dcs needs an energy"},
      {"energy zero", curve({"C", "--grid", "1:2:1", "--energy", "0"}), "energy 0: must be positive"},
      {"energy text", curve({"C", "--grid", "1:2:1", "--energy", "8keV"}), "energy 8keV: not a number"},
      {"both beams", curve({"C", "--grid", "1:2:1", "--energy", "8", "--wavelength", "1"}),
       "give one of energy and wavelength"},
      {"csv and tsv", curve({"C", "--grid", "1:2:1", "--csv", "--tsv"}), "give one of --csv and --tsv"},
      {"bad formula", average({"--formula", "H2Xx", "--grid", "1:2:1"}),
       "formula H2Xx: unknown element symbol"},
      {"formula and tables", average({"--formula", "H2O", "H:2", "--grid", "1:2:1"}), "give --formula"},
      {"Breit-Dirac 4",
       average({"--formula", "H2O", "--grid", "1:2:1", "--energy", "9", "--breit-dirac", "4"}),
       "breit-dirac takes 2"},
      {"Breit-Dirac without energy", average({"--formula", "H2O", "--grid", "1:2:1", "--breit-dirac", "2"}),
       "Breit-Dirac factor needs an energy"},
      {"energy grid", cross({"C", "--energy-grid", "1:10:1"}),
       "energy-grid 1:10:1: N must be a whole number"},
      {"molar mass", cross({"C:abc", "--energy", "1"}), "C:abc: expected TABLE or TABLE:MOLAR_MASS"},
      {"energy and grid", cross({"C", "--energy", "1", "--energy-grid", "1:2:2"}), "give --energy"},
      {"theta in lookup",
       [] {
         ParseLookup(Split({"C", "--theta", "30"}, LookupOptions()));
       },
       "theta needs an energy"},
      {"angle beyond 180",
       [] {
         ParseLookup(Split({"C", "--theta", "200", "--energy", "8"}, LookupOptions()));
       },
       "theta 200: a scattering angle lies in 0..180 degrees"},
      {"angle below 0", curve({"C", "--unit", "theta", "--energy", "8", "--grid", "-1:10:1"}),
       "grid -1:10:1: a scattering angle lies in 0..180 degrees"},
      {"value not a number",
       [] {
         ParseLookup(Split({"C", "0,1"}, LookupOptions()));
       },
       "x 0,1: not a number"},
      {"count zero",
       [] {
         ParseCompound({"W", "H:0"});
       },
       "H:0: the count must be positive"},
      {"count text",
       [] {
         ParseCompound({"W", "H"});
       },
       "H: expected TABLE:COUNT"},
      {"bad name",
       [] {
         ParseCompound({"../W", "H:1"});
       },
       "\"../W\" cannot be a table name"},
      {"eleven",
       [] {
         ParseCompound({"W", "H:1", "H:1", "H:1", "H:1", "H:1", "H:1", "H:1", "H:1", "H:1", "H:1", "H:1"});
       },
       "at most 10 tables, 11 given"},
      {"no weight",
       [] {
         ParseMixture({"M", "Water:40", "C:60"});
       },
       "give the atomic weight, Water.yex is not"},
      {"weight text",
       [] {
         ParseMixture({"M", "C:60:abc"});
       },
       "C:60:abc: the atomic weight is not a number"},
      {"weight zero",
       [] {
         ParseMixture({"M", "H:50:0", "O:50"});
       },
       "H:50:0: the atomic weight must be positive"},
      {"percent zero",
       [] {
         ParseMixture({"M", "H:0", "O:50"});
       },
       "H:0: the weight percent must be positive"},
      {"value-level count", [] { MakeCountEntry("H", -2); }, "H:-2: the count must be positive"},
      {"value-level energy", [] { MakeBeam(-1.0, std::nullopt); }, "energy -1: must be positive"},
  };
  for (const Case& c : cases) {
    try {
      c.parse();
      ADD_FAILURE() << c.what;
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Usage) << c.what;
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.what << ": " << e.what();
    }
  }
}
