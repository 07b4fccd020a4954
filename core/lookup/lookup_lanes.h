// TableLookup's arithmetic on W points at once, written once with the
// compiler's generic vectors (GCC and clang) and included by
// core/lookup/table_lookup_many.cpp once per instruction set: inside the
// namespace YEX_LANES_NAMESPACE, every function marked YEX_LANES_TARGET
// (a target attribute: a helper compiled for the default target would
// have its comparisons split into scalar ones before it is inlined).
//
// Each lane runs the scalar code's operations in the scalar code's order
// (the same IEEE additions, multiplications and divisions, with the same
// constants from core/numbers/elementary_constants.h), so a lane's result is the
// scalar result bit for bit. Integer steps (the row search, the exponent
// and table index of Exp, the scaling by 2^m) become lane-wise integer
// operations on the doubles' bits. A lane the vector code does not cover
// (a point out of range, a row's own x, an unusable pair, an exponent
// beyond the normal range) is finished by the scalar code.
//
// Only for translation units built with -ffp-contract=off: a fused
// multiply-add in any lane would change its rounding.
#if !defined(YEX_LANES_TYPES)
#define YEX_LANES_TYPES 1

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "core/lookup/table_lookup.h"
#include "core/numbers/elementary_constants.h"

namespace yex {

// W doubles; I: what a comparison of two gives (64-bit lanes, all ones
// where true); U: 64-bit unsigned lanes. Spelled out per width: GCC does
// not take a vector size that depends on a template argument.
template <int W>
struct LaneTypes;
#define YEX_LANE_TYPES(W)                                        \
  template <>                                                    \
  struct LaneTypes<W> {                                          \
    typedef double D __attribute__((vector_size(8 * W)));        \
    typedef decltype(D{} < D{}) I;                               \
    typedef std::uint64_t U __attribute__((vector_size(8 * W))); \
  };
YEX_LANE_TYPES(2)
YEX_LANE_TYPES(4)
YEX_LANE_TYPES(8)
#undef YEX_LANE_TYPES

}  // namespace yex
#endif

#define YEX_LANES_INLINE __attribute__((always_inline)) YEX_LANES_TARGET inline

namespace yex {
namespace YEX_LANES_NAMESPACE {

template <int W>
struct LookupLanes {
  typedef typename yex::LaneTypes<W>::D D;
  typedef typename yex::LaneTypes<W>::I I;
  typedef typename yex::LaneTypes<W>::U U;

