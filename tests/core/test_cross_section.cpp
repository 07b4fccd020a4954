// Cross sections, differential cross sections and composition averages in
// the core alone: closed forms, sums by hand, and xraylib where present.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <vector>

#ifdef YEX_HAVE_XRAYLIB
#include <xraylib.h>
#endif

#include "core/elements/elements.h"
#include "core/numbers/units.h"
#include "core/physics/composition.h"
#include "core/physics/cross_section.h"
#include "core/requests/report.h"
#include "core/shipped/shipped_tables.h"
#include "tests/core/support.h"

using namespace yex;
using namespace yex::test;

namespace {

TableLookup Shipped(const std::string& name) { return TableLookup(yex::Shipped().LoadTyped(name)); }

CrossSectionPair Sigma(const TableLookup& t, double e) {
  CrossSectionPair p;
  EXPECT_TRUE(IntegratedCrossSections(t, e, &p)) << "cannot integrate at " << e << " keV";
  return p;
}

bool Near(double a, double b, double rel) { return std::fabs(a - b) <= rel * std::fabs(b); }

}  // namespace

TEST(CrossSection, ConstantTablesGiveClosedForms) {
  // The Thomson and Klein-Nishina totals by their closed forms: 0.6652 barn
  // at low energy, 0.2865 barn at k = 1.
  EXPECT_TRUE(Near(KleinNishinaTotal(0.1), 8 * M_PI / 3 * kReSquaredBarn, 5e-4));
  EXPECT_TRUE(Near(KleinNishinaTotal(kElectronRestKeV), 0.28653, 1e-4));
  for (const auto& [c, s] : {std::pair{1.0, 1.0}, {6.0, 2.5}, {92.0, 0.1}}) {
    RowValues x, f, sv;
    for (int r = 1; r <= TableRowCount; ++r) {
      x(r) = r == 1 ? 0.0 : 0.005 * std::pow(2e11, (r - 2) / 43.0);  // up to 1e9
      f(r) = c;
      sv(r) = s;
    }
    const TableLookup t(x, f, sv);
    for (double e : {5.0, 17.48, 100.0, 511.0, 5000.0}) {
      const CrossSectionPair p = Sigma(t, e);
      EXPECT_TRUE(Near(p.coh, 8 * M_PI / 3 * kReSquaredBarn * c * c, 1e-6)) << e;
      EXPECT_TRUE(Near(p.incoh, s * KleinNishinaTotal(e), 1e-6)) << e;
    }
  }
  // Below row 2 the table is linear in x²: at 0.05 keV no angle reaches row
  // 2 (x = 0.01), so with F from 2 to 1 and S from 0 to 1 there,
  // F = 2 - u, S = u, u = (1 - cos θ) / (2 λ² x₂²); against Simpson's rule on
  // the formulas over cos θ.
  RowValues x, f, sv;
  for (int r = 1; r <= TableRowCount; ++r) {
    x(r) = r == 1 ? 0.0 : 0.005 * r;
    f(r) = r == 1 ? 2.0 : 1.0;
    sv(r) = r == 1 ? 0.0 : 1.0;
  }
  const double e = 0.05, lambda = kHcKeVAngstrom / e, kappa = 1 / (2 * lambda * lambda * 0.01 * 0.01);
  double coh = 0, incoh = 0;
  const int n = 20000;
  for (int i = 0; i <= n; ++i) {
    const double c = -1.0 + 2.0 * i / n, w = (i == 0 || i == n ? 1.0 : i % 2 ? 4.0 : 2.0) * (2.0 / n) / 3.0;
    const double u = kappa * (1 - c), pr = 1 / (1 + e / kElectronRestKeV * (1 - c));
    coh += w * M_PI * kReSquaredBarn * (1 + c * c) * (2 - u) * (2 - u);
    incoh += w * M_PI * kReSquaredBarn * pr * pr * (pr + 1 / pr - (1 - c * c)) * u;
  }
  const CrossSectionPair p = Sigma(TableLookup(x, f, sv), e);
  EXPECT_TRUE(Near(p.coh, coh, 1e-9) && Near(p.incoh, incoh, 1e-9))
      << p.coh << " " << p.incoh << " against " << coh << " " << incoh;
}

