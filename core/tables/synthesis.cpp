#include "core/tables/synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/numbers/numeric.h"
#include "core/tables/table_format.h"

namespace yex {

bool FinishRow(double* f2, double sSum) {
  if (!(*f2 >= 0.0) || !std::isfinite(*f2) || !std::isfinite(sSum)) return false;
  *f2 = std::sqrt(*f2);
  return true;
}

std::optional<double> AtomsPerFirstAtom(double a1, double ak, double wk, double w1) {
  if (ak == 0.0 || w1 == 0.0) return std::nullopt;
  // Both weights scaled by one power of two (no bit of the ratio changes)
  // so that percentages of 1e308 do not overflow on the way.
  int exponent = 0;
  std::frexp(std::max(std::fabs(wk), std::fabs(w1)), &exponent);
  if (std::isfinite(wk) && std::isfinite(w1)) {
    wk = std::ldexp(wk, -exponent);
    w1 = std::ldexp(w1, -exponent);
  }
  return ((a1 / ak) * wk) / w1;
}

int FirstDifferentRow(const ScatteringTable& a, const ScatteringTable& b) {
  for (int i = 1; i <= TableRowCount; ++i)
    if (std::memcmp(&a.x[i], &b.x[i], sizeof(double)) != 0) return i;
  return 0;
}

std::string DifferentGrids(const std::string& fileA, const ScatteringTable& a, const std::string& fileB,
                           const ScatteringTable& b, int row) {
  return fileA + " and " + fileB + " differ in x from row " + std::to_string(row) + " (" +
         ShortestText(a.x[row]) + " and " + ShortestText(b.x[row]) +
         "): tables are combined row by row and must share one x column";
}

SynthesisResult Synthesize(Synthesis kind, const std::vector<Ingredient>& ingredients,
                           const TableSource& source) {
  if (ingredients.empty()) Fail(ErrorKind::Usage, "no constituent was entered");
  if (ingredients.size() > static_cast<std::size_t>(MaxConstituents))
    Fail(ErrorKind::Usage, "at most " + std::to_string(MaxConstituents) + " tables, " +
                               std::to_string(ingredients.size()) + " given");
  std::vector<ScatteringTable> tables;
  for (const Ingredient& i : ingredients) {
    tables.push_back(source(i.file));
    // Combined row by row into a table file: the file's 45 rows only.
    if (tables.back().rows() != TableRowCount)
      Fail(ErrorKind::Usage, i.file + " holds " + std::to_string(tables.back().rows()) +
                                 " rows; a compound or mixture is built from tables of " +
                                 std::to_string(TableRowCount));
  }
  for (std::size_t k = 1; k < tables.size(); ++k)
    if (const int row = FirstDifferentRow(tables[0], tables[k]))
      Fail(ErrorKind::OutOfRange,
           DifferentGrids(ingredients[0].file, tables[0], ingredients[k].file, tables[k], row));

  SynthesisResult r;
  if (kind == Synthesis::Compound) {
    for (const Ingredient& i : ingredients) r.ratios.push_back(i.amount);
  } else {
    r.ratios.push_back(1.0);
    for (std::size_t k = 1; k < ingredients.size(); ++k) {
      const std::optional<double> ratio =
          AtomsPerFirstAtom(ingredients[0].atomicWeight, ingredients[k].atomicWeight, ingredients[k].amount,
                            ingredients[0].amount);
      if (!ratio)
        Fail(ErrorKind::OutOfRange,
             ingredients[k].file + ": its atomic weight or the first weight percent is 0");
      if (!std::isfinite(*ratio))
        Fail(ErrorKind::OutOfRange, ingredients[k].file +
                                        ": its atoms per atom of the first constituent are " +
                                        "not a finite number");
      r.ratios.push_back(*ratio);
    }
  }
  ScatteringTable& t = r.table;
  for (int i = 1; i <= TableRowCount; ++i) {
    double f2 = 0.0, s = 0.0;
    for (std::size_t k = 0; k < tables.size(); ++k)
      AddToRow(r.ratios[k], tables[k].f[i], tables[k].s[i], &f2, &s);
    if (!FinishRow(&f2, s))
      Fail(ErrorKind::OutOfRange, kind == Synthesis::Compound
                                      ? "the atom counts give a negative or infinite sum"
                                      : "the weights give a negative or infinite sum");
    // A table no reader would take back is not written.
    if (f2 > kMaxTableValue || s > kMaxTableValue)
      Fail(ErrorKind::OutOfRange,
           std::string(kind == Synthesis::Compound ? "the atom counts" : "the weights") +
               " give F or S above " + ShortestText(kMaxTableValue) + " in row " + std::to_string(i) +
               ", more than a table may hold");
    t.x[i] = tables.back().x[i];
    t.f[i] = f2;
    t.s[i] = s;
  }
  // What every front end hands on is the table its file holds.
  if (!RoundAsWritten(&t))
    Fail(ErrorKind::UnreadableData, "the table holds a value that is not a finite number");
  return r;
}

}  // namespace yex