  // Lane by lane with constant lane numbers: a lane chosen at run time
  // would send the vector through memory.
  using Lanes = std::make_index_sequence<W>;
  template <std::size_t... L>
  static YEX_LANES_INLINE D SplatOf(double v, std::index_sequence<L...>) {
    return D{(static_cast<void>(L), v)...};
  }
  template <std::size_t... L>
  static YEX_LANES_INLINE I SplatIOf(std::int64_t v, std::index_sequence<L...>) {
    return I{(static_cast<void>(L), v)...};
  }
  template <std::size_t... L>
  static YEX_LANES_INLINE D GatherOf(const double* base, I index, std::index_sequence<L...>) {
    return D{base[index[L]]...};
  }
  template <std::size_t... L>
  static YEX_LANES_INLINE bool AnyOf(I m, std::index_sequence<L...>) {
    return (m[L] | ...) != 0;
  }
  static YEX_LANES_INLINE D Splat(double v) { return SplatOf(v, Lanes{}); }
  static YEX_LANES_INLINE I SplatI(std::int64_t v) { return SplatIOf(v, Lanes{}); }
  static YEX_LANES_INLINE D Gather(const double* base, I index) { return GatherOf(base, index, Lanes{}); }
  static YEX_LANES_INLINE bool Any(I m) { return AnyOf(m, Lanes{}); }
  // Four lanes in WebAssembly load pairs too (measured 12 % faster there;
  // no faster with AVX2, where the lanes' loads stay).
#if defined(__wasm__)
  static constexpr bool kPairLoads4 = true;
#else
  static constexpr bool kPairLoads4 = false;
#endif
  // The doubles at base[stride * index + k] and the one after, per lane.
  // Two lanes (and four in WebAssembly) load each pair at once and sort
  // the halves.
  template <int Stride>
  static YEX_LANES_INLINE void GatherPair(const double* base, I index, int k, D* first, D* second) {
    if constexpr (W == 2) {
      const D a = Load(base + Stride * index[0] + k), b = Load(base + Stride * index[1] + k);
      *first = __builtin_shufflevector(a, b, 0, 2);
      *second = __builtin_shufflevector(a, b, 1, 3);
    } else if constexpr (W == 4 && kPairLoads4) {
      typedef typename LaneTypes<2>::D D2;
      D2 a, b, c, d;
      std::memcpy(&a, base + Stride * index[0] + k, sizeof a);
      std::memcpy(&b, base + Stride * index[1] + k, sizeof b);
      std::memcpy(&c, base + Stride * index[2] + k, sizeof c);
      std::memcpy(&d, base + Stride * index[3] + k, sizeof d);
      *first = __builtin_shufflevector(__builtin_shufflevector(a, b, 0, 2),
                                       __builtin_shufflevector(c, d, 0, 2), 0, 1, 2, 3);
      *second = __builtin_shufflevector(__builtin_shufflevector(a, b, 1, 3),
                                        __builtin_shufflevector(c, d, 1, 3), 0, 1, 2, 3);
    } else {
      const I at = index * Stride + k;
      *first = Gather(base, at);
      *second = Gather(base + 1, at);
    }
  }
  // Rows' fields k and k + 1 for each lane's row: from the records with
  // two lanes, else from the columns (a load a lane either way, with no
  // index arithmetic).
  static YEX_LANES_INLINE void RowPair(const TableLookup& t, I row, int k, D* first, D* second) {
    if constexpr (W == 2 || (W == 4 && kPairLoads4)) {
      GatherPair<TableLookup::kLaneFields>(t.laneRows(), row, k, first, second);
    } else {
      *first = Gather(t.laneColumns() + k * (t.rows() + 1), row);
      *second = Gather(t.laneColumns() + (k + 1) * (t.rows() + 1), row);
    }
  }
  static YEX_LANES_INLINE D Load(const double* p) {
    D r;
    std::memcpy(&r, p, sizeof r);
    return r;
  }
  static YEX_LANES_INLINE void Store(double* p, D v) { std::memcpy(p, &v, sizeof v); }
  // A cast between vectors of one size keeps the bits.
  static YEX_LANES_INLINE D AsD(I v) { return (D)v; }
  static YEX_LANES_INLINE I AsI(D v) { return (I)v; }
  // An integer of magnitude below 2^51 as a double, exactly: the bits of
  // 1.5 * 2^52 + k less 1.5 * 2^52.
  static constexpr std::int64_t kShiftBits = 0x4338000000000000;
  static constexpr double kShift = 0x1.8p52;

  // Ln for lanes holding positive normal numbers (the lookup's range),
  // with Ln's three cases chosen lane by lane.
  static YEX_LANES_INLINE D Ln(D x) {
    using namespace elementary;
    I u = AsI(x);
    I hx = u >> 32;
    I k = (hx >> 20) - 1023;
    hx &= 0x000fffff;
    const I i = (hx + 0x95f64) & 0x100000;
    u = ((hx | (i ^ 0x3ff00000)) << 32) | (u & 0xffffffff);
    k += i >> 20;
    const D f = AsD(u) - 1.0;
    const D dk = AsD(k + kShiftBits) - kShift;
    const D s = f / (2.0 + f);
    const D z = s * s;
    const D w = z * z;
    const D t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
    const D t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
    const D r = t2 + t1;
    const D hfsq = 0.5 * f * f;
    const D general = dk * kLn2Hi - ((hfsq - (s * (hfsq + r) + dk * kLn2Lo)) - f);
    // |f| < 2^-20, and f = 0.
    const D rs = f * f * (0.5 - 0.33333333333333333 * f);
    const D small = dk * kLn2Hi - ((rs - dk * kLn2Lo) - f);
    const D exact = dk * kLn2Hi + dk * kLn2Lo;
    const I isSmall = (0x000fffff & (2 + hx)) < 3;
    return Select(isSmall, Select(f == 0.0, exact, small), general);
  }

  // Whether Exp(x) takes its common path: 2^m a normal number. Beyond
  // these bounds (|m| about 1021) a lane goes to the scalar code.
  static YEX_LANES_INLINE I ExpCommon(D x) { return (x > -707.0) & (x < 709.0); }

  // Exp for lanes where ExpCommon holds.
  static YEX_LANES_INLINE D Exp(D x) {
    using namespace elementary;
    const D shifted = x * kInvLn2By128 + kShift;
    const D kd = shifted - kShift;
    const D r = (x - kd * kLn2By128Hi) - kd * kLn2By128Lo;
    const I k = AsI(shifted) - kShiftBits;
    const I j = k & 127;
    const D p = r + r * r * (0.5 + r * (1.0 / 6.0 + r * (1.0 / 24.0 + r * (1.0 / 120.0))));
    D hi, lo;
    GatherPair<2>(&kExp2Table[0][0], j, 0, &hi, &lo);
    const D y = hi + (lo + hi * p);
    // (k - j) is 128 m: shifted by 45 it is m in the exponent's place.
    const U scale = ((U)(k - j) << 45) + (std::uint64_t{1023} << 52);
    return y * (D)scale;
  }

