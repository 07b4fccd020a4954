#include "core/physics/cross_section.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

#include "core/numbers/elementary_functions.h"
#include "core/numbers/numeric.h"
#include "core/numbers/units.h"

namespace yex {
namespace {

// Gauss-Legendre, 8 nodes on [-1, 1].
constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                0.1012285362903763};

}  // namespace

double ComptonRatio(double cosTheta, double energyKeV) {
  return 1.0 / (1.0 + energyKeV / kElectronRestKeV * (1.0 - cosTheta));
}

bool DifferentialCrossSections(double x, double f, double s, double energyKeV, CrossSectionPair* out) {
  const double lambda = WavelengthFromEnergy(energyKeV);
  const double xl = x * lambda;
  if (!(xl >= 0.0 && xl <= 1.0)) return false;
  const double c = 1.0 - 2.0 * xl * xl;
  const double p = ComptonRatio(c, energyKeV);
  out->coh = kReSquaredBarn / 2.0 * (1.0 + c * c) * f * f;
  out->incoh = kReSquaredBarn / 2.0 * p * p * (p + 1.0 / p - (1.0 - c * c)) * s;
  return true;
}

bool IntegratedCrossSections(const TableLookup& t, double energyKeV, CrossSectionPair* out,
                             const char** why) {
  return CrossSectionTable(t).At(energyKeV, out, why);
}

namespace {

// Gauss-Legendre's eight nodes and weights on [lo, hi].
void GaussNodes(double lo, double hi, double x[8], double w[8]) {
  const double mid = 0.5 * (lo + hi), half = 0.5 * (hi - lo);
  for (int i = 0; i < 4; ++i) {
    x[2 * i] = mid - half * kNodes[i];
    x[2 * i + 1] = mid + half * kNodes[i];
    w[2 * i] = w[2 * i + 1] = half * kWeights[i];
  }
}

// [lo, hi] cut so that no part spans more than a factor 1.5 in x (the
// first piece, from 0, in four equal parts): Gauss's eight nodes on each
// reach 1e-12 for the smooth integrands between two rows.
template <typename F>
void ForEachPart(double lo, double hi, const F& part) {
  const int n = lo > 0 ? std::max(1, static_cast<int>(std::ceil(Ln(hi / lo) / Ln(1.5)))) : 4;
  double from = lo;
  for (int k = 1; k <= n; ++k) {
    const double to = k == n ? hi : lo > 0 ? lo * Exp(Ln(hi / lo) * k / n) : hi * k / n;
    part(from, to);
    from = to;
  }
}

// x^n for a small whole n, in a fixed order; with Ln and Exp (not the C
// library's), so that every front end gets the same bits.
inline double Power(double x, int n) {
  double r = 1;
  for (int i = 0; i < n; ++i) r *= x;
  return r;
}

// e^x − 1 without losing digits near 0: (u − 1)·x / ln u with u = e^x.
inline double ExpM1(double x) {
  const double u = Exp(x);
  if (u == 1.0) return x;
  const double um1 = u - 1.0;
  if (um1 == -1.0) return -1.0;
  return um1 * x / Ln(u);
}

// The Klein-Nishina factor of the incoherent integrand at u = λ²x²:
// P²(P + 1/P − sin²θ), P = 1/(1 + 2ku), sin²θ = 4u(1 − u).
inline double KleinNishinaFactor(double u, double k) {
  const double q = 1.0 + 2.0 * k * u, p = 1.0 / q;
  return p * p * (p + q - 4.0 * u * (1.0 - u));
}

// Chebyshev's points of the first kind for 13 terms, cos(π(j + ½)/13), as
// literals: the same on every platform.
constexpr int kTerms = 13;
constexpr double kChebyshev[kTerms] = {0.992708874098054,
                                       0.9350162426854148,
                                       0.8229838658936564,
                                       0.6631226582407953,
                                       0.4647231720437686,
                                       0.23931566428755804,
                                       0.0,
                                       -0.23931566428755804,
                                       -0.4647231720437686,
                                       -0.6631226582407953,
                                       -0.8229838658936564,
                                       -0.9350162426854148,
                                       -0.992708874098054};
constexpr double kSpanRatio = 1.2;
// A piece narrower than this in ln x takes Gauss's two nodes: the error,
// about h^4/4320 of the piece for h = ln(b/a), stays below 1e-12. No row
// pair of the file format's grid comes near it.
constexpr double kNarrowPiece = 0.005;
constexpr double kNode2 = 0.57735026918962576;  // 1/sqrt(3)
// A table of more rows than this integrates each energy directly: a series
// for each of its many short spans would cost more than it saves.
constexpr int kSeriesMaxRows = 1000;
// A series is kept when its last two terms, which bound what the omitted
// ones would add, stay below this part of its size.
constexpr double kSeriesTail = 1e-12;

// c₀/2 + Σ c_m T_m(t) for two series at once, by Clenshaw's recurrence.
inline CrossSectionPair Series(const double c[kTerms], const double d[kTerms], double t) {
  const double t2 = 2.0 * t;
  double b1 = 0, b2 = 0, e1 = 0, e2 = 0;
  for (int m = kTerms - 1; m >= 1; --m) {
    const double b0 = t2 * b1 - b2 + c[m], e0 = t2 * e1 - e2 + d[m];
    b2 = b1;
    b1 = b0;
    e2 = e1;
    e1 = e0;
  }
  return {t * b1 - b2 + c[0], t * e1 - e2 + d[0]};
}

// The series through values at kChebyshev; false when its tail is too large.
bool Fit(const double v[kTerms], double c[kTerms]) {
  double size = 0;
  for (int m = 0; m < kTerms; ++m) {
    double sum = 0;
    for (int j = 0; j < kTerms; ++j) {
      double t0 = 1, t1 = kChebyshev[j];  // T_m(s_j) by the recurrence
      for (int q = 0; q < m; ++q) {
        const double t2 = 2.0 * kChebyshev[j] * t1 - t0;
        t0 = t1;
        t1 = t2;
      }
      sum += v[j] * t0;
    }
    c[m] = sum * (m == 0 ? 1.0 : 2.0) / kTerms;
    size += std::fabs(c[m]);
  }
  return std::isfinite(size) && std::fabs(c[kTerms - 1]) + std::fabs(c[kTerms - 2]) <= kSeriesTail * size;
}

}  // namespace

