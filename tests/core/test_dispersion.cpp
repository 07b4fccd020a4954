// f', f'' and photoabsorption between tabulated energies: closed forms the
// rules reproduce, the sides of an edge, and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>

#include "core/error.h"
#include "core/numbers/numeric.h"
#include "core/physics/attenuation.h"
#include "core/physics/dispersion.h"
#include "core/requests/request.h"
#include "core/shipped/chantler_tables.h"
#include "core/shipped/shipped_tables.h"
#ifdef YEX_HAVE_XRAYLIB
#include <xraylib.h>
#endif

using namespace yex;

namespace {

// f' = a + b ln E (linear in log E), f'' = c E^p, mu = d E^q (log-log).
struct Law {
  double a, b, c, p, d, q;
  DispersionValue At(double e) const { return {a + b * std::log(e), c * std::pow(e, p), d * std::pow(e, q)}; }
};

// A block of the data's text: rows from `laws` chosen per energy.
std::string Block(const std::vector<double>& energies, const std::function<Law(std::size_t)>& law,
                  const std::string& edges) {
  std::ostringstream out;
  out.precision(17);
  out << "Z 26 Fe " << energies.size() << edges << "\n";
  for (std::size_t i = 0; i < energies.size(); ++i) {
    const DispersionValue v = law(i).At(energies[i]);
    out << energies[i] << " " << v.fp << " " << v.fdp << " " << v.mu << "\n";
  }
  return out.str();
}

}  // namespace

TEST(Anomalous, ClosedFormsBetweenRowsAndEachSideOfAStep) {
  // Three laws: an edge at 30 between the rows 25 and 40, and one at 80,
  // which is listed twice (below and above).
  const Law a{-2, 0.7, 3, -2, 5, -2.5}, b{-9, 1.1, 40, -2.4, 700, -2.7}, c{-1, 0.2, 90, -2.1, 2000, -2.9};
  const std::vector<double> e{10, 20, 25, 40, 80, 80, 160, 320};
  const DispersionTable t = ParseDispersionBlock(Block(
      e, [&](std::size_t i) { return i < 3   ? a
                                     : i < 5 ? b
                                             : c; }, " 30"));
  // The interval 25-40 steps (mu falls, rises 20-fold, falls): each side
  // keeps its own row, the step at the listed energy 30. Elsewhere each
  // interval's own law.
  const struct {
    double energy;
    const Law* law;
    double row;  // the row whose values stand there, or 0 for the law at the energy
  } cases[] = {
      {10, &a, 0},    {14.142, &a, 0}, {25, &a, 0},    {29.999, &a, 25}, {30.001, &b, 40},
      {35, &b, 40},   {40, &b, 0},     {79.99, &b, 0}, {80, &c, 0},      {std::nextafter(80.0, 0.0), &c, 0},
      {80.01, &c, 0}, {200, &c, 0},    {320, &c, 0},  // at 80, the value above
  };
  ASSERT_EQ(t.steps.size(), 1u);
  EXPECT_EQ(t.steps[0].row, 2u);
  EXPECT_EQ(t.steps[0].energy, 30);
  for (const auto& k : cases) {
    const DispersionValue got = DispersionAt(t, k.energy), want = k.law->At(k.row ? k.row : k.energy);
    EXPECT_NEAR(got.fp, want.fp, 1e-12 * std::fabs(want.fp) + 1e-13) << k.energy;
    EXPECT_NEAR(got.fdp, want.fdp, 1e-12 * want.fdp) << k.energy;
    EXPECT_NEAR(got.mu, want.mu, 1e-12 * want.mu) << k.energy;
  }
  // Where f'' is 0 (below an ionisation threshold): linear in log E.
  const DispersionTable zero = ParseDispersionBlock("Z 1 H 3 1.5\n1 0 0.3 0.3\n2 0 0 0\n4 0 1 1\n");
  EXPECT_DOUBLE_EQ(DispersionAt(zero, 3).fdp, std::log(1.5) / std::log(2.0));
  EXPECT_DOUBLE_EQ(DispersionAt(zero, 1.9).fdp, 0.3 * (1 - std::log(1.9) / std::log(2.0)));
  EXPECT_DOUBLE_EQ(DispersionAt(zero, 1.4).mu, 0.3 * (1 - std::log(1.4) / std::log(2.0)));
  // Exactly the row at a tabulated energy, also a few units in the last place off.
  EXPECT_EQ(DispersionAt(t, std::nextafter(25.0, 0.0)).fdp, DispersionAt(t, 25).fdp);
  // Outside the table and above Z = 92: refused with the reason.
  for (const double outside : {9.999, 320.001, std::nan("")})
    EXPECT_THROW(DispersionAt(t, outside), Error) << outside;
  try {
    BuiltInDispersion().Table(93);
    ADD_FAILURE();
  } catch (const Error& err) {
    EXPECT_EQ(err.kind(), ErrorKind::OutOfRange);
    EXPECT_NE(std::string(err.what()).find("Np"), std::string::npos);
  }
  EXPECT_EQ(KevToEv(7.1128179), 7112.8179);
  EXPECT_EQ(KevToEv(1e-5), 1e-2);
  // Against strtod of the shortest text with its exponent moved: the
  // digits of np.linspace (17 of them), of every magnitude, and the
  // shortest decimals exact and halfway cases hide behind.
  std::mt19937_64 random(7);
  for (int i = 0; i < 200000; ++i) {
    const double kev = i % 2 ? std::ldexp(0.5 + std::uniform_real_distribution<double>()(random), i % 80 - 50)
                             : 1.0 + 99.0 * (i / 2) / 99999.0;
    std::string text = ShortestText(kev);
    const std::size_t e = text.find('e');
    const int exponent = 3 + (e == std::string::npos ? 0 : std::stoi(text.substr(e + 1)));
    text = text.substr(0, e) + "e" + std::to_string(exponent);
    ASSERT_EQ(KevToEv(kev), std::strtod(text.c_str(), nullptr)) << text;
  }
}

