#include "editor_shared/synthesis_math.h"

#include <cmath>

namespace yex {
using namespace Module1;

bool WithinKindCount(int k) { return k <= ElementKindCount; }

bool CombineConstituents(Weights weights) {
  for (int i = 1; i <= TableRowCount; ++i) {
    FData(i) = 0.0;
    SData(i) = 0.0;
  }
  for (int i = 1; i <= TableRowCount; ++i) {
    for (int k = 1; WithinKindCount(k); ++k) {
      const double w = weights == Weights::Amounts ? ElementAmount(k) : AtomRatio(k);
      FData(i) = FData(i) + w * ElementFData(i, k) * ElementFData(i, k);
      SData(i) = SData(i) + w * ElementSData(i, k);
    }
  }
  for (int i = 1; i <= TableRowCount; ++i) {
    if (!(FData(i) >= 0.0) || !std::isfinite(FData(i)) || !std::isfinite(SData(i))) return false;
    FData(i) = std::sqrt(FData(i));
  }
  return true;
}

void StoreEntryValues(const std::vector<EntryValues>& entries) {
  ClearTable();
  ElementKindCount = static_cast<double>(entries.size());
  for (int k = 1; k <= static_cast<int>(entries.size()); ++k) {
    const EntryValues& e = entries[static_cast<std::size_t>(k - 1)];
    ElementFile(k) = e.file;
    ElementAmount(k) = e.amount;
    AtomicWeight(k) = e.atomicWeight;
  }
}

namespace {

// Step 2 of both editors: every constituent within the count is read; x goes
// to XData (so the last one read wins), F and S to the constituent's columns.
bool ReadConstituents(const TableSource& source, std::string* why) {
  for (int k = 1; WithinKindCount(k); ++k) {
    if (k > MaxConstituents) {
      *why = "more than " + std::to_string(MaxConstituents) + " constituents";
      return false;
    }
    WorkPath = ElementFile(k);
    if (WorkPath.empty()) {
      *why = "constituent " + std::to_string(k) + " has no table";
      return false;
    }
    ScatteringTable t;
    if (!source(WorkPath, &t, why)) return false;
    for (int i = 1; i <= TableRowCount; ++i) {
      RowText(i) = t.rowText[i];
      XData(i) = t.x[i];
      ElementFData(i, k) = t.f[i];
      ElementSData(i, k) = t.s[i];
    }
  }
  return true;
}

}  // namespace

bool SynthesizeTable(const TableSource& source, const Combine& combine, std::string* why) {
  try {
    // The count must admit at least one constituent: a table of zeros
    // reported as saved would be a failure passed off as success.
    if (!WithinKindCount(1)) {
      *why = "no constituent was entered";
      return false;
    }
    return ReadConstituents(source, why) && combine(why);
  } catch (const IndexError& e) {
    *why = e.what();
    return false;
  }
}

}  // namespace yex