struct CrossSectionTable::Spans {
  struct Span {
    std::atomic<int> state{0};  // 0 not built, 1 series, 2 Exact
    double coh[kTerms], incoh[kTerms];
  };
  std::vector<double> bounds;  // x at the spans' ends, ascending from row 2
  std::unique_ptr<Span[]> spans;
  std::mutex building;
};

void CrossSectionTable::PartialMoments(int i, double X, double m[3]) const {
  const TableLookup& t = table_;
  if (i == 2) {
    // F = F1 + (F2 − F1)·x²/x2²: F² a polynomial in x².
    const double f1 = t.f(1), d = t.f(2) - t.f(1), v = (X * X) / (t.x(2) * t.x(2));
    for (int k = 0; k < 3; ++k)
      m[k] = Power(X, 2 * k + 2) *
             (f1 * f1 / (2 * k + 2) + 2 * f1 * d * v / (2 * k + 4) + d * d * v * v / (2 * k + 6));
    return;
  }
  // F = Fa (x/a)^p: ∫ from a to X of x^(2k+1) F² dx = Fa² a^(2k+2) (e^(nL) − 1)/n,
  // n = 2k + 2 + 2p, L = ln(X/a).
  const double a = t.x(i - 1), fa = t.f(i - 1), l = Ln(X / a);
  for (int k = 0; k < 3; ++k) {
    const double n = 2 * k + 2 + 2 * pieces_[i].exponent;
    const double g = n == 0 ? l : ExpM1(n * l) / n;
    m[k] = fa * fa * Power(a, 2 * k + 2) * g;
  }
}

