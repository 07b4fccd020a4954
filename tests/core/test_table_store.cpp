// The table store in the core alone: strict reading, names without case and
// for every system, exclusive saves and what killed saves leave. Each test
// makes its own YEX-data in a temporary folder.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "core/tables/table_name.h"
#include "core/tables/table_store.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace yex;

namespace {

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// Carbon's shipped table, as the file holds it.
const std::string& Carbon() {
  static const std::string c = Bytes(fs::path(YEX_SHIPPED_DATA) / "C.yex");
  return c;
}

// Carbon with every F multiplied by `k` (k = 1, 2, ... keeps a table).
ScatteringTable Scaled(double k) {
  ScatteringTable t;
  TableProblem p;
  EXPECT_TRUE(ParseTableStrict(Carbon(), t, &p));
  for (int r = 1; r <= TableRowCount; ++r) t.f[r] *= k;
  return t;
}

// A fresh work folder with an empty YEX-data, the current directory while
// the test runs.
class Store : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    root_ = fs::temp_directory_path() /
            ("yex-store-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(root_ / "YEX-data");
    fs::current_path(root_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path Data(const std::string& name) const { return root_ / "YEX-data" / name; }
  std::string Error(const std::function<void()>& f) {
    try {
      f();
    } catch (const yex::Error& e) {
      return e.what();
    }
    return {};
  }
  fs::path root_, previous_;
  FolderStore store_{"YEX-data"};
};

TEST(StrictReading, RefusesWhatIsNoTable) {
  const std::string good = Carbon();
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < good.size();) {
    const std::size_t lf = good.find('\n', at);
    lines.push_back(good.substr(at, lf - at + 1));
    at = lf + 1;
  }
  auto with = [&](int line, const std::string& text) {
    std::string out;
    for (int i = 0; i < TableRowCount; ++i)
      out += i == line - 1 ? text + "\r\n" : lines[static_cast<std::size_t>(i)];
    return out;
  };
  std::string tabs, utf16, lfOnly, swapped, gap;
  for (const char c : good) {
    utf16 += std::string(1, c) + '\0';
    if (c != '\r') lfOnly += c;
  }
  for (std::size_t i = 0; i < good.size(); ++i)
    tabs += good.compare(i, 3, "  .") == 0 ? (i += 1, std::string("\t")) : std::string(1, good[i]);
  for (int i = 0; i < TableRowCount; ++i) {
    swapped += lines[static_cast<std::size_t>(i == 9 ? 10 : i == 10 ? 9 : i)];
    gap += (i == 19 ? "\r\n" : "") + lines[static_cast<std::size_t>(i)];
  }
  const struct {
    const char* what;
    std::string bytes;
    int line;  // -1: accepted
    const char* reason;
  } cases[] = {
      {"as shipped", good, -1, ""},
      {"LF only and no last line end", lfOnly.substr(0, lfOnly.size() - 1), -1, ""},
      {"blank lines after", good + "\r\n  \r\n\n", -1, ""},
      {"a CSV", "x,F,S\n0,6,0\n", 1, "\"x,F,S\" is not a table line"},
      {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + good, 1, "\\xEF\\xBB\\xBF"},
      {"UTF-16", utf16, 1, "not a table line"},
      {"binary junk",
       std::string("\x7f"
                   "ELF\x02\x01\x01",
                   7) +
           good,
       1, "not a table line"},
      {"tabs for blanks", tabs, 1, "\"\\x09.000E+00\\x09.60000E+01"},
      {"NaN in F", with(5, "  .200E-01         NaN  .10000E+01"), 5, "F \"         NaN\" is not a number"},
      {"two numbers in one field", with(6, "  .250E-01  .59 34E+01  .10000E+01"), 6,
       "F \"  .59 34E+01\" is not"},
      {"beyond the doubles", with(7, "  .300E-01  .1000E+999  .10000E+01"), 7, "beyond the range"},
      {"negative S", with(8, "  .350E-01  .59000E+01 -.10000E+01"), 8, "S is negative"},
      {"x not ascending", swapped, 11, "x must ascend"},
      {"a blank line among them", gap, 20, "blank"},
      {"cut inside line 45", good.substr(0, 44 * 36 + 20), 45, "is not a table line of 34 characters"},
      {"45 blank lines", std::string(45, '\n'), 1, "blank"},
      {"44 lines", good.substr(0, 44 * 36), 0, "holds 44 lines"},
      {"a line after the 45th", good + "  .100E+05  .10000E+01  .10000E+01\r\n", 46, "follows the 45 lines"},
      {"far too large", good + std::string(70000, ' '), 0, "bytes, far more than a table"},
  };
  for (const auto& c : cases) {
    ScatteringTable t;
    TableProblem p;
    const bool ok = ParseTableStrict(c.bytes, t, &p);
    EXPECT_EQ(ok, c.line < 0) << c.what << ": " << p.reason;
    if (ok) {
      EXPECT_EQ(t.f[1], 6.0) << c.what;
      continue;
    }
    EXPECT_EQ(p.line, c.line) << c.what;
    EXPECT_NE(p.reason.find(c.reason), std::string::npos) << c.what << ": " << p.reason;
  }
}

TEST_F(Store, NamesTheFileAndTheLine) {
  Write(Data("Ccsv.yex"), "x,F(C),S(C)\n0,6,0\n");
  EXPECT_EQ(Error([&] { store_.LoadTyped("Ccsv"); }),
            "YEX-data/Ccsv.yex line 1: \"x,F(C),S(C)\" is not a table line");
}

TEST_F(Store, NamesWithoutCaseAndForEverySystem) {
  for (const char* f : {"Fe.yex", "water.yex", "ab.yex", "AB.yex", "Cu.YEX"}) Write(Data(f), Carbon());
  const struct {
    const char* typed;
    const char* file;  // "" when refused, with `why` in the message
    const char* why;
  } found[] = {{"fe", "Fe.yex", ""},       {"FE.yex", "Fe.yex", ""},
               {"Water", "water.yex", ""}, {"ab", "ab.yex", ""},
               {"AB", "AB.yex", ""},       {"Ab", "", "ambiguous"},
               {"cu", "Cu.YEX", ""},       {"Cu.yex", "Cu.YEX", ""},
               {"none", "none.yex", ""},   {"../x", "", "not a table name"}};
  for (const auto& c : found) {
    std::string file;
    const std::string e = Error([&] { file = store_.Resolve(c.typed); });
    EXPECT_NE(e.find(c.why), std::string::npos) << c.typed << ": " << e;
    EXPECT_EQ(file, c.file) << c.typed;
  }
  const std::string longest(251, 'n'), tooLong(252, 'n');
  const struct {
    std::string base;
    const char* why;  // "" when it may be created
  } created[] = {{"Water2", ""},
                 {longest, ""},
                 {"fe", "shipped"},
                 {"FE", "shipped"},
                 {"WATER", "exists"},
                 {"ab", "exists"},
                 {"CON", "device"},
                 {"nul.txt", "device"},
                 {"com1", "device"},
                 {"a.", "dot or a space"},
                 {"a ", "dot or a space"},
                 {"a<b", "<"},
                 {"x|y", "|"},
                 {".hidden", "begin"},
                 {tooLong, "longer than 251"}};
  for (const auto& c : created) {
    const std::string e = Error([&] { store_.CheckNewTable(c.base, false); });
    EXPECT_NE(e.find(c.why), std::string::npos) << c.base << ": " << e;
    EXPECT_EQ(e.empty(), !*c.why) << c.base << ": " << e;
  }
  EXPECT_EQ(store_.Save(longest, Scaled(1), false), longest + ".yex");
  // Replacing a name in another case replaces that file, not one beside it.
  EXPECT_EQ(store_.Save("WATER", Scaled(2), true), "water.yex");
  EXPECT_FALSE(fs::exists(Data("WATER.yex")) && Bytes(Data("WATER.yex")) != Bytes(Data("water.yex")));
  EXPECT_EQ(ReadTableFile(Data("water.yex").string()).f[1], 12.0);
}

TEST_F(Store, RacingSavesOneWins) {
  for (int round = 0; round < 100; ++round) {
    const std::string name = "R" + std::to_string(round);
    std::atomic<int> ready{0};
    int wins[2] = {0, 0}, exists[2] = {0, 0};
    auto save = [&](int k) {
      FolderStore store("YEX-data");
      ++ready;
      while (ready < 2) {
      }
      try {
        // Odd rounds race two spellings of one name: still one table.
        store.Save(round % 2 && k ? AsciiLower(name) : name, Scaled(1 + k), false);
        wins[k] = 1;
      } catch (const yex::Error& e) {
        exists[k] = e.kind() == ErrorKind::Exists;
      }
    };
    std::thread a(save, 0), b(save, 1);
    a.join();
    b.join();
    ASSERT_EQ(wins[0] + wins[1], 1) << name;
    ASSERT_EQ(exists[0] + exists[1], 1) << name;
    // The file is the winner's table, whole.
    const std::string won = round % 2 && wins[1] ? AsciiLower(name) : name;
    EXPECT_EQ(ReadTableFile(Data(won + ".yex").string()).f[1], wins[0] ? 6.0 : 12.0);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "YEX-data"), fs::directory_iterator()), 100);
}

