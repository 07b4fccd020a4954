// What the tests share in plain C++: the element grid, a smooth made-up
// element, the log-log line through two points written independently of
// the lookup, and table text as the program writes it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/tables/table.h"

namespace yex::test {

struct Row {
  double x, f, s;
};

// The element grid of the shipped tables.
double GridX(int row);

// A smooth made-up element: F falls from z, S rises to z over the grid.
Row ElementRow(int row, double z);

// The straight line on log-log axes through (x1, y1) and (x2, y2) at q,
// written from the lower point, independently of the lookup's code.
double LogLog(double x1, double y1, double x2, double y2, double q);

// A table as the program writes it, rows (x, F, S) from a function of the
// row number 1..45.
std::string TableText(const std::function<Row(int)>& row, int lines = TableRowCount);

// x, F, S parsed the way an independent reader would (columns 1-10, 11-22,
// 23-34 with strtod), for checking written files.
std::vector<Row> ReadBackText(const std::string& bytes);

// A fresh folder holding an empty YEX-data, the current directory while it
// lives (each test makes its own tables there).
class WorkFolder {
 public:
  WorkFolder();
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  std::string Data(const std::string& name) const;  // its YEX-data/NAME
  void Write(const std::string& name, const std::string& bytes) const;
  // YEX-data/NAME holding ElementRow(r, z), its x column scaled.
  void WriteElement(const std::string& name, double z, double xScale = 1.0) const;

 private:
  std::string root_, previous_;
};

// yex-cli (YEX_CLI_PATH) run as a user runs it, `input` on its standard input.
struct CliRun {
  int status = -1;
  std::string out, err;
};
CliRun RunYexCli(const std::vector<std::string>& args, const std::string& input = {});
// Where the yex-cli under test is.
const char* YexCliPath();

// The shipped table of `symbol` copied into the work folder's YEX-data.
void CopyShipped(const std::string& symbol);

// `a` followed by `b` (arguments, fields).
std::vector<std::string> Cat(std::vector<std::string> a, const std::vector<std::string>& b);

// `text` cut at every `sep` (an empty text: no parts).
std::vector<std::string> Split(const std::string& text, char sep);

}  // namespace yex::test