CrossSectionTable::CrossSectionTable(const TableLookup& table)
    : table_(table), pieces_(static_cast<std::size_t>(table.rows() + 1)) {
  const TableLookup& t = table_;
  const int rows = t.rows();
  if (t.x(1) != 0.0) {
    problem_ = "row 1 is not at x = 0";
    return;
  }
  for (int i = 2; i <= rows; ++i)
    if (!(t.x(i) > t.x(i - 1)) || !std::isfinite(t.x(i))) {
      problem_ = "the x column is not ascending";
      return;
    }
  double sum[3] = {0, 0, 0};
  for (int i = 2; i <= rows; ++i) {
    Piece& piece = pieces_[static_cast<std::size_t>(i)];
    const double a = t.x(i - 1), b = t.x(i);
    if (i == 2) {
      piece.usable = true;
    } else {
      const double mid = std::sqrt(a * b);
      double f = 0, sv = 0;
      t.BetweenMany(i, &mid, 1, &f, &sv);
      piece.usable = !std::isnan(f) && !std::isnan(sv) && t.f(i - 1) > 0 && t.f(i) > 0;
      if (piece.usable) piece.exponent = Ln(t.f(i) / t.f(i - 1)) / Ln(b / a);
    }
    piece.firstNode = nodeX2_.size();
    if (piece.usable) {
      double m[3];
      PartialMoments(i, b, m);
      for (int k = 0; k < 3; ++k) sum[k] += m[k];
      std::vector<double> x, w;
      if (i > 2 && Ln(b / a) < kNarrowPiece) {
        // Rows this close (a table on a fine grid of its own): two nodes
        // reach what eight do on a wider piece.
        const double mid = 0.5 * (a + b), half = 0.5 * (b - a);
        x = {mid - half * kNode2, mid + half * kNode2};
        w = {half, half};
      } else {
        ForEachPart(a, b, [&](double lo, double hi) {
          double px[8], pw[8];
          GaussNodes(lo, hi, px, pw);
          x.insert(x.end(), px, px + 8);
          w.insert(w.end(), pw, pw + 8);
        });
      }
      std::vector<double> f(x.size()), sv(x.size());
      if (i == 2)  // linear in x² from row 1 to row 2
        for (std::size_t j = 0; j < x.size(); ++j)
          sv[j] = t.s(1) + (t.s(2) - t.s(1)) * ((x[j] * x[j]) / (b * b));
      else
        t.BetweenMany(i, x.data(), x.size(), f.data(), sv.data());
      for (std::size_t j = 0; j < x.size(); ++j) {
        nodeX2_.push_back(x[j] * x[j]);
        nodeWeight_.push_back(w[j] * x[j] * sv[j]);
      }
    }
    piece.endNode = nodeX2_.size();
    for (int k = 0; k < 3; ++k) piece.moments[k] = sum[k];
  }
  if (rows > kSeriesMaxRows) return;
  spans_ = std::make_shared<Spans>();
  std::vector<double>& bounds = spans_->bounds;
  bounds.push_back(t.x(2));
  for (int i = 3; i <= rows; ++i) {
    const double a = t.x(i - 1), b = t.x(i), l = Ln(b / a);
    const int n = std::max(1, static_cast<int>(std::ceil(l / Ln(kSpanRatio))));
    for (int k = 1; k < n; ++k) bounds.push_back(a * Exp(l * k / n));
    bounds.push_back(b);
  }
  spans_->spans = std::make_unique<Spans::Span[]>(bounds.size() - 1);
}

bool CrossSectionTable::At(double energyKeV, CrossSectionPair* out, const char** why) const {
  if (!spans_ || !(energyKeV > 0.0) || !std::isfinite(energyKeV)) return Exact(energyKeV, out, why);
  const double xMax = 1.0 / WavelengthFromEnergy(energyKeV);
  const std::vector<double>& b = spans_->bounds;
  if (!(xMax > b.front() && xMax <= b.back())) return Exact(energyKeV, out, why);
  const std::size_t j =
      std::min<std::size_t>(std::upper_bound(b.begin(), b.end(), xMax) - b.begin(), b.size() - 1) - 1;
  Spans::Span& span = spans_->spans[j];
  int state = span.state.load(std::memory_order_acquire);
  if (state == 0) {
    const std::lock_guard<std::mutex> lock(spans_->building);
    state = span.state.load(std::memory_order_relaxed);
    if (state == 0) {
      const double mid = 0.5 * (b[j] + b[j + 1]), half = 0.5 * (b[j + 1] - b[j]);
      double coh[kTerms], incoh[kTerms];
      bool ok = true;
      for (int q = 0; q < kTerms && ok; ++q) {
        CrossSectionPair p;
        ok = Exact((mid + half * kChebyshev[q]) * kHcKeVAngstrom, &p);
        coh[q] = p.coh;
        incoh[q] = p.incoh;
      }
      state = ok && Fit(coh, span.coh) && Fit(incoh, span.incoh) ? 1 : 2;
      span.state.store(state, std::memory_order_release);
    }
  }
  if (state == 2) return Exact(energyKeV, out, why);
  const double t = (2.0 * xMax - (b[j] + b[j + 1])) / (b[j + 1] - b[j]);
  *out = Series(span.coh, span.incoh, t);
  return true;
}