TEST(CrossSection, ShippedTablesAgainstAnIndependentIntegralTo1e9) {
  // The same integrand integrated apart from the code: F and S between rows
  // by their own formulas (log-log; linear in x^2 below row 2), Simpson's
  // rule in long double on every piece of cos theta between two rows.
  for (const char* name : {"C", "Pb"}) {
    const ScatteringTable t = yex::Shipped().LoadTyped(name);
    const auto value = [&t](const std::vector<double>& y, long double x) -> long double {
      int r = 1;
      while (r + 1 < TableRowCount && t.x[r + 1] <= x) ++r;
      if (r == 1) return y[1] + (y[2] - y[1]) * (x * x) / (t.x[2] * t.x[2]);
      return LogLog(t.x[r], y[r], t.x[r + 1], y[r + 1], static_cast<double>(x));
    };
    for (const double e : {8.0, 17.48, 59.54, 150.0}) {
      const long double lambda = kHcKeVAngstrom / e, k = e / kElectronRestKeV;
      std::vector<long double> cuts{-1.0L};
      for (int r = TableRowCount; r >= 2; --r)
        if (const long double c = 1 - 2 * lambda * lambda * t.x[r] * t.x[r]; c > -1 && c < 1)
          cuts.push_back(c);
      cuts.push_back(1.0L);
      long double coh = 0, incoh = 0;
      for (std::size_t p = 0; p + 1 < cuts.size(); ++p) {
        const int n = 2000;
        const long double h = (cuts[p + 1] - cuts[p]) / n;
        for (int i = 0; i <= n; ++i) {
          const long double c = cuts[p] + i * h, w = (i == 0 || i == n ? 1 : i % 2 ? 4 : 2) * h / 3;
          const long double x = std::sqrt(std::max(0.0L, (1 - c) / 2)) / lambda, pr = 1 / (1 + k * (1 - c));
          const long double f = value(t.f, x), sv = value(t.s, x);
          coh += w * M_PI * kReSquaredBarn * (1 + c * c) * f * f;
          incoh += w * M_PI * kReSquaredBarn * pr * pr * (pr + 1 / pr - (1 - c * c)) * sv;
        }
      }
      const CrossSectionPair got = Sigma(TableLookup(t), e);
      EXPECT_TRUE(Near(got.coh, static_cast<double>(coh), 1e-9)) << name << " " << e << ": " << got.coh - coh;
      EXPECT_TRUE(Near(got.incoh, static_cast<double>(incoh), 1e-9))
          << name << " " << e << ": " << got.incoh - incoh;
    }
  }
}

TEST(CrossSection, SeriesInEnergyAgreeWithTheIntegralsOfEveryTable) {
  // Every element's table, and one whose F and S swing by 1e6 from row to
  // row (a series cannot follow it: the integrals must serve there), from
  // row 2 on to 1e5 keV: on a log grid that falls in every span, at the
  // rows' own energies (span ends) and just beside them; a copy shares what
  // was built and gives the same bits.
  std::vector<TableLookup> tables;
  for (int z = 1; z <= 98; ++z) tables.push_back(Shipped(std::string(ElementSymbol(z))));
  RowValues x, f, sv;
  for (int r = 1; r <= TableRowCount; ++r) {
    x(r) = r == 1 ? 0.0 : 0.005 * std::pow(2e11, (r - 2) / 43.0);
    f(r) = r % 2 ? 1.0 : 1e6;
    sv(r) = r == 1 ? 0.0 : r % 2 ? 1e-6 : 1.0;
  }
  tables.emplace_back(x, f, sv);
  double worst = 0;
  for (std::size_t k = 0; k < tables.size(); ++k) {
    const TableLookup& t = tables[k];
    const CrossSectionTable table(t), copy = table;
    std::vector<double> energies;
    for (int i = 0; i <= 4000; ++i) energies.push_back(0.06 * std::pow(1e5 / 0.06, i / 4000.0));
    for (int r = 2; r <= TableRowCount && t.x(r) * kHcKeVAngstrom < 1e5; ++r)
      for (double d : {1 - 1e-15, 1.0, 1 + 1e-15, 1.1}) energies.push_back(t.x(r) * kHcKeVAngstrom * d);
    for (double e : energies) {
      CrossSectionPair fast, exact, again;
      ASSERT_EQ(table.Exact(e, &exact), table.At(e, &fast)) << k << " " << e;
      if (!table.Exact(e, &exact)) continue;
      ASSERT_TRUE(copy.At(e, &again) && again.coh == fast.coh && again.incoh == fast.incoh);
      worst = std::max({worst, std::fabs(fast.coh / exact.coh - 1), std::fabs(fast.incoh / exact.incoh - 1)});
      ASSERT_TRUE(Near(fast.coh, exact.coh, 1e-11) && Near(fast.incoh, exact.incoh, 1e-11))
          << "table " << k << " at " << e << " keV: " << fast.coh / exact.coh - 1 << " "
          << fast.incoh / exact.incoh - 1;
    }
  }
  std::printf("largest relative difference of the series: %.3g\n", worst);
}

