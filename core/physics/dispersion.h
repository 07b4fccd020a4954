// Anomalous dispersion f', f'' and photoabsorption against photon energy,
// from Chantler's tables (core/shipped/chantler_tables.h), for elements 1-92 and,
// summed over their atoms, for formulas.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/elements/elements.h"

namespace yex {

struct DispersionTable {
  int z = 0;
  std::string symbol;
  std::vector<double> energy;  // eV, ascending
  std::vector<double> fp;      // f', electrons
  std::vector<double> fdp;     // f'', electrons
  std::vector<double> mu;      // photoabsorption mu/rho, cm^2/g
  std::vector<double> edges;   // the compilation's level energies, eV, for placing steps
  // Per row, for interpolating without taking them again: ln f'' and ln mu
  // (NaN where not positive) and ln(energy[i + 1] / energy[i]).
  std::vector<double> lnFdp, lnMu, lnGap;
  // Where the rows themselves step: between rows `row` and `row + 1`, at
  // `energy` (eV). See FindSteps.
  struct Step {
    std::size_t row;
    double energy;
  };
  std::vector<Step> steps;
};

// The rise of mu/rho between two neighbouring rows, at least this fraction,
// that makes a step when both neighbouring intervals fall: no smooth curve
// through the four rows gives a fall, a rise and a fall in so short a span.
constexpr double kStepRise = 1e-3;
// The steps of a table's own rows: every interval where mu rises by
// kStepRise or more while the intervals on either side fall. A step lies at
// a level energy of `edges` inside the interval, else at the interval's
// geometric middle. (An energy listed twice is a step of its own: there the
// value above.)
std::vector<DispersionTable::Step> FindSteps(const DispersionTable& t);

struct DispersionValue {
  double fp = 0;
  double fdp = 0;
  double mu = 0;  // cm^2/g of the element
};

// One element's block of the data's text; UnreadableData when it is not one.
DispersionTable ParseDispersionBlock(std::string_view block);

// The values at `energyEv`: the tabulated row itself at a tabulated energy
// (to 14 significant digits); between two, f'' and mu log-log linear (linear
// in log E where one of them is 0), f' linear in log E, so every value lies
// within its two rows; in a step's interval the row of the step's side.
// OutOfRange outside the tabulated energies.
DispersionValue DispersionAt(const DispersionTable& t, double energyEv);

// Chantler's tables element by element, handed to every request that needs
// them as a TableStore is: the ones built into yex_shipped
// (BuiltInDispersion, core/shipped/chantler_tables.h), or the page's, unpacked from
// what it loads. Each element's block of text is parsed when first asked for;
// safe from several threads.
class DispersionSource {
 public:
  // `block(z)`: element z's block (ParseDispersionBlock), or nullptr where
  // there is none; `sourceLines`: where the data come from, a line each.
  DispersionSource(std::function<const char*(int)> block, std::vector<std::string> sourceLines);
  // Element z's table; OutOfRange naming the element where there is none.
  const DispersionTable& Table(int z) const;
  const std::vector<std::string>& SourceLines() const { return sourceLines_; }

 private:
  std::function<const char*(int)> block_;
  std::vector<std::string> sourceLines_;
  mutable std::mutex lock_;
  mutable std::map<int, DispersionTable> parsed_;
};

// Every energy (keV) inside every table, checked before any line is
// written: OutOfRange with the first one's reason.
void CheckEnergies(const std::vector<const DispersionTable*>& tables, const std::vector<double>& energies);

// A photon energy in keV as eV: the decimal of its shortest text moved three
// places, so a tabulated energy typed in keV meets the tabulated eV exactly.
double KevToEv(double kev);

// f' and f'' of each table (each must be an element's) at `energyKeV`, for
// averages with anomalous dispersion; Usage for a table that is no
// element's, OutOfRange where there is no data.
std::vector<std::pair<double, double>> DispersionOfTables(const DispersionSource& source,
                                                          const std::vector<std::string>& tables,
                                                          double energyKeV);

// A formula read once (ReadFormula) with each element's data, for values at
// any number of energies. Usage for a formula that does not parse;
// OutOfRange for an element without data.
struct FormulaDispersion {
  std::string formula;
  std::vector<const DispersionTable*> tables;
  std::vector<double> counts;  // atoms a formula unit
  std::vector<double> masses;  // count times atomic weight, scaled by one power of two
  std::string note;            // the formula's own note, if any
};
FormulaDispersion ReadFormulaDispersion(const DispersionSource& source, std::string_view formula);
// f' and f'' of one formula unit (the sum over its atoms) and its mu/rho
// (the mass-weighted mean, cm^2/g) at `energyEv`; OutOfRange for an energy
// outside a table, or where a sum is beyond the range of doubles (counts
// near 1e308).
DispersionValue DispersionAt(const FormulaDispersion& f, double energyEv);

}  // namespace yex
