// New tables from existing ones: a compound from atoms per formula unit,
// a mixture from weight percent and atomic weights. The arithmetic is the
// editors' (the windows run it step by step over their shared state); the
// whole synthesis takes values and returns a table.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/tables/table.h"

namespace yex {

enum class Synthesis { Compound, Mixture };

// One constituent: a table file name ("H.yex"), its atoms (compound) or
// weight percent (mixture), and for a mixture its atomic weight.
struct Ingredient {
  std::string file;
  double amount = 0.0;
  double atomicWeight = 0.0;
};

// One row's sums, constituent by constituent in the order entered:
// F² += w·f², S += w·s.
inline void AddToRow(double w, double f, double s, double* f2, double* sSum) {
  *f2 = *f2 + w * f * f;
  *sSum = *sSum + w * s;
}
// F = √(F²); false, leaving F² as it is, when the sums are no table values
// (a negative sum under the root, or one not finite).
bool FinishRow(double* f2, double sSum);

// The atoms of constituent k per atom of the first: ((A₁/A_k)·w_k)/w₁, in
// this order of operations; nothing for a division by zero (0/0 included).
// The result may still be an infinity.
std::optional<double> AtomsPerFirstAtom(double a1, double ak, double wk, double w1);

// The first row (1..45) in which two tables' x columns differ, bit for bit,
// or 0 when they are one column: tables are combined row by row.
int FirstDifferentRow(const ScatteringTable& a, const ScatteringTable& b);
// "C2.yex and O.yex differ in x from row 2 (0.01 and 0.005): ..."
std::string DifferentGrids(const std::string& fileA, const ScatteringTable& a, const std::string& fileB,
                           const ScatteringTable& b, int row);

// The table of a constituent's file name, wherever tables come from; throws
// Error when there is none.
using TableSource = std::function<ScatteringTable(const std::string& file)>;

struct SynthesisResult {
  ScatteringTable table;       // the values as the file holds them (rounded as written)
  std::vector<double> ratios;  // weight of each constituent: atoms, or atoms per atom of the first
};

// Reads every constituent from `source`, then F = √(Σ w_k F_k²), S = Σ w_k S_k
// row by row on the x column they all share, exactly as the editors compute
// and write it. Throws Error: Usage for no constituent or more than
// MaxConstituents; OutOfRange for tables on different x columns or weights
// that make no table; what `source` throws.
SynthesisResult Synthesize(Synthesis kind, const std::vector<Ingredient>& ingredients,
                           const TableSource& source);

}  // namespace yex