TEST_F(Store, LeftOversOfKilledSaves) {
  // What killed saves leave: an earlier version's ".R.yex.tmpN", and ours,
  // ".yex-H-N.tmp" with H the FNV-1a hash of the lower-case file name.
  std::uint32_t h = 2166136261u;
  for (const char c : std::string("r.yex")) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  char tag[16];
  std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(h));
  const std::string ours = std::string(".yex-") + tag + "-";
  for (int i = 0; i < 1000; ++i) Write(Data(".R.yex.tmp" + std::to_string(i)), "half");
  for (int i = 0; i < 20; ++i) Write(Data(ours + std::to_string(10000000 + i) + ".tmp"), "half");
  Write(Data(".yex-00000000-00000000.tmp"), "another table's");
  std::vector<std::string> kept{".yex-00000000-00000000.tmp", "R.yex"};
#ifndef _WIN32
  // A save still writing holds its lock: its file stays.
  const std::string busy = ours + "busybusy.tmp";
  Write(Data(busy), "busy");
  const int fd = ::open(Data(busy).c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  kept.push_back(busy);
#endif
  store_.Save("R", Scaled(1), false);
#ifndef _WIN32
  ::close(fd);
#endif
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(root_ / "YEX-data"))
    left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(left, kept);
  EXPECT_EQ(store_.List(), std::vector<std::string>{"R.yex"});
}

}  // namespace