TEST(Anomalous, EveryIntervalOfEveryElementStaysWithinItsRows) {
  // Z = 1-92, every interval between two rows: at its middle and next to
  // either row, f', f'' and mu within the closed range of the two rows, and
  // outside a step f'' and mu log-log between them (written here apart
  // from the code); at every step f'' and mu rise.
  std::size_t intervals = 0, steps = 0;
  for (int z = 1; z <= 92; ++z) {
    const DispersionTable& t = BuiltInDispersion().Table(z);
    const std::vector<double>& x = t.energy;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
      if (!(x[i] < x[i + 1])) continue;
      ++intervals;
      const bool step =
          std::any_of(t.steps.begin(), t.steps.end(), [i](const auto& s) { return s.row == i; });
      for (const double e : {std::sqrt(x[i] * x[i + 1]), x[i] * (1 + 1e-9), x[i + 1] * (1 - 1e-9)}) {
        const DispersionValue v = DispersionAt(t, e);
        const auto within = [&](double got, double a, double b) {
          return got >= std::min(a, b) * (1 - 1e-12) - 1e-300 && got <= std::max(a, b) * (1 + 1e-12) + 1e-300;
        };
        ASSERT_TRUE(within(v.fdp, t.fdp[i], t.fdp[i + 1]) && within(v.mu, t.mu[i], t.mu[i + 1]))
            << t.symbol << " at " << e << " eV: " << v.fdp << " " << v.mu;
        ASSERT_TRUE(v.fp >= std::min(t.fp[i], t.fp[i + 1]) - 1e-12 * std::fabs(t.fp[i]) - 1e-12 &&
                    v.fp <= std::max(t.fp[i], t.fp[i + 1]) + 1e-12 * std::fabs(t.fp[i]) + 1e-12)
            << t.symbol << " f' at " << e;
        if (step || !(t.mu[i] > 0 && t.mu[i + 1] > 0 && t.fdp[i] > 0 && t.fdp[i + 1] > 0)) continue;
        const double s = std::log(e / x[i]) / std::log(x[i + 1] / x[i]);
        EXPECT_NEAR(v.mu, t.mu[i] * std::pow(t.mu[i + 1] / t.mu[i], s), 1e-12 * v.mu) << t.symbol << " " << e;
        EXPECT_NEAR(v.fdp, t.fdp[i] * std::pow(t.fdp[i + 1] / t.fdp[i], s), 1e-12 * v.fdp)
            << t.symbol << " " << e;
      }
    }
    for (const DispersionTable::Step& s : t.steps) {
      ++steps;
      const DispersionValue below = DispersionAt(t, s.energy * (1 - 1e-9)),
                            above = DispersionAt(t, s.energy * (1 + 1e-9));
      EXPECT_GT(above.mu, below.mu) << t.symbol << " step at " << s.energy;
      EXPECT_GE(above.fdp, below.fdp) << t.symbol << " step at " << s.energy;
    }
  }
  EXPECT_GT(intervals, 100000u);
  EXPECT_LT(steps, 40u);  // steps are rare: Chantler's rows resolve nearly every edge
}

