// Chantler's tables built in: the generated text (anomalous_data.cpp), parsed
// element by element when first asked for.
#include "core/anomalous.h"
#include "core/anomalous_data.h"

namespace yex {

const DispersionSource& BuiltInDispersion() {
  static const DispersionSource source(AnomalousBlock, AnomalousSource());
  return source;
}

}  // namespace yex