bool CrossSectionTable::Exact(double energyKeV, CrossSectionPair* out, const char** why) const {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  if (!(energyKeV > 0.0) || !std::isfinite(energyKeV)) return fail("the energy must be positive");
  if (problem_) return fail(problem_);
  const TableLookup& t = table_;
  const double lambda = WavelengthFromEnergy(energyKeV);
  const double xMax = 1.0 / lambda;  // θ = 180°
  const int rows = t.rows();
  if (xMax > t.x(rows)) return fail("the energy reaches beyond the table's last row");
  const double l2 = lambda * lambda, k = energyKeV / kElectronRestKeV;
  // σ = 2π ∫ dσ/dΩ d(cos θ), cos θ = 1 − 2λ²x², d(cos θ) = −4λ²x dx:
  // σ_coh = 4π r_e² λ² ∫ x (2 − 4λ²x² + 4λ⁴x⁴) F² dx, σ_incoh = 4π r_e² λ² ∫ x K S dx.
  const double factor = 4.0 * kPi * kReSquaredBarn * l2;
  // Below about 1e-153 keV λ² has no double value.
  if (!std::isfinite(factor) || !(xMax > 0.0)) return fail("the energy is too low to integrate");
  const char* const unusable = "a pair of rows holds a value that is not positive";
  double m[3] = {0, 0, 0}, incoh = 0;
  int i = 2;
  for (; i <= rows && t.x(i) <= xMax; ++i) {
    if (!pieces_[i].usable) return fail(unusable);
    for (std::size_t j = pieces_[i].firstNode; j < pieces_[i].endNode; ++j)
      incoh += nodeWeight_[j] * KleinNishinaFactor(l2 * nodeX2_[j], k);
  }
  if (i > 2)
    for (int q = 0; q < 3; ++q) m[q] = pieces_[i - 1].moments[q];
  if (i <= rows && t.x(i - 1) < xMax) {
    // The last piece, up to 1/λ.
    if (!pieces_[i].usable) return fail(unusable);
    double part[3];
    PartialMoments(i, xMax, part);
    for (int q = 0; q < 3; ++q) m[q] += part[q];
    bool ok = true;
    ForEachPart(t.x(i - 1), xMax, [&](double lo, double hi) {
      double x[8], w[8], f[8], sv[8];
      GaussNodes(lo, hi, x, w);
      if (i == 2) {
        for (int j = 0; j < 8; ++j) sv[j] = t.s(1) + (t.s(2) - t.s(1)) * ((x[j] * x[j]) / (t.x(2) * t.x(2)));
      } else {
        t.BetweenMany(i, x, 8, f, sv);
      }
      for (int j = 0; j < 8; ++j) {
        ok = ok && !std::isnan(sv[j]);
        incoh += w[j] * x[j] * sv[j] * KleinNishinaFactor(l2 * x[j] * x[j], k);
      }
    });
    if (!ok) return fail(unusable);
  }
  const double coh = factor * (2.0 * m[0] - 4.0 * l2 * m[1] + 4.0 * l2 * l2 * m[2]);
  incoh *= factor;
  if (!std::isfinite(coh) || !std::isfinite(incoh)) return fail(unusable);
  *out = {coh, incoh};
  return true;
}

double KleinNishinaTotal(double energyKeV) {
  const double k = energyKeV / kElectronRestKeV;
  const double l = std::log1p(2.0 * k);
  return 2.0 * kPi * kReSquaredBarn *
         ((1.0 + k) / (k * k) * (2.0 * (1.0 + k) / (1.0 + 2.0 * k) - l / k) + l / (2.0 * k) -
          (1.0 + 3.0 * k) / ((1.0 + 2.0 * k) * (1.0 + 2.0 * k)));
}

std::string CrossSectionFailure(const std::string& file, double energyKeV, const std::string& why,
                                const TableLookup* table) {
  std::string rows;
  if (table)
    for (int i = 3; i <= table->rows() && rows.empty(); ++i)  // rows 1-2 have a rule of their own
      if (!table->PairUsable(i)) rows = " (" + table->PairProblem(i) + ")";
  return file + " at " + ShortestText(energyKeV) + " keV: " + why + rows;
}

}  // namespace yex
