// yex-cli run as a user runs it, in a folder of its own: help and status,
// show, lookup's conventions, compounds and mixtures, broken tables, names in
// any case, saves that race, and every number right or refused with its
// reason. What it shares with the windows is checked beside them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "tests/core/support.h"

using namespace yex;
using namespace yex::test;

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> out;
  for (const std::string& l : Split(s, '\n'))
    if (!l.empty()) out.push_back(l);
  return out;
}

// The data lines of a request's output, comments left out.
std::vector<std::string> Data(const Args& args) {
  std::vector<std::string> l = Lines(RunYexCli(args).out);
  l.erase(std::remove_if(l.begin(), l.end(), [](const std::string& x) { return x[0] == '#'; }), l.end());
  return l;
}

std::vector<std::string> DataFiles() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator("YEX-data")) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Raw(const std::string& name) {
  std::ifstream in("YEX-data/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(Cli, HelpVersionAndUsage) {
  WorkFolder w;
  CliRun r = RunYexCli({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.out, "usage: yex-cli"));
  for (const char* cmd : {"list", "show", "lookup", "compound", "mixture", "plot"}) {
    r = RunYexCli({cmd, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, std::string("yex-cli [--data DIR] ") + cmd)) << cmd;
  }
  EXPECT_EQ(RunYexCli({"--version"}).out, "yex-cli 1.0.0\n");
  EXPECT_EQ(RunYexCli({}).status, 2);
  r = RunYexCli({"frobnicate"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Has(r.err, "unknown command frobnicate"));
  EXPECT_TRUE(r.out.empty());
}

TEST(Cli, ShowAndCsv) {
  WorkFolder w;
  w.WriteElement("C.yex", 6);
  CliRun r = RunYexCli({"show", "C"});
  EXPECT_EQ(r.status, 0);
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 45u);
  const ScatteringTable t = ReadTableFile("YEX-data/C.yex");
  EXPECT_EQ(lines[1], " 2  " + FormatX(t.x[2]) + "  " + FormatFS(t.f[2]) + "  " + FormatFS(t.s[2]));
  lines = Lines(RunYexCli({"show", "C.yex", "--csv"}).out);
  ASSERT_EQ(lines.size(), 46u);
  EXPECT_EQ(lines[0], "x,F,S");
  for (int row = 1; row <= 45; ++row) {
    const std::vector<std::string> f = Split(lines[static_cast<std::size_t>(row)], ',');
    const auto at = static_cast<std::size_t>(row);
    EXPECT_EQ(std::stod(f[0]), t.x[at]);  // full precision: exact
    EXPECT_EQ(std::stod(f[1]), t.f[at]);
    EXPECT_EQ(std::stod(f[2]), t.s[at]);
  }
  r = RunYexCli({"show", "Missing"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, "Missing.yex"));
  EXPECT_EQ(RunYexCli({"show", "../C"}).status, 2);
  // A table saved as D.YEX is listed, so every command opens it by name.
  fs::copy_file(w.Data("C.yex"), w.Data("D.YEX"));
  const std::vector<std::string> listed = Lines(RunYexCli({"list"}).out);
  EXPECT_NE(std::find(listed.begin(), listed.end(), "D.YEX"), listed.end());
  for (const Args& args : std::vector<Args>{{"show", "D"},
                                            {"show", "D.YEX"},
                                            {"lookup", "D", "0.3"},
                                            {"plot", "D", "d.png"},
                                            {"curve", "D", "--grid", "1:2:1"}})
    EXPECT_EQ(RunYexCli(args).status, 0) << args[0] << " " << args[1];
}

TEST(Cli, LookupConventions) {
  WorkFolder w;
  w.WriteElement("Si.yex", 14);
  const ScatteringTable t = ReadTableFile("YEX-data/Si.yex");
  auto expected = [&](double x) {
    std::size_t i = 2;
    while (t.x[i] < x) ++i;
    return FormatX(x) + " " + FormatFS(LogLog(t.x[i - 1], t.f[i - 1], t.x[i], t.f[i], x)) + " " +
           FormatFS(LogLog(t.x[i - 1], t.s[i - 1], t.x[i], t.s[i], x));
  };
  using L = std::vector<std::string>;
  // Cu K-alpha at 8.04778 keV, theta = 30 degrees, by hand.
  const double lambda = 12.398419843320026 / 8.04778;
  CliRun r = RunYexCli({"lookup", "Si", "--theta", "30", "--energy", "8.04778"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.out), L{expected(std::sin(15 * M_PI / 180) / lambda)});
  r = RunYexCli({"lookup", "Si", "--theta", "30", "--theta", "90", "--wavelength", "0.7093"});
  EXPECT_EQ(Lines(r.out),
            (L{expected(std::sin(15 * M_PI / 180) / 0.7093), expected(std::sin(M_PI / 4) / 0.7093)}));
  EXPECT_EQ(Lines(RunYexCli({"lookup", "Si", "--q", "2.5", "0.3"}).out),
            (L{expected(2.5 / (4 * M_PI)), expected(0.3)}));
  // Out of range: named on standard error, the rest printed, status 1.
  r = RunYexCli({"lookup", "Si", "0.0049", "0.3", "1000.1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.out), L{expected(0.3)});
  EXPECT_EQ(Lines(r.err), (L{"yex-cli: 0.0049: This value is out of range.",
                             "yex-cli: 1000.1: This value is out of range."}));
  EXPECT_EQ(RunYexCli({"lookup", "Si", "--theta", "30"}).status, 2);
  for (const char* option : {"--energy", "--wavelength"})
    for (const char* value : {"-1", "0"}) {
      r = RunYexCli({"lookup", "Si", option, value, "--theta", "3"});
      EXPECT_EQ(r.status, 2);
      EXPECT_TRUE(Has(r.err, "must be positive"));
    }
  EXPECT_EQ(RunYexCli({"lookup", "Si", "--q", "abc"}).status, 2);
}

TEST(Cli, CompoundByCountsAndFormula) {
  WorkFolder w;
  int z = 1;
  for (const char* e : {"H", "O", "Ca", "P", "Cu", "S", "Fe", "K", "C", "N"})
    w.WriteElement(std::string(e) + ".yex", z += 3);
  using L = std::vector<std::string>;
  CliRun r = RunYexCli({"compound", "W1", "H:2", "O:1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.out), (L{"wrote YEX-data/W1.yex", "  H.yex  2", "  O.yex  1"}));
  EXPECT_EQ(RunYexCli({"compound", "W2", "--formula", "H2O"}).status, 0);
  EXPECT_EQ(Raw("W2.yex"), Raw("W1.yex"));
  const auto after = [](const Args& args) {
    const L l = Lines(RunYexCli(args).out);
    return l.empty() ? l : L(l.begin() + 1, l.end());
  };
  EXPECT_EQ(after({"compound", "Ap", "--formula", "Ca5(PO4)3OH"}),
            (L{"  Ca.yex  5", "  P.yex  3", "  O.yex  13", "  H.yex  1"}));
  EXPECT_EQ(RunYexCli({"compound", "Ap2", "Ca:5", "P:3", "O:13", "H:1"}).status, 0);
  EXPECT_EQ(Raw("Ap2.yex"), Raw("Ap.yex"));
  EXPECT_EQ(after({"compound", "Vit", "--formula", "CuSO4·5H2O"}),
            (L{"  Cu.yex  1", "  S.yex  1", "  O.yex  9", "  H.yex  10"}));
  r = RunYexCli({"compound", "Prussiate", "--formula", "K4[Fe(CN)6]*3H2O"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.out).size(), 7u);
  EXPECT_EQ(after({"compound", "Wus", "--formula", "Fe0.95O"}), (L{"  Fe.yex  0.95", "  O.yex  1"}));
}

TEST(Cli, CompoundRefusalsLeaveTheFolderAsItWas) {
  WorkFolder w;
  w.WriteElement("H.yex", 1);
  w.WriteElement("O.yex", 8);
  const std::string old = TableText([](int r) { return ElementRow(r, 40); });
  w.Write("Keep.yex", old);
  const std::vector<std::string> before = DataFiles();
  const struct {
    Args args;
    int status;
    const char* says;
  } cases[] = {
      {{"compound", "Keep", "--formula", "H2O"},
       1,
       "YEX-data/Keep.yex already exists; give --force to replace it"},
      {{"compound", "H", "--formula", "H2O", "--force"}, 2, "H.yex is a shipped table"},
      {{"compound", "Keep", "--formula", "H2Xx"}, 2, "unknown element symbol \"Xx\""},
      {{"compound", "Keep", "--formula", "H2(O"}, 2, "unbalanced \"(\""},
      {{"compound", "Keep", "--formula", "NaCl"}, 1, "Na.yex"},
      {{"compound", "Keep", "H:2", "Missing:1"}, 1, "Missing.yex"},
      {{"compound", "Keep", "H:0"}, 2, "positive"},
      {{"compound", "Keep", "H"}, 2, "TABLE:COUNT"},
      {{"compound", "../Keep", "H:1"}, 2, "cannot be a table name"},
      {{"mixture", ".Keep", "H:1"}, 2, "cannot be a table name"},
      {{"compound", "Keep", "H:1", "O:1", "H:1", "O:1", "H:1", "O:1", "H:1", "O:1", "H:1", "O:1", "H:1"},
       2,
       "at most 10"},
      {{"mixture", "Keep", "H:10", "Keep:90"}, 2, "give the atomic weight"},
      {{"mixture", "Keep", "H:0:1", "O:90:16"}, 2, "H:0:1: the weight percent must be positive"},
      {{"mixture", "Keep", "H:50:0", "O:50"}, 2, "H:50:0: the atomic weight must be positive"},
      {{"mixture", "Keep", "H:1:1e300", "O:1:1e-300"}, 1, "Keep not built"},
  };
  for (const auto& c : cases) {
    // Past the first case, --force: the old table survives any failure.
    const CliRun r = RunYexCli(&c == &cases[0] ? c.args : Cat(c.args, {"--force"}));
    EXPECT_EQ(r.status, c.status) << c.args[1] << " " << c.args[2];
    EXPECT_TRUE(Has(r.err, c.says)) << r.err;
    EXPECT_LE(Lines(r.err).size(), 2u);
    EXPECT_EQ(DataFiles(), before);
    EXPECT_EQ(Raw("Keep.yex"), old);
  }
  EXPECT_FALSE(fs::exists("Keep.yex"));
}

TEST(Cli, BrokenTablesNamesInAnyCaseAndRacingSaves) {
  WorkFolder w;
  for (const char* e : {"H", "C", "O"}) CopyShipped(e);
  const std::string carbon = Raw("C.yex");
  std::string tabs = carbon, nan = carbon;
  for (std::size_t at; (at = tabs.find("  .")) != std::string::npos;) tabs.replace(at, 3, "\t.");
  nan.replace(36 * 4 + 10, 12, "         NaN");
  w.Write("Ccsv.yex", RunYexCli({"show", "C", "--csv"}).out);
  w.Write("Ctab.yex", tabs);
  w.Write("Cnan.yex", nan);
  w.Write("Ccut.yex", carbon.substr(0, 44 * 36 + 20));
  std::string doubled;  // carbon with every x doubled
  for (const Row& r : ReadBackText(carbon)) doubled += FormatTableLine(2 * r.x, r.f, r.s) + "\r\n";
  w.Write("C2.yex", doubled);
  const struct {
    const char* table;
    const char* says;
  } broken[] = {{"Ccsv", "line 1: \"x,F,S\" is not a table line"},
                {"Ctab", "line 1: \"\\x09.000E+00"},
                {"Cnan", "line 5: F \"         NaN\" is not a number"},
                {"Ccut", "line 45: "}};
  const std::vector<std::string> before = DataFiles();
  for (const auto& b : broken) {
    const std::string t = b.table;
    for (const Args& args : std::vector<Args>{{"lookup", t, "0.1"},
                                              {"cross-section", t, "--energy", "10"},
                                              {"curve", t, "--grid", "0.1:0.2:0.1"},
                                              {"compound", "New", t + ":1", "O:1"}}) {
      const CliRun r = RunYexCli(args);
      EXPECT_TRUE(r.status == 1 && r.out.empty()) << args[0] << " " << t;
      EXPECT_TRUE(Has(r.err, "YEX-data/" + t + ".yex " + b.says)) << r.err;
    }
  }
  EXPECT_EQ(DataFiles(), before);
  // Tables on different x columns are not combined, in either order.
  for (const Args& args :
       std::vector<Args>{{"compound", "COa", "C2:1", "O:1"}, {"compound", "COb", "O:1", "C2:1"}}) {
    const CliRun r = RunYexCli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "differ in x from row 2 (") && Has(r.err, "C2.yex")) << r.err;
  }
  EXPECT_EQ(DataFiles(), before);
  // One identity for a name whatever its case.
  EXPECT_EQ(RunYexCli({"lookup", "c", "0.1"}).out, RunYexCli({"lookup", "C", "0.1"}).out);
  EXPECT_EQ(RunYexCli({"compound", "c", "--formula", "H2O", "--force"}).status, 2);
  EXPECT_EQ(RunYexCli({"compound", "Water", "--formula", "H2O"}).status, 0);
  const CliRun again = RunYexCli({"compound", "WATER", "--formula", "H2O2"});
  EXPECT_TRUE(again.status == 1 && Has(again.err, "YEX-data/Water.yex already exists")) << again.err;
  EXPECT_EQ(Lines(RunYexCli({"compound", "WATER", "--formula", "H2O2", "--force"}).out)[0],
            "wrote YEX-data/Water.yex");
  const std::vector<std::string> now = DataFiles();
  EXPECT_EQ(std::find(now.begin(), now.end(), "WATER.yex"), now.end());
  // Of two saves of one new name started together, exactly one wins.
  for (int round = 0; round < 25; ++round) {
    const std::string name = "R" + std::to_string(round);
    CliRun a, b;
    std::thread first([&] { a = RunYexCli({"compound", name, "--formula", "H2O"}); });
    b = RunYexCli({"compound", name, "--formula", "H2O2"});
    first.join();
    EXPECT_NE(a.status == 0, b.status == 0) << name;
    EXPECT_TRUE(Has((a.status ? a : b).err, "already exists")) << name;
  }
}

namespace {

// yex-cli reading `input` on a standard input left open: the bytes of its
// standard output once it has written none for two seconds, and whether it
// was still running then (waiting for more input).
std::pair<std::string, bool> OutputWhileInputOpen(const Args& args, const std::string& input) {
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2];
  if (pipe(in) || pipe(out)) std::abort();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  for (int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);
  Args argv = Cat({YexCliPath()}, args);
  std::vector<char*> cargv;
  for (std::string& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, YexCliPath(), &actions, nullptr, cargv.data(), nullptr) != 0) std::abort();
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  fcntl(in[1], F_SETFL, O_NONBLOCK);  // a write takes what fits, so output keeps being read
  std::string got;
  std::size_t fed = 0;
  char buf[65536];
  for (;;) {
    pollfd fds[2] = {{out[0], POLLIN, 0}, {fed < input.size() ? in[1] : -1, POLLOUT, 0}};
    if (poll(fds, 2, fed < input.size() ? -1 : 2000) <= 0) break;
    if (fds[0].revents & (POLLIN | POLLHUP)) {
      const ssize_t n = read(out[0], buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    if (fds[1].revents & POLLOUT) {
      const ssize_t n = write(in[1], input.data() + fed, input.size() - fed);
      if (n < 0 && errno == EAGAIN) continue;
      if (n <= 0) break;
      fed += static_cast<std::size_t>(n);
    }
  }
  int status = 0;
  const bool running = waitpid(pid, &status, WNOHANG) == 0;
  close(in[1]);
  while (read(out[0], buf, sizeof buf) > 0) {
  }
  close(out[0]);
  waitpid(pid, &status, 0);
  return {got, running};
}

}  // namespace

TEST(Cli, RightOrRefusedWithItsReason) {
  WorkFolder w;
  for (const char* e : {"H", "C", "O", "Si"}) CopyShipped(e);
  std::string zero = Raw("C.yex");
  zero.replace(36 * 11 + 10, 12, "  .00000E+00");  // F of row 12
  w.Write("Zero.yex", zero);
  ASSERT_EQ(RunYexCli({"compound", "Wt", "--formula", "H2O"}).status, 0);
  const auto rows = [](const Args& args) {
    const std::vector<std::string> l = Data(args);
    return l.empty() ? l : std::vector<std::string>(l.begin() + 1, l.end());
  };
  // Scaled amounts give the unscaled numbers, in every computation.
  for (const auto& [scaled, plain] : std::vector<std::pair<Args, Args>>{
           {{"average", "Si:1e308", "O:1e308", "--grid", "0.1:0.1:1"},
            {"average", "Si:1", "O:1", "--grid", "0.1:0.1:1"}},
           {{"average", "Si:1e-310", "O:1e-310", "--grid", "0.1:0.1:1"},
            {"average", "Si:1", "O:1", "--grid", "0.1:0.1:1"}},
           {{"mixture", "Ma", "H:1e308", "O:1e308"}, {"mixture", "Mb", "H:1", "O:1"}}})
    EXPECT_EQ(rows(scaled), rows(plain)) << scaled[1];
  EXPECT_EQ(Raw("Ma.yex"), Raw("Mb.yex"));
  const struct {
    Args args;
    int status;
    const char* out;  // the first data line, or ""
    const char* err;
  } cases[] = {
      {{"cross-section", "C:1e-310", "--energy", "10"},
       1,
       "",
       "sigma per gram is beyond the range of numbers"},
      {{"compound", "Big", "H:1e308", "O:1e308"}, 1, "", "Big not built"},
      {{"curve", "C", "--grid", "1:2:1e9"}, 0, "1,1.1121,", ""},
      {{"lookup", "Zero", "0.095"}, 1, "", "yex-cli: 0.095: YEX-data/Zero.yex rows 11-12: F of row 12 is 0"},
      {{"cross-section", "Zero", "--energy", "10"}, 1, "", "(rows 11-12: F of row 12 is 0"},
      {{"curve", "Zero", "--grid", "0.09:0.1:0.005"},
       1,
       "0.09,",
       "(YEX-data/Zero.yex rows 11-12: F of row 12 is 0"},
      {{"lookup", "C", "1e999"}, 2, "", "yex-cli: x 1e999: too large to hold as a number"},
      {{"lookup", "C", "-1"}, 2, "", "yex-cli: x -1: a momentum transfer is not negative"},
      {{"lookup", "C", "--q", "-1"}, 2, "", "yex-cli: q -1: a momentum transfer is not negative"},
      {{"lookup", "C", "--theta", "-5", "--energy", "10"},
       2,
       "",
       "yex-cli: theta -5: a scattering angle lies in"},
      {{"curve", "C", "--grid", "-1:1:0.5"},
       2,
       "",
       "yex-cli: grid -1:1:0.5: a momentum transfer is not negative"},
      {{"lookup", "C", "0"}, 1, "", "yex-cli: 0: This value is out of range."},
      {{"cross-section", "C", "--energy-grid", "1:100:1e7"}, 2, "", "N may be at most 1000000"},
      {{"curve", "C", "--log-grid", "0.1:1:1e13"}, 2, "", "N may be at most 1e+12"},
      {{"curve", "C", "--grid", "0.005:1000:1e-9"}, 2, "", "more than 100000000; give --large-grid"},
      {{"average", "Wt:1", "--grid", "0.1:0.1:0.1"},
       0,
       "0.1,",
       "note: \"Wt\" is no element's table and counts as one"},
      {{"cross-section", "Wt", "--energy", "10"},
       0,
       "10,",
       "note: \"Wt\" is no element's table: its cross sections are per amount"},
  };
  for (const auto& c : cases) {
    const CliRun r = RunYexCli(c.args);
    const std::string what = c.args[0] + " " + c.args[1] + " -> " + std::to_string(r.status) + " " + r.err;
    EXPECT_TRUE(r.status == c.status && Has(r.err, c.err)) << what;
    const std::vector<std::string> d = Data(c.args);
    EXPECT_TRUE(*c.out ? d.size() > 1 && d[1].rfind(c.out, 0) == 0 : d.size() <= 1) << what;
    EXPECT_FALSE(Has(r.out, "inf") || Has(r.out, "nan")) << what;
  }
  // Behaviours pinned one a row: Q in 1/nm, a replaced table's permissions,
  // a point complete only where every table answers, STOP within 1e-9.
  const auto afterX = [](const std::string& line) { return line.substr(line.find(' ')); };
  EXPECT_EQ(afterX(RunYexCli({"lookup", "C", "--qnm", "12.566370614359172"}).out),
            afterX(RunYexCli({"lookup", "C", "0.1"}).out));
  const auto kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(w.Data("Wt.yex"), kept);
  EXPECT_EQ(RunYexCli({"compound", "Wt", "--formula", "H2O", "--force"}).status, 0);
  EXPECT_EQ(fs::status(w.Data("Wt.yex")).permissions() & fs::perms::all, kept);
  w.WriteElement("Half.yex", 6, 1e-7);  // rows up to x = 100
  const CliRun mixed = RunYexCli({"curve", "C", "Half", "--grid", "600:700:100"});
  EXPECT_TRUE(mixed.status == 1 && Has(mixed.err, "2 points outside")) << mixed.err;
  const std::vector<std::string> m = rows({"curve", "C", "Half", "--grid", "600:700:100"});
  EXPECT_EQ(std::count_if(m.begin(), m.end(),
                          [](const std::string& l) {
                            const std::vector<std::string> f = Split(l, ',');
                            return f.size() == 5 && !f[1].empty() && !f[2].empty() && f[3].empty() &&
                                   f[4].empty();
                          }),
            2);
  EXPECT_EQ(Split(Data({"curve", "C", "--grid", "0.1:0.30000000001:0.1"}).back(), ',')[0], "0.30000000001");
  EXPECT_EQ(Split(Data({"curve", "C", "--grid", "0.1:0.3001:0.1"}).back(), ',')[0], "0.3");
  // A streamed block reaches standard output whole while input still comes.
  std::string points;
  for (int i = 0; i < 50000; ++i) points += "0.1\n";  // more than one block read
  const auto [got, running] = OutputWhileInputOpen({"curve", "C", "--from", "-"}, points);
  EXPECT_TRUE(running && !got.empty() && got.back() == '\n' &&
              std::count(got.begin(), got.end(), '\n') > 1000)
      << got.size();
}

TEST(Cli, EveryNumberFinishes) {
  WorkFolder w;
  for (const char* e : {"H", "O", "Si", "Pb"}) CopyShipped(e);
  const char* requests[] = {"lookup Si #",
                            "lookup Si --q #",
                            "lookup Si --qnm #",
                            "lookup Si --theta # --energy 8",
                            "lookup Si --theta 30 --energy #",
                            "lookup Si --theta 30 --wavelength #",
                            "curve Si --grid #:1:0.1",
                            "curve Si --grid 0.1:#:0.1",
                            "curve Si --grid 0.1:1:#",
                            "curve Si --log-grid #:1:5",
                            "curve Si --log-grid 0.1:#:5",
                            "curve Si --log-grid 0.1:1:#",
                            "curve Si --unit theta --grid 1:179:89 --energy # --dcs",
                            "curve Si --unit q --grid 1:2:1 --wavelength # --dcs",
                            "average Si:# O:1 --grid 0.1:1:0.1",
                            "average --formula SiO2 --grid 0.1:1:0.1 --energy # --breit-dirac 2",
                            "cross-section Pb --energy #",
                            "cross-section Pb:# --energy 10",
                            "cross-section Pb --energy-grid #:1:5",
                            "cross-section Pb --energy-grid 1:#:5",
                            "cross-section Pb --energy-grid 1:10:#",
                            "compound X H:# --force",
                            "mixture X H:# O:1 --force",
                            "mixture X H:1:# O:1 --force",
                            "plot Si p.png --size #"};
  for (const std::string request : requests)
    for (const std::string value : {"4.9406564584124654e-324", "1e-300", "1e-160", "1e308",
                                    "1.7976931348623157e308", "-1e308", "nan", "inf", "-inf"}) {
      Args args = Split(request, ' ');
      for (std::string& a : args)
        if (const std::size_t at = a.find('#'); at != std::string::npos) a.replace(at, 1, value);
      const CliRun r = RunYexCli(args);
      const std::string line = request + " with " + value;
      EXPECT_TRUE(value.find('n') == std::string::npos || r.status == 2) << line << " -> " << r.status;
      EXPECT_FALSE(r.status == 0 ? r.out.empty() : r.err.empty()) << line << ": " << r.err;
    }
}
