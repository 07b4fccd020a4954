// One reading of every input: names, entries and numbers as yex-cli takes
// them, refusals with their reason, and sums of extreme weights that stay
// finite. Expectations come from the closed forms or another spelling of
// the same request, never from the code under test.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/tables/table_format.h"
#include "tests/core/support.h"

using namespace yex::test;
namespace fs = std::filesystem;

namespace {

// The lines that are not # comments.
std::vector<std::string> Data(const std::string& out) {
  std::vector<std::string> lines;
  for (const std::string& l : Split(out, '\n'))
    if (!l.empty() && l[0] != '#') lines.push_back(l);
  return lines;
}

// 2^k in decimal digits, as a formula's count is written.
std::string PowerOfTwo(int k) {
  std::string d = "1";
  for (int i = 0; i < k; ++i) {
    int carry = 0;
    for (auto c = d.rbegin(); c != d.rend(); ++c) {
      const int v = (*c - '0') * 2 + carry;
      *c = static_cast<char>('0' + v % 10);
      carry = v / 10;
    }
    if (carry) d.insert(d.begin(), static_cast<char>('0' + carry));
  }
  return d;
}

}  // namespace

TEST(Inputs, RefusedWithTheirReasonOrReadAsMeant) {
  WorkFolder dir;
  for (const char* s : {"H", "O", "Fe", "C", "Co", "U", "N", "Si"}) CopyShipped(s);
  const std::string big = "9" + std::string(307, '0');  // 9e307 atoms
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string said;  // in the error output, or in the output when status is 0
  } cases[] = {
      // A first line that is no number is a header only when it starts with a letter.
      {{"curve", "C", "--from", "-"}, "0.1O\n0.2\n", 2, "standard input:1: \"0.1O\" is not a number"},
      {{"curve", "C", "--from", "-"}, "x,F(C),S(C)\n0.2\n", 0, "0.2,"},
      {{"curve", "C", "--from", "-"}, ",5\n0.2\n", 2, "standard input:1"},
      // An element's table answers to its symbol in any case, in mixtures too.
      {{"mixture", "M2", "fe:50", "o:50"}, "", 0, "wrote YEX-data/M2.yex"},
      {{"mixture", "M3", "Water:50", "o:50"},
       "",
       2,
       "Water:50: give the atomic weight, Water.yex is not an element"},
      {{"attenuation", "Water:50", "O:50", "--energy", "8"},
       "",
       2,
       "Water: a mixture's constituents must be elements"},
      {{"compound", "Water.yex", "--formula", "H2O"}, "", 0, "wrote YEX-data/Water.yex\n"},
      {{"cross-section", "C", "--energy", "8", "17.5"}, "", 2, "give several energies as --energy 8,17.5"},
      {{"cross-section", "C", "--energy", "8,x"}, "", 2, "energy x: not a number"},
      // A formula is read case-sensitively; a lower-case symbol gets a hint.
      {{"attenuation", "--formula", "fe", "--energy", "8"}, "", 2, "for the element write Fe"},
      {{"dispersion", "--formula", "U" + big, "--energy", "10"}, "", 1, "beyond the range of doubles"},
      {{"compound", "Huge", "C:1e300"}, "", 1, "above 1e+100 in row 1"},
      // Lines and edges are energies; a name that is none is refused with those there are.
      {{"dispersion", "Fe", "--energy", "CuKz"},
       "",
       2,
       "Cu has no emission line or absorption edge Kz (lines: Ka3"},
      {{"dispersion", "Fe", "--energy", "cuKa1"}, "", 2, "energy cuKa1: not a number"},
      {{"cross-section", "C", "--energy", "Cu-K-L3"},
       "",
       0,
       "Cu-K-L3 = 8.0463 keV: the Cu Ka1 (K-L3) emission line"},
      // A density from the list, or refused with what the list has.
      {{"index", "--formula", "SiO2", "--energy", "8"}, "", 2, "give --density (g/cm3) for SiO2"},
      {{"index", "C", "--energy", "8"}, "", 2, "the list has diamond carbon 3.52, graphite carbon 2.23"},
      {{"index", "--material", "Kapton", "--energy", "8"},
       "",
       0,
       "material kapton: C22H10N2O5, density 1.42 g/cm3"},
      {{"reflectivity", "Au", "--energy", "8", "--angle-grid", "1:2:0"}, "", 2, "N must be a whole number"},
  };
  for (const auto& c : cases) {
    const CliRun r = RunYexCli(c.args, c.input);
    const std::string where = c.args[0] + " " + c.args[1] + " " + c.input;
    EXPECT_EQ(r.status, c.status) << where << r.err;
    EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.said), std::string::npos) << where << r.out << r.err;
  }
  EXPECT_TRUE(fs::is_regular_file("YEX-data/Water.yex"));
  // An energy outside the tables is refused before any line.
  for (const char* command : {"dispersion", "attenuation"}) {
    const CliRun r = RunYexCli({command, "Fe", "--energy", "8,1000"});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(Data(r.out).size(), 0u) << command << r.out;
  }

  // The same request spelt another way gives the same lines: weights of any
  // size (summed scaled; counts times 2^k), entries in any case, the atomic weight written out,
  // a list of energies against repeated options, CO against C1O1.
  const std::vector<std::vector<std::string>> same[] = {
      {{"attenuation", "H:1", "O:1", "--energy", "10"},
       {"attenuation", "H:1e308", "O:1e308", "--energy", "10"},
       {"attenuation", "h:1e-300", "o:1e-300", "--energy", "10"},
       {"attenuation", "H:1:1.008", "O:1:15.999", "--energy", "10"}},
      {{"cross-section", "Fe", "--energy", "8", "--energy", "17.5"},
       {"cross-section", "fe.YEX", "--energy", "8,17.5"}},
      {{"attenuation", "--formula", "CO", "--energy", "8"},
       {"attenuation", "--formula", "C1O1", "--energy", "8"}},
      {{"attenuation", "--formula", "HO", "--energy", "9"},
       {"attenuation", "--formula", "H" + PowerOfTwo(1020) + "O" + PowerOfTwo(1020), "--energy", "9"}},
      // A line's name is its energy; an element alone, its listed material, and its formula with that
      // density.
      {{"cross-section", "Fe", "--energy", "CuKa1"}, {"cross-section", "Fe", "--energy", "8.0463"}},
      {{"index", "Si", "--energy", "8"},
       {"index", "--material", "SILICON", "--energy", "8"},
       {"index", "--formula", "Si", "--density", "2.329", "--energy", "8"}},
  };
  for (const auto& group : same) {
    const std::vector<std::string> first = Data(RunYexCli(group[0]).out);
    ASSERT_GT(first.size(), 1u) << group[0][1];
    for (const auto& args : group) {
      std::vector<std::string> lines = Data(RunYexCli(args).out);
      // Only the material's name in the header may differ.
      if (!lines.empty()) lines[0] = first[0];
      EXPECT_EQ(lines, first) << args[1] << " " << args[2];
    }
  }
  {
    // A user's own materials, read strictly, found before the built-in ones.
    std::ofstream("YEX-data/materials.txt") << "# mine\nsoft water | H2O | 0.5\nbad | H2O | x\n";
    EXPECT_NE(RunYexCli({"materials"})
                  .err.find("YEX-data/materials.txt line 3: density x is not a positive number"),
              std::string::npos);
    std::ofstream("YEX-data/materials.txt") << "Soft  Water | H2O | 0.5\nWATER | H2O | 1.1\n";
    for (const auto& [name, said] :
         {std::pair{"soft water", "density 0.5 g/cm3"}, {"Water", "density 1.1 g/cm3"}}) {
      const CliRun r = RunYexCli({"index", "--material", name, "--energy", "8"});
      EXPECT_NE(r.out.find(said), std::string::npos) << name << r.out << r.err;
    }
  }
  fs::remove("YEX-data/materials.txt");
  // Carbon monoxide is not cobalt.
  EXPECT_NE(Data(RunYexCli({"attenuation", "--formula", "CO", "--energy", "8"}).out)[1],
            Data(RunYexCli({"attenuation", "--formula", "Co", "--energy", "8"}).out)[1]);
}

