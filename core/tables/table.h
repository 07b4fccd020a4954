// A table's values: the rows of x, F and S, and the bounds-checked arrays
// the windows' shared state is made of.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace yex {

constexpr int TableRowCount = 45;
constexpr int MaxConstituents = 10;

// Thrown by any array access outside the declared index range; callers that
// can meet it (the editors' save operations) catch it as an ordinary failure.
class IndexError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// A fixed array addressed Lo..Hi, every access checked.
template <typename T, int Lo, int Hi>
class CheckedArray {
 public:
  static constexpr int Low = Lo;
  static constexpr int High = Hi;

  T& operator()(int i) { return data_[offset(i)]; }
  const T& operator()(int i) const { return data_[offset(i)]; }
  void fill(const T& v) { data_.fill(v); }
  // Element Lo; for loops that stay inside the bounds by construction.
  const T* begin() const { return data_.data(); }

 private:
  static std::size_t offset(int i) {
    if (i < Lo || i > Hi)
      throw IndexError("index " + std::to_string(i) + " outside " + std::to_string(Lo) + ".." +
                       std::to_string(Hi));
    return static_cast<std::size_t>(i - Lo);
  }
  std::array<T, Hi - Lo + 1> data_{};
};

// Two-dimensional variant, (row, column).
template <typename T, int Lo1, int Hi1, int Lo2, int Hi2>
class CheckedArray2D {
 public:
  T& operator()(int i, int j) { return data_[offset(i, j)]; }
  const T& operator()(int i, int j) const { return data_[offset(i, j)]; }
  void fill(const T& v) { data_.fill(v); }

 private:
  static constexpr int Cols = Hi2 - Lo2 + 1;
  static std::size_t offset(int i, int j) {
    if (i < Lo1 || i > Hi1 || j < Lo2 || j > Hi2)
      throw IndexError("index (" + std::to_string(i) + ", " + std::to_string(j) + ") outside bounds");
    return static_cast<std::size_t>((i - Lo1) * Cols + (j - Lo2));
  }
  std::array<T, (Hi1 - Lo1 + 1) * (Hi2 - Lo2 + 1)> data_{};
};

using RowStrings = CheckedArray<std::string, 0, TableRowCount>;
using RowValues = CheckedArray<double, 0, TableRowCount>;
using ConstituentStrings = CheckedArray<std::string, 0, MaxConstituents>;
using ConstituentValues = CheckedArray<double, 0, MaxConstituents>;
using ConstituentColumns = CheckedArray2D<double, 0, TableRowCount, 0, MaxConstituents>;

// A table's rows, 1..rows() (index 0 unused): the 45 rows a file holds, or
// any number of rows from 2 up when the table comes from arrays or a CSV
// file, its values kept exactly. rowText holds a file's lines (empty for a
// table that came another way).
struct ScatteringTable {
  std::vector<std::string> rowText = std::vector<std::string>(TableRowCount + 1);
  std::vector<double> x = std::vector<double>(TableRowCount + 1);
  std::vector<double> f = std::vector<double>(TableRowCount + 1);
  std::vector<double> s = std::vector<double>(TableRowCount + 1);

  int rows() const { return static_cast<int>(x.size()) - 1; }
  // `rows` rows of zeros and empty texts.
  void Resize(int rows) {
    const auto n = static_cast<std::size_t>(rows + 1);
    rowText.assign(n, std::string());
    x.assign(n, 0.0);
    f.assign(n, 0.0);
    s.assign(n, 0.0);
  }
};

}  // namespace yex
