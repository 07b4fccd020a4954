// Every vector kernel of the lookup gives the scalar code's bits (NaN where
// it is out of range) on any table and any points: the bytes are a table's
// 45 rows of x, F, S as doubles, then the points; each row's x and its
// neighbours are points too.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/lookup/table_lookup.h"

namespace {

bool Same(const yex::LookupResult& r, double f, double s) {
  if (!r.inRange) return std::isnan(f) && std::isnan(s);
  return std::memcmp(&r.f, &f, sizeof f) == 0 && std::memcmp(&r.s, &s, sizeof s) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  std::vector<double> in(size / sizeof(double));
  if (!in.empty()) std::memcpy(in.data(), data, in.size() * sizeof(double));
  const std::size_t tableDoubles = 3 * yex::TableRowCount;
  yex::ScatteringTable t{};
  for (int r = 1; r <= yex::TableRowCount; ++r) {
    const std::size_t k = 3 * std::size_t(r - 1);
    // Rows the bytes do not reach: an ascending table, so points find rows.
    t.x[r] = k < in.size() ? in[k] : 0.005 * r * r;
    t.f[r] = k + 1 < in.size() ? in[k + 1] : 10.0 / r;
    t.s[r] = k + 2 < in.size() ? in[k + 2] : 0.1 * r;
  }
  std::vector<double> q(in.begin() + std::min(in.size(), tableDoubles), in.end());
  for (int r = 1; r <= yex::TableRowCount; ++r)
    for (double x : {t.x[r], std::nextafter(t.x[r], 0.0), std::nextafter(t.x[r], 2e3)}) q.push_back(x);
  const yex::TableLookup lookup(t);
  std::vector<double> f(q.size()), s(q.size());
  for (yex::LookupKernel kernel : yex::AvailableKernels()) {
    lookup.Many(q.data(), q.size(), f.data(), s.data(), kernel);
    for (std::size_t k = 0; k < q.size(); ++k)
      if (!Same(lookup(q[k]), f[k], s[k])) std::abort();
    for (int i = 2; i <= yex::TableRowCount; ++i) {
      lookup.BetweenMany(i, q.data(), q.size(), f.data(), s.data(), kernel);
      for (std::size_t k = 0; k < q.size(); ++k)
        if (!Same(lookup.Between(i, q[k]), f[k], s[k])) std::abort();
    }
  }
  return 0;
}