TEST(Inputs, SampleColumnsFromTheirClosedForms) {
  WorkFolder dir;
  for (const char* s : {"H", "O"}) CopyShipped(s);
  // With a density and no thickness: mu and the length, no transmission;
  // with both, T = exp(-rho mu/rho t) for a density other than 1.
  for (const double rho : {0.5, 2.5}) {
    const CliRun bare =
        RunYexCli({"attenuation", "--formula", "H2O", "--energy", "10", "--density", std::to_string(rho)});
    const CliRun t = RunYexCli({"attenuation", "--formula", "H2O", "--energy", "10", "--density",
                                std::to_string(rho), "--thickness", "0.3"});
    ASSERT_EQ(bare.status, 0) << bare.err;
    const std::vector<std::string> head = Split(Data(bare.out)[0], ','), row = Split(Data(t.out)[1], ',');
    EXPECT_EQ(head.back(), "length_cm(H2O)");
    const double total = std::stod(row[4]), mu = std::stod(row[5]);
    EXPECT_DOUBLE_EQ(mu, total * rho);
    EXPECT_DOUBLE_EQ(std::stod(row[6]), 1 / mu);
    EXPECT_NEAR(std::stod(row[7]), std::exp(-rho * total * 0.3), 1e-15);
  }
  // Without a data folder whatever only reads tables reads the built-in
  // ones and says so; listing and saving still need the folder.
  fs::remove_all("YEX-data");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"attenuation", "--formula", "H2O", "--energy", "10"},
                                             {"curve", "C", "--grid", "0.1:0.3:0.1"},
                                             {"cross-section", "Pb", "--energy", "10"},
                                             {"list"},
                                             {"compound", "W", "--formula", "H2O"}}) {
    const CliRun r = RunYexCli(args);
    const bool reads = args[0] != "list" && args[0] != "compound";
    EXPECT_EQ(r.status, reads ? 0 : 1) << args[0] << r.err;
    EXPECT_EQ(r.out.find("# tables: built in (no data folder YEX-data)") != std::string::npos, reads)
        << args[0];
  }
}