  static YEX_LANES_INLINE D Select(I m, D a, D b) { return AsD((m & AsI(a)) | (~m & AsI(b))); }
  static YEX_LANES_INLINE I SelectI(I m, I a, I b) { return (m & a) | (~m & b); }

  // W points of TableLookup::Many.
  static YEX_LANES_INLINE void ManyBlock(const TableLookup& t, const double* qp, double* fp, double* sp) {
    const D q = Load(qp);
    // The row: 2 + the count of search keys below q, one comparison a key
    // (the keys ascend, so the count is the binary search's answer; the
    // lanes' loads of a search cost more). A comparison gives -1.
    const double* key = t.searchKeys();
    I below = SplatI(0);
    for (int j = 0; j < TableRowCount - 1; ++j) below -= Splat(key[j]) < q;
    const I i = below + 2;
    const I past = i > TableRowCount;
    const I row = SelectI(past, SplatI(TableRowCount), i);

    // An unusable pair's dx is NaN, which fails ExpCommon.
    D lx, x, lf, df, ls, ds, dx, pad;
    RowPair(t, row, TableLookup::kLnX, &lx, &x);
    RowPair(t, row, TableLookup::kLnF, &lf, &df);
    RowPair(t, row, TableLookup::kLnS, &ls, &ds);
    RowPair(t, row, TableLookup::kLaneDx, &dx, &pad);
    const D lq = Ln(q);
    const D argF = lf - df * (lx - lq) / dx;
    const D argS = ls - ds * (lx - lq) / dx;
    const I inRange = (q >= LookupMinX) & (q <= LookupMaxX);
    const I common = inRange & ~past & ~(x == q) & ExpCommon(argF) & ExpCommon(argS);
    Store(fp, Exp(argF));
    Store(sp, Exp(argS));
    if (Any(~common))
      for (int l = 0; l < W; ++l)
        if (!common[l]) Finish(t(qp[l]), fp + l, sp + l);
  }

  static YEX_LANES_INLINE void Finish(const LookupResult& r, double* f, double* s) {
    *f = r.inRange ? r.f : std::numeric_limits<double>::quiet_NaN();
    *s = r.inRange ? r.s : std::numeric_limits<double>::quiet_NaN();
  }

  static YEX_LANES_INLINE void Many(const TableLookup& t, const double* q, std::size_t n, double* f,
                                    double* s) {
    std::size_t k = 0;
    for (; k + W <= n; k += W) ManyBlock(t, q + k, f + k, s + k);
    for (; k < n; ++k) Finish(t(q[k]), f + k, s + k);
  }

  // TableLookup::BetweenMany: the pair is fixed, so there is no search.
  static YEX_LANES_INLINE void Between(const TableLookup& t, int i, const double* q, std::size_t n, double* f,
                                       double* s) {
    std::size_t k = 0;
    const double* r = t.laneRows() + std::size_t(i) * TableLookup::kLaneFields;
    if (r[TableLookup::kLaneDx] == r[TableLookup::kLaneDx]) {
      const D lx = Splat(r[TableLookup::kLnX]), lf = Splat(r[TableLookup::kLnF]),
              ls = Splat(r[TableLookup::kLnS]), dx = Splat(r[TableLookup::kLaneDx]),
              df = Splat(r[TableLookup::kDF]), ds = Splat(r[TableLookup::kDS]);
      for (; k + W <= n; k += W) {
        const D lq = Ln(Load(q + k));
        const D argF = lf - df * (lx - lq) / dx;
        const D argS = ls - ds * (lx - lq) / dx;
        // Ln's lanes need a positive normal number.
        const D qv = Load(q + k);
        const I common = (qv >= 0x1p-1022) & (qv <= std::numeric_limits<double>::max()) & ExpCommon(argF) &
                         ExpCommon(argS);
        Store(f + k, Exp(argF));
        Store(s + k, Exp(argS));
        if (Any(~common))
          for (int l = 0; l < W; ++l)
            if (!common[l]) Finish(t.Between(i, q[k + l]), f + k + l, s + k + l);
      }
    }
    for (; k < n; ++k) Finish(t.Between(i, q[k]), f + k, s + k);
  }
};

}  // namespace YEX_LANES_NAMESPACE
}  // namespace yex

#undef YEX_LANES_INLINE
