// Chantler's tables built in: the generated text (anomalous_data.cpp), parsed
// element by element when first asked for.
#include "core/physics/anomalous.h"
#include "core/shipped/anomalous_data.h"

namespace yex {

const DispersionSource& BuiltInDispersion() {
  static const DispersionSource source(AnomalousBlock, AnomalousSource());
  return source;
}

}  // namespace yex
