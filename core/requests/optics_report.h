// index and reflectivity as requested: what the request is of (a material,
// its density and the name its columns carry), and the lines written.
#pragma once

#include "core/physics/optics.h"
#include "core/requests/report.h"
#include "core/requests/request.h"

namespace yex {

// What an index or reflectivity request is of, resolved: the material, its
// density (given, or the listed material's, or the one listed material of an
// element alone) and the name its columns carry.
struct OpticalMaterial {
  Material material;
  double density = 0;
  std::string label;
  std::string why;   // where the density comes from, for a # line
  std::string note;  // a formula's own note
};
OpticalMaterial ResolveOpticalMaterial(const OpticsRequest& r, const TableStore& store);

RunSummary WriteIndex(const OpticsRequest& r, const TableStore& store, const DispersionSource& dispersion,
                      const Provenance& who, RecordWriter& w);
RunSummary WriteReflectivity(const OpticsRequest& r, const TableStore& store,
                             const DispersionSource& dispersion, const Provenance& who, RecordWriter& w);

}  // namespace yex