// The mixture rule: a formula's and a mixture's values are the mass
// fractions times each element's; an element's coh and incoh are the
// cross sections per gram; the total against xraylib's (another compilation:
// within 5 % away from edges).
TEST(Attenuation, MixtureRuleAndTotalAgainstXraylib) {
  const double kev = 33.3;
  const AttenuationValue h = Attenuation(ElementMaterial("H"), Shipped(), BuiltInDispersion()).At(kev);
  const AttenuationValue o = Attenuation(ElementMaterial("o"), Shipped(), BuiltInDispersion()).At(kev);
  const double wh = 2 * 1.008 / (2 * 1.008 + 15.999);
  const AttenuationValue water = Attenuation(FormulaMaterial("H2O"), Shipped(), BuiltInDispersion()).At(kev);
  const AttenuationValue mix =
      Attenuation(MixtureMaterial({ParseMixtureEntry("H:11.19"), ParseMixtureEntry("o:88.81")}, "w"),
                  Shipped(), BuiltInDispersion())
          .At(kev);
  for (const auto& [got, w] : {std::pair{water, wh}, std::pair{mix, 0.1119}}) {
    EXPECT_NEAR(got.photo, w * h.photo + (1 - w) * o.photo, 1e-12 * got.photo);
    EXPECT_NEAR(got.coh, w * h.coh + (1 - w) * o.coh, 1e-12 * got.coh);
    EXPECT_NEAR(got.incoh, w * h.incoh + (1 - w) * o.incoh, 1e-12 * got.incoh);
    EXPECT_DOUBLE_EQ(got.total, got.photo + got.coh + got.incoh);
  }
  EXPECT_EQ(o.photo, DispersionAt(BuiltInDispersion().Table(8), KevToEv(kev)).mu);
  EXPECT_THROW(Attenuation(FormulaMaterial("NpO2"), Shipped(), BuiltInDispersion()), Error);
#ifdef YEX_HAVE_XRAYLIB
  for (const double e : {10.0, 20.0, 30.0, 40.0, 50.0, 60.0}) {
    const struct {
      Material m;
      double xraylib;
    } cases[] = {{ElementMaterial("Fe"), CS_Total(26, e, nullptr)},
                 {ElementMaterial("Pb"), CS_Total(82, e, nullptr)},
                 {FormulaMaterial("H2O"), CS_Total_CP("H2O", e, nullptr)}};
    for (const auto& c : cases)
      EXPECT_NEAR(Attenuation(c.m, Shipped(), BuiltInDispersion()).At(e).total / c.xraylib, 1, 0.05)
          << c.m.name << " at " << e << " keV";
  }
#endif
}
