// Many and BetweenMany: the scalar code, or the vector code of
// core/lookup/lookup_lanes.h compiled for each instruction set from that one
// source and chosen once, by what the processor runs.
//
// x86-64: SSE2 always, AVX2 and AVX-512 by function attributes (no flag
// for the whole file, so the file runs on any x86-64). Windows builds stop
// at SSE2: GCC there cannot align the stack for the wider registers.
// WebAssembly: SIMD128 when built with -msimd128, four lanes in two
// registers (measured faster than two: more independent work per step).
#include <algorithm>

#include "core/lookup/table_lookup.h"

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define YEX_LANES_X86 1
#if !defined(_WIN32)
#define YEX_LANES_WIDE 1
#endif
#endif
#if (defined(__GNUC__) || defined(__clang__)) && defined(__wasm_simd128__)
#define YEX_LANES_WASM 1
#endif

// The vector helpers pass wide vectors by value; each is inlined into the
// one function of its width, so no call crosses an ABI.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

#if defined(YEX_LANES_X86) || defined(YEX_LANES_WASM)
#define YEX_LANES_NAMESPACE base
#define YEX_LANES_TARGET
#include "core/lookup/lookup_lanes.h"
#undef YEX_LANES_NAMESPACE
#undef YEX_LANES_TARGET
#endif
#if defined(YEX_LANES_WIDE)
#define YEX_LANES_NAMESPACE avx2
#define YEX_LANES_TARGET __attribute__((target("avx2")))
#include "core/lookup/lookup_lanes.h"
#undef YEX_LANES_NAMESPACE
#undef YEX_LANES_TARGET
#define YEX_LANES_NAMESPACE avx512
#define YEX_LANES_TARGET __attribute__((target("avx512f,avx512dq")))
#include "core/lookup/lookup_lanes.h"
#undef YEX_LANES_NAMESPACE
#undef YEX_LANES_TARGET
#endif

namespace yex {
namespace {

using ManyFunction = void (*)(const TableLookup&, const double*, std::size_t, double*, double*);
using BetweenFunction = void (*)(const TableLookup&, int, const double*, std::size_t, double*, double*);

struct Kernel {
  ManyFunction many = nullptr;
  BetweenFunction between = nullptr;
};

// Each kernel's pair of entry points: the lanes' own functions, which carry
// their instruction set's target attribute.
template <class Lanes>
constexpr Kernel KernelOf() {
  return {&Lanes::Many, &Lanes::Between};
}

Kernel KernelFor(LookupKernel k) {
  switch (k) {
#if defined(YEX_LANES_X86)
    case LookupKernel::Sse2:
      return KernelOf<base::LookupLanes<2>>();
#endif
#if defined(YEX_LANES_WIDE)
    case LookupKernel::Avx2:
      return KernelOf<avx2::LookupLanes<4>>();
    case LookupKernel::Avx512:
      return KernelOf<avx512::LookupLanes<8>>();
#endif
#if defined(YEX_LANES_WASM)
    case LookupKernel::Simd128:
      return KernelOf<base::LookupLanes<4>>();
#endif
    default:
      return {};
  }
}

std::vector<LookupKernel> Detect() {
  std::vector<LookupKernel> out{LookupKernel::Scalar};
#if defined(YEX_LANES_X86)
  out.push_back(LookupKernel::Sse2);
#endif
#if defined(YEX_LANES_WIDE)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) out.push_back(LookupKernel::Avx2);
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq"))
    out.push_back(LookupKernel::Avx512);
#endif
#if defined(YEX_LANES_WASM)
  out.push_back(LookupKernel::Simd128);
#endif
  return out;
}

const Kernel& Best() {
  static const Kernel best = KernelFor(AvailableKernels().back());
  return best;
}

}  // namespace

const char* KernelName(LookupKernel kernel) {
  switch (kernel) {
    case LookupKernel::Sse2:
      return "sse2";
    case LookupKernel::Avx2:
      return "avx2";
    case LookupKernel::Avx512:
      return "avx512";
    case LookupKernel::Simd128:
      return "simd128";
    default:
      return "scalar";
  }
}

const std::vector<LookupKernel>& AvailableKernels() {
  static const std::vector<LookupKernel> kernels = Detect();
  return kernels;
}

void TableLookup::Many(const double* q, std::size_t n, double* f, double* s) const {
  if (const Kernel& k = Best(); k.many && LanesApply()) return k.many(*this, q, n, f, s);
  ManyScalar(q, n, f, s);
}

// A kernel this processor runs, or none.
static Kernel Available(LookupKernel kernel) {
  const auto& available = AvailableKernels();
  return std::find(available.begin(), available.end(), kernel) != available.end() ? KernelFor(kernel)
                                                                                  : Kernel{};
}

void TableLookup::Many(const double* q, std::size_t n, double* f, double* s, LookupKernel kernel) const {
  if (const Kernel k = Available(kernel); k.many && LanesApply()) return k.many(*this, q, n, f, s);
  ManyScalar(q, n, f, s);
}

void TableLookup::BetweenMany(int i, const double* q, std::size_t n, double* f, double* s) const {
  if (const Kernel& k = Best(); k.between) return k.between(*this, i, q, n, f, s);
  BetweenScalar(i, q, n, f, s);
}

void TableLookup::BetweenMany(int i, const double* q, std::size_t n, double* f, double* s,
                              LookupKernel kernel) const {
  if (const Kernel k = Available(kernel); k.between) return k.between(*this, i, q, n, f, s);
  BetweenScalar(i, q, n, f, s);
}

}  // namespace yex
