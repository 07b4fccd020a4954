// Photon scattering cross sections from a table's F and S: differential
// (Thomson x F², Klein-Nishina x S) and integrated over angle. Unpolarised;
// per atom, formula unit or whatever amount the table describes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/lookup/table_lookup.h"

namespace yex {

constexpr double kReSquaredBarn = 0.079407877;  // classical electron radius squared
constexpr double kElectronRestKeV = 510.99895;  // mₑc²
constexpr double kAvogadro = 6.02214076e23;     // mol⁻¹
constexpr double kBarnCm2 = 1e-24;

struct CrossSectionPair {
  double coh = 0.0;
  double incoh = 0.0;
};

// P = 1 / (1 + k(1 - cos θ)), k = E / mₑc²: the Compton energy ratio.
double ComptonRatio(double cosTheta, double energyKeV);

// dσ/dΩ in barn/sr at momentum transfer x (Å⁻¹) for the given F and S:
// (r_e²/2)(1 + cos²θ)F² and (r_e²/2)P²(P + 1/P − sin²θ)S, with
// cos θ = 1 − 2λ²x². Not valid (false) when xλ > 1: no angle reaches x.
bool DifferentialCrossSections(double x, double f, double s, double energyKeV, CrossSectionPair* out);

// σ = 2π ∫ dσ/dΩ d(cos θ) over the whole sphere, in barn. The integrand is
// the table itself: log-log between neighbouring rows from row 2 on, as the
// lookup interpolates, and linear in x² between row 1 (x = 0) and row 2.
// False when the table cannot be integrated: row 1 not at x = 0, the x
// column not ascending, a pair whose value cannot be interpolated, or
// x = 1/λ beyond the last row. Prepares the table for this one energy: for
// many, hold a CrossSectionTable.
bool IntegratedCrossSections(const TableLookup& table, double energyKeV, CrossSectionPair* out,
                             const char** why = nullptr);

// The same integrals with the work that does not depend on the energy
// done once for the table, for many energies: the coherent one exactly,
// from cumulative moments of F² (between rows F is a power law, and the
// Thomson factor a polynomial in x²), the incoherent one on Gauss nodes
// fixed in x with S computed there once, the last, partial piece below
// 1/λ integrated for each energy. The same integrand as ever; At agrees
// with the quadrature it replaces to well within 1e-9.
//
// At does not even do that for each energy: between two rows σ is a smooth
// function of x = 1/λ, so on spans of x no wider than a factor 1.2 it is
// a Chebyshev series of degree 12 through Exact's values, built the first
// time an energy falls in the span and kept only where its last terms show
// it within 1e-12 (otherwise, and below row 2, At is Exact). An energy then
// costs a search and two short sums, and its value does not depend on which
// other energies were asked. Copies share the spans built; safe from
// several threads.
class CrossSectionTable {
 public:
  explicit CrossSectionTable(const TableLookup& table);
  bool At(double energyKeV, CrossSectionPair* out, const char** why = nullptr) const;
  bool Exact(double energyKeV, CrossSectionPair* out, const char** why = nullptr) const;

 private:
  struct Spans;
  std::shared_ptr<Spans> spans_;
  TableLookup table_;
  const char* problem_ = nullptr;  // why no energy can be integrated, if so
  // Per piece i (rows i - 1 and i, i = 2..rows): whether it can be
  // interpolated, F's exponent, the moments ∫ x^(2k+1) F² dx (k = 0, 1, 2)
  // from 0 to x(i), and the incoherent nodes of the whole piece.
  struct Piece {
    bool usable = false;
    double exponent = 0;
    double moments[3] = {0, 0, 0};
    std::size_t firstNode = 0, endNode = 0;
  };
  std::vector<Piece> pieces_;
  std::vector<double> nodeX2_, nodeWeight_;  // x² and w·x·S(x) of each node
  // ∫ from x(i-1) to X of x^(2k+1) F² dx within piece i.
  void PartialMoments(int i, double X, double m[3]) const;
};

// The Klein-Nishina total cross section of a free electron, in barn.
double KleinNishinaTotal(double energyKeV);

// barn per amount → cm²/g, for an amount of `molarMass` g/mol.
inline double BarnToCm2PerGram(double barn, double molarMass) {
  return barn * kBarnCm2 * kAvogadro / molarMass;
}

// "Pb.yex at 1e-160 keV: the energy is too low to integrate"; with the
// table's lookup, a pair of rows that cannot be integrated is named.
std::string CrossSectionFailure(const std::string& file, double energyKeV, const std::string& why,
                                const TableLookup* table = nullptr);

}  // namespace yex
