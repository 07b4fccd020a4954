// The arithmetic of the two editors' "OK", over the shared entry storage,
// and the synthesis of a new table from its constituents' tables wherever
// they come from (files in the data folder, or tables in memory).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/scattering_data/module1.h"

namespace yex {

// True while constituent k is within the entered count (compared as a number,
// so 2.5 admits 1 and 2 and a count below 1 admits none).
bool WithinKindCount(int k);

// Steps shared by both editors: FData and SData rows 1..45 are zeroed, then
// F = sqrt(sum w_k F_k^2) and S = sum w_k S_k over the constituents within the
// count, with w_k = ElementAmount(k) (compound) or AtomRatio(k) (mixture).
// Returns false, leaving the partial sums, when a sum under the root is
// negative or any result is not finite.
enum class Weights { Amounts, AtomRatios };
bool CombineConstituents(Weights weights);

// One constituent as an entry window stores it.
struct EntryValues {
  std::string file;           // table file name ("C.yex")
  double amount = 0.0;        // atoms (compound) or weight percent (mixture)
  double atomicWeight = 0.0;  // mixture only
};

// Fills the shared entry storage as the entry windows would (at most
// MaxConstituents entries) and clears the table in memory.
void StoreEntryValues(const std::vector<EntryValues>& entries);

// The table of a constituent's file name; false with *why when there is none.
using TableSource = std::function<bool(const std::string& file, ScatteringTable* table, std::string* why)>;

// The synthesis without writing: the count must admit a constituent, every
// constituent within the count is read from `source` (x to XData, so the
// last one read wins; F and S to its columns), then `combine` (which sets
// *why when it fails) fills FData and SData. False with *why on failure,
// an index outside the storage included.
using Combine = std::function<bool(std::string* why)>;
bool SynthesizeTable(const TableSource& source, const Combine& combine, std::string* why);

}  // namespace yex
