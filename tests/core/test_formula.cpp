// Chemical formulas, element symbols and the momentum-transfer conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/elements/elements.h"
#include "core/elements/formula.h"
#include "core/numbers/units.h"

using namespace yex;

namespace {

// "H 2, O 1" (counts as %g writes them), "noted" after a note, or "error: ...".
std::string Parts(const std::string& formula) {
  const FormulaResult r = ParseFormula(formula);
  if (!r.ok) return "error: " + r.error;
  std::string out;
  for (const FormulaPart& p : r.parts) {
    char count[32];
    std::snprintf(count, sizeof count, "%g", p.count);
    out += (out.empty() ? "" : ", ") + p.symbol + " " + count;
  }
  if (!r.note.empty()) out += ", noted";
  return out;
}

struct Case {
  const char* what;
  std::string formula;
  const char* expected;
};

}  // namespace

TEST(Formula, Formulas) {
  const Case cases[] = {
      {"water", "H2O", "H 2, O 1"},
      {"silica", "SiO2", "Si 1, O 2"},
      {"apatite", "Ca5(PO4)3OH", "Ca 5, P 3, O 13, H 1"},
      {"hydrate middle dot", "CuSO4·5H2O", "Cu 1, S 1, O 9, H 10"},
      {"hydrate star", "CuSO4*5H2O", "Cu 1, S 1, O 9, H 10"},
      {"hydrate dot operator", "CuSO4\u22C55H2O", "Cu 1, S 1, O 9, H 10"},
      {"hydrate bullet", "CuSO4\u20225H2O", "Cu 1, S 1, O 9, H 10"},
      {"hydrate with a period: read as written, noted", "CuSO4.5H2O", "Cu 1, S 1, O 5.5, H 2, noted"},
      {"decimal count", "Fe0.95O", "Fe 0.95, O 1"},
      {"nested", "K4[Fe(CN)6]", "K 4, Fe 1, C 6, N 6"},
      {"deep nesting", "((H2)2O)3", "H 12, O 3"},
      {"repeated symbol merges", "CH3COOH", "C 2, H 4, O 2"},
      {"leading count", "2H2O", "H 4, O 2"},
      {"water-first hydrate", "5H2O*CuSO4", "H 10, O 9, Cu 1, S 1"},
      {"decimal hydrate", "CaSO4*0.5H2O", "Ca 1, S 1, O 4.5, H 1"},
      {"single letter elements", "UO2", "U 1, O 2"},
      {"californium", "Cf", "Cf 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parts(c.formula), c.expected) << c.what;
}

TEST(Formula, ErrorsNameTheToken) {
  const Case cases[] = {
      {"unknown symbol", "H2Xx", "unknown element symbol \"Xx\" at position 3"},
      {"beyond Cf", "Es2O3", "Es at position 1 has no shipped table (the tables cover H to Cf)"},
      {"open paren", "Ca(OH2", "unbalanced \"(\" at position 3"},
      {"close paren", "CaOH)2", "unbalanced \")\" at position 5"},
      {"mismatched", "Ca(OH]2", "unbalanced \"(\" at position 3"},
      {"lower case", "h2o", "unexpected \"h\" at position 1"},
      {"blank", "H2 O", "unexpected \" \" at position 3"},
      {"empty", "", "the formula is empty"},
      {"empty group", "Ca()2", "empty group at position 3"},
      {"zero count", "H0O", "the count at position 2 is not positive"},
      {"zero leading count", "0H2O", "the count at position 1 is not positive"},
      {"zero hydrate count", "CuSO4*0H2O", "the count at position 7 is not positive"},
      {"dangling hydrate", "CuSO4*", "nothing to count after position 6"},
      {"point without digits", "Fe1.O", "a decimal point without digits at position 4"},
      {"counts overflow through groups", std::string("(H1") + std::string(300, '9') + ")99999999999",
       "the count of H is too large"},
      {"sum overflows", std::string("H") + std::string(308, '9') + "H" + std::string(308, '9'),
       "the count of H is too large"},
      {"non-ASCII", "H₂O", "unexpected \"₂\" at position 2"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parts(c.formula), std::string("error: ") + c.expected) << c.what;
}

TEST(Formula, ElementsAndTheirWeights) {
  EXPECT_EQ(AtomicNumber("H"), 1);
  EXPECT_EQ(AtomicNumber("Fe"), 26);
  EXPECT_EQ(AtomicNumber("Cf"), 98);
  EXPECT_EQ(AtomicNumber("Es"), 0);
  EXPECT_EQ(AtomicNumber("fe"), 0);
  // The IUPAC standard atomic weights (abridged to five figures, conventional
  // values for the elements given as intervals, mass numbers in brackets for
  // those without a standard value), as published; every element.
  const double iupac[ElementCount] = {
      1.008,  4.0026, 6.94,   9.0122, 10.81,  12.011, 14.007, 15.999, 18.998, 20.180, 22.990, 24.305, 26.982,
      28.085, 30.974, 32.06,  35.45,  39.95,  39.098, 40.078, 44.956, 47.867, 50.942, 51.996, 54.938, 55.845,
      58.933, 58.693, 63.546, 65.38,  69.723, 72.630, 74.922, 78.971, 79.904, 83.798, 85.468, 87.62,  88.906,
      91.224, 92.906, 95.95,  98,     101.07, 102.91, 106.42, 107.87, 112.41, 114.82, 118.71, 121.76, 127.60,
      126.90, 131.29, 132.91, 137.33, 138.91, 140.12, 140.91, 144.24, 145,    150.36, 151.96, 157.25, 158.93,
      162.50, 164.93, 167.26, 168.93, 173.05, 174.97, 178.49, 180.95, 183.84, 186.21, 190.23, 192.22, 195.08,
      196.97, 200.59, 204.38, 207.2,  208.98, 209,    210,    222,    223,    226,    227,    232.04, 231.04,
      238.03, 237,    244,    243,    247,    247,    251};
  for (int z = 1; z <= ElementCount; ++z) EXPECT_EQ(StandardAtomicWeight(z), iupac[z - 1]);
  // Weights rise with Z but for the four known inversions.
  int inversions = 0;
  for (int z = 2; z <= ElementCount; ++z) inversions += StandardAtomicWeight(z) < StandardAtomicWeight(z - 1);
  EXPECT_EQ(inversions, 6);  // Ar/K, Co/Ni, Te/I, Th/Pa, U/Np, Pu/Am
  // The shipped tables are named by these symbols.
  for (int z = 1; z <= ElementCount; ++z)
    EXPECT_TRUE(
        std::filesystem::exists(std::string(YEX_SHIPPED_DATA "/") + std::string(ElementSymbol(z)) + ".yex"))
        << z;
}

TEST(Formula, Conversions) {
  // Cu K-alpha, 2 theta = 30 degrees: x = sin(15 deg) / 1.5406 A.
  const double lambda = WavelengthFromEnergy(8.04778);
  EXPECT_TRUE(std::fabs(lambda - 1.54060) < 1e-4);
  EXPECT_TRUE(std::fabs(XFromAngle(30, lambda) - 0.25881904510252074 / lambda) < 1e-15);
  EXPECT_EQ(XFromAngle(180, 2.0), 0.5);
  EXPECT_EQ(XFromQ(4 * M_PI), 1.0);
}
