// The formula parser accepts only known symbols with positive finite counts
// and explains every refusal.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/elements/elements.h"
#include "core/elements/formula.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const yex::FormulaResult r = yex::ParseFormula(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!r.ok) {
    if (r.error.empty()) std::abort();
    return 0;
  }
  if (r.parts.empty()) std::abort();
  for (const yex::FormulaPart& p : r.parts)
    if (yex::AtomicNumber(p.symbol) == 0 || !(p.count > 0) || !std::isfinite(p.count)) std::abort();
  return 0;
}