TEST(CrossSection, CompoundIsTheSumOfItsAtoms) {
  // The compound as its file holds it, rounded to the written digits.
  const TableLookup water(BuildCompound("Water", {{"H", 2}, {"O", 1}}, yex::Shipped()).result.table);
  const TableLookup h = Shipped("H"), o = Shipped("O");
  for (double e : {8.0, 17.48, 60.0, 150.0}) {
    const CrossSectionPair w = Sigma(water, e), sh = Sigma(h, e), so = Sigma(o, e);
    // Within the five digits the written table keeps, and the difference
    // between interpolating a sum on log-log axes and summing interpolations
    // (up to 1.3e-4 at 8 keV).
    EXPECT_TRUE(Near(w.coh, 2 * sh.coh + so.coh, 2e-4));
    EXPECT_TRUE(Near(w.incoh, 2 * sh.incoh + so.incoh, 2e-4));
  }
}

TEST(CrossSection, DifferentialAtForwardAndBackward) {
  const double re2 = 0.079407877, e = 59.54, k = e / 510.99895;
  CrossSectionPair d;
  EXPECT_TRUE(DifferentialCrossSections(0.0, 6.0, 0.5, e, &d));  // θ = 0: Thomson, P = 1
  EXPECT_EQ(d.coh, re2 * 36.0);
  EXPECT_TRUE(Near(d.incoh, re2 * 0.5, 1e-15));
  const double xBack = 1.0 / WavelengthFromEnergy(e);  // θ = 180°
  EXPECT_TRUE(DifferentialCrossSections(xBack, 2.0, 3.0, e, &d));
  const double p = 1.0 / (1.0 + 2.0 * k);
  EXPECT_TRUE(Near(d.coh, re2 * 4.0, 1e-12));
  EXPECT_TRUE(Near(d.incoh, re2 / 2 * p * p * (p + 1 / p) * 3.0, 1e-12));
  EXPECT_TRUE(!DifferentialCrossSections(xBack * 1.001, 2.0, 3.0, e, &d));  // no angle reaches it
}

TEST(CrossSection, CompositionAverages) {
  const TableLookup si = Shipped("Si"), o = Shipped("O");
  const std::vector<Constituent> sio2{{si, 1}, {o, 2}};
  const std::vector<double> c = AtomFractions(sio2);
  for (double x : {0.05, 0.3, 1.7, 12.0}) {
    const LookupResult a = si(x), b = o(x);
    const CompositionAverages avg = AverageAt(sio2, c, x);
    EXPECT_TRUE(avg.inRange);
    EXPECT_TRUE(Near(avg.f2Mean, (a.f * a.f + 2 * b.f * b.f) / 3, 1e-14));
    EXPECT_TRUE(Near(avg.fMeanSq, std::pow((a.f + 2 * b.f) / 3, 2), 1e-14));
    EXPECT_TRUE(Near(avg.sMean, (a.s + 2 * b.s) / 3, 1e-14));
  }
  EXPECT_TRUE(!AverageAt(sio2, c, 0.001).inRange);
  // Breit-Dirac: P^K with cos θ from x at the energy.
  const double e = 61.3, x = 2.0, l = WavelengthFromEnergy(e);
  const double cosT = 1 - 2 * l * l * x * x, p = 1 / (1 + e / 510.99895 * (1 - cosT));
  for (int k : {2, 3}) {
    double factor = 0;
    EXPECT_TRUE(BreitDiracFactor(x, e, k, &factor));
    EXPECT_TRUE(Near(factor, std::pow(p, k), 1e-14));
  }
}

TEST(CrossSection, AgainstXraylib) {
#ifndef YEX_HAVE_XRAYLIB
  GTEST_SKIP() << "xraylib is not installed";
#else
  // Different evaluations of related data: Compton within 2.5 % for every
  // element, Rayleigh within 2 % up to Z = 30.
  for (int z = 1; z <= 98; ++z) {
    const TableLookup t = Shipped(std::string(ElementSymbol(z)));
    for (double e : {10.0, 20.0, 50.0, 100.0}) {
      const CrossSectionPair p = Sigma(t, e);
      std::ostringstream where;
      where << "Z = " << z << " at " << e << " keV: " << p.coh << " " << p.incoh << " against "
            << CSb_Rayl(z, e, nullptr) << " " << CSb_Compt(z, e, nullptr);
      EXPECT_TRUE(Near(p.incoh, CSb_Compt(z, e, nullptr), 0.025)) << where.str();
      if (z <= 30) {
        EXPECT_TRUE(Near(p.coh, CSb_Rayl(z, e, nullptr), 0.02)) << where.str();
      }
    }
  }
#endif
}
