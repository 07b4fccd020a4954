// yex-cli curve run as a user runs it: units, grids, files, formats, errors,
// and every number exactly the core's lookup at the printed x.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/lookup/table_lookup.h"
#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "tests/core/support.h"

using namespace yex;
using namespace yex::test;

namespace {

using Fields = std::vector<std::string>;

struct Output {
  Fields comments;
  Fields header;
  std::vector<Fields> rows;
};

double Number(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

// In x a line holds the point once; it is read here as point and x both,
// as in the other units.
Output Parse(const std::string& out, char sep = ',') {
  Output o;
  bool single = false;
  for (const std::string& line : Split(out, '\n')) {
    if (line.empty()) continue;
    if (line[0] == '#') {
      o.comments.push_back(line);
      continue;
    }
    Fields fields = Split(line, sep);
    if (o.header.empty()) single = fields[0] == "x" && std::count(fields.begin(), fields.end(), "x") == 1;
    if (single) fields.insert(fields.begin() + 1, fields[0]);
    if (o.header.empty())
      o.header = fields;
    else
      o.rows.push_back(fields);
  }
  return o;
}

bool Has(const Fields& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TableLookup Loaded(const std::string& name) {
  return TableLookup(ReadTableFile("YEX-data/" + name + ".yex"));
}

// Columns F and S from `first` on hold exactly the lookup at x.
bool RowMatches(const Fields& row, std::size_t first, const TableLookup& lookup) {
  const LookupResult r = lookup(Number(row[1]));
  if (!r.inRange) return row[first].empty() && row[first + 1].empty();
  return Number(row[first]) == r.f && Number(row[first + 1]) == r.s;
}

}  // namespace

TEST(Curve, UnitsAgainstHandValues) {
  WorkFolder dir;
  dir.WriteElement("Si.yex", 14);
  const TableLookup si = Loaded("Si");
  const double lambdaMo = 12.398419843320026 / 17.48;
  // The # lines say what was asked: the unit, and the energy with its λ or
  // the wavelength.
  struct Case {
    Fields unit;
    std::string point;
    double x;
    Fields says;
  } cases[] = {
      {{}, "0.3", 0.3, {"# unit: x = sin(theta/2)/lambda in 1/Angstrom"}},
      {{"--unit", "q"}, "2.5", 2.5 / (4 * M_PI), {"# unit: q = 4 pi x in 1/Angstrom"}},
      {{"--unit", "qnm"}, "25", 2.5 / (4 * M_PI), {"# unit: qnm = 4 pi x in 1/nm"}},
      {{"--unit", "theta", "--energy", "17.48"},
       "30",
       std::sin(15 * M_PI / 180) / lambdaMo,
       {"# unit: theta = scattering angle in degrees",
        "# energy: 17.48 keV (lambda = 0.7092917530503448 Angstrom)"}},
      {{"--unit", "theta", "--wavelength", "1.5406"},
       "90",
       std::sin(M_PI / 4) / 1.5406,
       {"# unit: theta = scattering angle in degrees", "# wavelength: 1.5406 Angstrom"}},
  };
  EXPECT_EQ(Number("0.7092917530503448"), lambdaMo);  // the shortest text of λ
  for (const Case& c : cases) {
    const CliRun r = RunYexCli(Cat({"curve", "Si", "--grid", c.point + ":" + c.point + ":1"}, c.unit));
    ASSERT_EQ(r.status, 0) << r.err;
    const Output o = Parse(r.out);
    ASSERT_EQ(o.rows.size(), 1u);
    EXPECT_EQ(o.header[0], c.unit.empty() ? "x" : c.unit[1]);
    for (const std::string& line : c.says) EXPECT_TRUE(Has(o.comments, line)) << line;
    const auto beams = std::count_if(o.comments.begin(), o.comments.end(), [](const std::string& l) {
      return l.rfind("# energy:", 0) == 0 || l.rfind("# wavelength:", 0) == 0;
    });
    EXPECT_EQ(beams, c.unit.size() > 2 ? 1 : 0);
    EXPECT_EQ(Number(o.rows[0][0]), Number(c.point));
    EXPECT_LE(std::fabs(Number(o.rows[0][1]) - c.x), 1e-15 * c.x) << c.point;
    EXPECT_TRUE(RowMatches(o.rows[0], 2, si)) << c.point;
  }
}

TEST(Curve, GridEndsAndCounts) {
  WorkFolder dir;
  dir.WriteElement("O.yex", 8);
  struct Case {
    Fields points;
    std::size_t count;
    double first, third, last;
  } cases[] = {
      // Decimal grids: each point the double nearest its decimal value.
      {{"--grid", "0.1:0.5:0.1"}, 5, 0.1, 0.3, 0.5},   // STOP on the grid
      {{"--grid", "0:1:0.1"}, 11, 0, 0.2, 1},          // 10 * 0.1 within 1e-9 of 1
      {{"--grid", "0.1:0.55:0.1"}, 5, 0.1, 0.3, 0.5},  // STOP off the grid
      {{"--grid", "1:2:0.3"}, 4, 1, 1.6, 1.9},         {{"--grid", "1e-2:9e-2:2e-2"}, 5, 0.01, 0.05, 0.09},
      {{"--log-grid", "0.01:100:5"}, 5, 0.01, 1, 100}, {{"--log-grid", "100:0.01:3"}, 3, 100, 0.01, 0.01},
  };
  for (const Case& c : cases) {
    const CliRun r = RunYexCli(Cat({"curve", "O"}, c.points));
    EXPECT_EQ(r.status, c.first == 0 ? 1 : 0);  // x = 0 lies outside the lookup's range
    const Output o = Parse(r.out);
    ASSERT_EQ(o.rows.size(), c.count) << c.points[1];
    EXPECT_EQ(Number(o.rows.front()[0]), c.first) << c.points[1];
    EXPECT_EQ(Number(o.rows[2 % c.count][0]), c.third) << c.points[1];
    EXPECT_EQ(Number(o.rows.back()[0]), c.last) << c.points[1];
  }
}

TEST(Curve, SeveralTablesEqualOneRunEach) {
  WorkFolder dir;
  for (const char* e : {"H", "O", "U"})
    dir.WriteElement(std::string(e) + ".yex", e[0] == 'H' ? 1 : e[0] == 'O' ? 8 : 92);
  const Fields points{"--log-grid", "0.003:1500:2000"};
  const Output all = Parse(RunYexCli(Cat({"curve", "H", "O.yex", "U"}, points)).out);
  EXPECT_EQ(all.header, (Fields{"x", "x", "F(H)", "S(H)", "F(O)", "S(O)", "F(U)", "S(U)"}));
  ASSERT_EQ(all.rows.size(), 2000u);
  for (std::size_t t = 0; t < 3; ++t) {
    const std::string name = all.header[2 + 2 * t].substr(2, 1);
    const Output one = Parse(RunYexCli(Cat({"curve", name}, points)).out);
    const TableLookup lookup = Loaded(name);
    for (std::size_t i = 0; i < all.rows.size(); ++i) {
      const Fields& row = all.rows[i];
      ASSERT_EQ(one.rows[i], (Fields{row[0], row[1], row[2 + 2 * t], row[3 + 2 * t]})) << name << " " << i;
      ASSERT_TRUE(RowMatches(row, 2 + 2 * t, lookup)) << name << " " << i;
    }
  }
}

TEST(Curve, Formats) {
  WorkFolder dir;
  dir.WriteElement("C.yex", 6);
  const Fields points{"curve", "C", "--grid", "0.002:0.05:0.004"};
  const CliRun csv = RunYexCli(points), tsv = RunYexCli(Cat(points, {"--tsv"})),
               display = RunYexCli(Cat(points, {"--display", "--csv"}));
  EXPECT_EQ(csv.status, 1);  // 0.002 is out of range
  const Output c = Parse(csv.out), t = Parse(tsv.out, '\t'), d = Parse(display.out);
  EXPECT_EQ(t.rows, c.rows);
  EXPECT_EQ(t.comments, c.comments);
  EXPECT_TRUE(Has(c.comments, "# table C: YEX-data/C.yex"));
  ASSERT_EQ(d.rows.size(), c.rows.size());
  for (std::size_t i = 0; i < c.rows.size(); ++i) {
    EXPECT_EQ(d.rows[i][0], FormatX(Number(c.rows[i][0])));
    EXPECT_EQ(d.rows[i][1], FormatX(Number(c.rows[i][1])));
    for (std::size_t k : {2u, 3u})
      EXPECT_EQ(d.rows[i][k], c.rows[i][k].empty() ? std::string() : FormatFS(Number(c.rows[i][k])));
  }
}

TEST(Curve, PointsFromFileAndStdin) {
  WorkFolder dir;
  dir.WriteElement("O.yex", 8);
  const std::string text = "# two-theta scan\n\n0.3, 7.1\n  \t0.5\tcounts\r\n+1e-1\n# end\n2.5";
  std::ofstream("points.txt", std::ios::binary) << text;
  const CliRun file = RunYexCli({"curve", "O", "--from", "points.txt"});
  const CliRun in = RunYexCli({"curve", "O", "--from", "-"}, text);
  EXPECT_EQ(file.status, 0);
  EXPECT_EQ(Parse(in.out).rows, Parse(file.out).rows);
  Fields xs;
  for (const Fields& row : Parse(file.out).rows) xs.push_back(row[0]);
  EXPECT_EQ(xs, (Fields{"0.3", "0.5", "0.1", "2.5"}));
  // A stray word ends the run, naming file and line; the lines before stand.
  const CliRun bad = RunYexCli({"curve", "O", "--from", "-"}, "0.2\n0.4\nbackground\n0.6\n");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("standard input:3: \"background\" is not a number"), std::string::npos) << bad.err;
  EXPECT_EQ(Parse(bad.out).rows.size(), 2u);
}

TEST(Curve, PointsOutOfRange) {
  WorkFolder dir;
  dir.WriteElement("O.yex", 8);
  const CliRun r = RunYexCli({"curve", "O", "--from", "-"}, "0.001\n0.3\n1000\n1000.5\n");
  EXPECT_EQ(r.status, 1);
  const Output o = Parse(r.out);
  ASSERT_EQ(o.rows.size(), 4u);
  for (std::size_t i : {0u, 3u}) EXPECT_EQ(Fields(o.rows[i].begin() + 2, o.rows[i].end()), (Fields{"", ""}));
  for (std::size_t i : {1u, 2u}) EXPECT_TRUE(!o.rows[i][2].empty() && !o.rows[i][3].empty());
  EXPECT_EQ(r.err, "yex-cli: 2 points outside x = 0.005..1000: fields left empty\n");
}

// What curve writes, read back by --from: the # lines and the header are
// skipped, the first column is the point in the unit.
TEST(Curve, ReadsItsOwnOutput) {
  WorkFolder dir;
  dir.WriteElement("Si.yex", 14);
  dir.WriteElement("O.yex", 8);
  for (const char* unit : {"x", "q", "qnm", "theta"})
    for (const char* format : {"--csv", "--tsv"}) {
      const Fields request{"curve", "Si", "O", "--unit", unit, "--energy", "17.48", format};
      const CliRun written = RunYexCli(Cat(request, {"--grid", "1:30:0.7"}));
      const CliRun read = RunYexCli(Cat(request, {"--from", "-"}), written.out);
      EXPECT_EQ(read.status, written.status) << unit;
      const char sep = format[2] == 't' ? '\t' : ',';
      EXPECT_EQ(Parse(read.out, sep).header, Parse(written.out, sep).header) << unit;
      EXPECT_EQ(Parse(read.out, sep).rows, Parse(written.out, sep).rows) << unit;
      EXPECT_EQ(Parse(read.out, sep).rows.size(), 42u) << unit;
    }
}

TEST(Curve, UsageErrors) {
  WorkFolder dir;
  dir.WriteElement("O.yex", 8);
  std::filesystem::create_directory("folder");
  const std::vector<Fields> cases = {
      {"curve", "O"},                                          // no points
      {"curve", "--grid", "1:2:1"},                            // no table
      {"curve", "O", "--grid", "1:2:1", "--from", "-"},        // two sources
      {"curve", "O", "--grid", "1:2:1", "--grid", "1:3:1"},    // one source twice
      {"curve", "O", "--unit", "theta", "--grid", "1:2:1"},    // theta without energy
      {"curve", "O", "--grid", "1:2:0"},                       // STEP = 0
      {"curve", "O", "--grid", "1:2:-0.5"},                    // STEP < 0
      {"curve", "O", "--grid", "2:1:0.5"},                     // STOP below START
      {"curve", "O", "--grid", "1:2"},                         // not START:STOP:STEP
      {"curve", "O", "--log-grid", "1:2:1"},                   // N < 2
      {"curve", "O", "--log-grid", "1:2:2.5"},                 // N not whole
      {"curve", "O", "--log-grid", "0:2:5"},                   // log of 0
      {"curve", "O", "--from", "missing.txt"},                 // unreadable file
      {"curve", "O", "--from", "folder"},                      // not a file
      {"curve", "O", "--grid", "1:2:1", "--unit", "nm"},       // unknown unit
      {"curve", "O", "--grid", "1:2:1", "--energy", "0"},      // energy not positive
      {"curve", "O", "--grid", "1:2:1", "--wavelength", "0"},  // wavelength not positive
      {"curve", "O", "--grid", "1:2:1", "--energy", "8", "--wavelength", "1"},
      {"curve", "O", "--grid", "1:2:1", "--csv", "--tsv"},
      {"curve", "O", "--grid", "1:2:1", "--bogus"},
  };
  for (const Fields& args : cases) {
    const CliRun r = RunYexCli(args);
    EXPECT_EQ(r.status, 2) << args[2];
    EXPECT_TRUE(r.out.empty()) << args[2];
    EXPECT_EQ(r.err.find("yex-cli: "), r.err.rfind("yex-cli: ")) << r.err;
  }
  // A missing table is a data error, as in every command.
  const CliRun missing = RunYexCli({"curve", "Missing", "--grid", "1:2:1"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.out.empty());
  // An empty file has no points either.
  const CliRun empty = RunYexCli({"curve", "O", "--from", "-"}, "# nothing\n");
  EXPECT_EQ(empty.status, 2);
  EXPECT_TRUE(empty.out.empty());
}
