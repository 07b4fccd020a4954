// The numeric rule never fails and never yields NaN, whatever the bytes.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/numbers/numeric.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const double v = yex::NumericValue(std::string_view(reinterpret_cast<const char*>(data), size));
  if (std::isnan(v)) std::abort();
  return 0;
}
