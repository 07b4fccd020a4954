// Composition averages of total scattering (PDF) work, per atom, from the
// tables of the elements of a sample: <f²>, <f>², <S> and <S>·Pᴷ.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "core/lookup/table_lookup.h"

namespace yex {

struct Constituent {
  TableLookup table;
  double count;  // atoms in the composition
  // With anomalous dispersion, f' and f'': f = F(x) + f' + i f''.
  std::optional<std::pair<double, double>> dispersion = std::nullopt;
};

struct CompositionAverages {
  bool inRange = false;  // every constituent's lookup answered
  double f2Mean = 0.0;   // Σ cₖFₖ², with dispersion Σ cₖ|fₖ|²
  double fMeanSq = 0.0;  // (Σ cₖFₖ)², with dispersion |Σ cₖfₖ|²
  double sMean = 0.0;    // Σ cₖSₖ
};

// The fractions cₖ = nₖ / Σn.
std::vector<double> AtomFractions(const std::vector<Constituent>& parts);

// The averages at x, from each constituent's lookup (the main window's rule).
CompositionAverages AverageAt(const std::vector<Constituent>& parts, const std::vector<double>& fractions,
                              double x);

// The Breit-Dirac factor Pᴷ at x, P = 1 / (1 + k(1 − cos θ)),
// cos θ = 1 − 2λ²x²; false when xλ > 1.
bool BreitDiracFactor(double x, double energyKeV, int power, double* factor);

}  // namespace yex