TEST(Inputs, TableValuesThatCannotBeSquaredAndSummedAreRefused) {
  // The bound sits where F squared, times a count and summed, stays finite.
  EXPECT_TRUE(std::isfinite(yex::kMaxTableValue * yex::kMaxTableValue * 1e100));
  WorkFolder dir;
  CopyShipped("C");
  std::string text;
  std::ifstream in("YEX-data/C.yex", std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  // Row 3's F, in the format's own exponent form.
  const std::size_t row3 = text.find('\n', text.find('\n') + 1) + 1;
  text.replace(row3 + 10, 12, " .10000E+201");
  dir.Write("T.yex", text);
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"average", "T:1", "--grid", "0.1:1:0.1"},
                                             {"cross-section", "T", "--energy", "8"},
                                             {"compound", "U2", "T:2"}}) {
    const CliRun r = RunYexCli(args);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_NE(r.err.find("T.yex line 3: F \" .10000E+201\" is above 1e+100"), std::string::npos)
        << args[0] << r.err;
  }
}

TEST(Inputs, GridEndsAndPointsOverTablesOfDifferentRanges) {
  WorkFolder dir;
  CopyShipped("C");
  // STOP is the last point when the grid meets it within a relative 1e-9.
  const struct {
    const char* grid;
    const char* last;
  } ends[] = {{"0.1:1:0.1", "1"},
              {"0.1:1.0000000005:0.1", "1.0000000005"},
              {"0.1:1.000000002:0.1", "1"},
              {"0.1:1.05:0.1", "1"}};
  for (const auto& e : ends) {
    const std::vector<std::string> lines = Data(RunYexCli({"curve", "C", "--grid", e.grid}).out);
    ASSERT_EQ(lines.size(), 11u) << e.grid;
    EXPECT_EQ(Split(lines.back(), ',')[0], e.last) << e.grid;
  }
  // A point is complete only where every table answers: Short's rows end at
  // x = 100, so beyond it Short's fields are empty and the run says so.
  dir.WriteElement("Short.yex", 6, 1e-7);
  const CliRun r = RunYexCli({"curve", "Short", "C", "--grid", "50:150:100"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("1 point"), std::string::npos) << r.err;
  const std::vector<std::string> lines = Data(r.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Split(lines[1], ',').size(), 5u);
  EXPECT_EQ(Split(lines[2], ',')[1], "");  // Short: no value at 150
  EXPECT_NE(Split(lines[2], ',')[3], "");  // carbon has one
}
