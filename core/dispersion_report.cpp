// dispersion: f' and f'' of elements and formulas against photon energy.
#include "core/anomalous.h"
#include "core/anomalous_data.h"
#include "core/elements.h"
#include "core/error.h"
#include "core/numeric.h"
#include "core/report.h"
#include "core/request.h"

namespace yex {

RunSummary WriteDispersion(const DispersionRequest& r, const Provenance& who, RecordWriter& w) {
  std::vector<std::string> names;
  std::vector<const AnomalousTable*> tables;
  std::string note;
  if (r.formula) {
    names.push_back(r.names[0]);
    if (r.energies.empty()) Fail(ErrorKind::Usage, "no energies");
    note =
        AnomalousOfFormula(r.names[0], KevToEv(r.energies[0])).note;  // refuses a bad formula before any line
  } else {
    for (const std::string& n : r.names) {
      const int z = ElementOfName(n);
      if (!z) Fail(ErrorKind::Usage, n + ": not an element; give a compound's --formula");
      tables.push_back(&AnomalousData(z));
      names.emplace_back(ElementSymbol(z));
    }
  }
  w.Comment(who.program + " dispersion");
  for (const std::string& line : AnomalousSource()) w.Comment(line);
  w.Comment(r.formula ? "f' and f'' in electrons per formula unit (the sum over its atoms)"
                      : "f' and f'' in electrons per atom");
  std::vector<std::string> header{"E_keV"};
  for (const std::string& n : names) {
    header.push_back("fp(" + n + ")");
    header.push_back("fdp(" + n + ")");
  }
  w.Header(header);
  RunSummary s;
  s.note = note;
  std::vector<std::optional<double>> fields;
  for (const double kev : r.energies) {
    const double ev = KevToEv(kev);
    fields.assign(1, kev);
    if (r.formula) {
      const AnomalousValue v = AnomalousOfFormula(r.names[0], ev).value;
      fields.push_back(v.fp);
      fields.push_back(v.fdp);
    } else {
      for (const AnomalousTable* t : tables) {
        const AnomalousValue v = AnomalousAt(*t, ev);
        fields.push_back(v.fp);
        fields.push_back(v.fdp);
      }
    }
    w.Line(fields, 1);
    ++s.points;
  }
  return s;
}

}  // namespace yex
