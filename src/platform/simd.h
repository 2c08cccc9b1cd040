// Vector operations on bytes for the scans that must keep up with reading
// a file: one set per instruction set, each with the same names, so that a
// loop written once (an included .inc file that uses `Ops`) is compiled for
// each. AVX2 code runs only where the processor has it; wrap the loops that
// use simd::avx2 in ZAZIR_BEGIN_AVX2 / ZAZIR_END_AVX2.
#pragma once

#include <cstddef>
#include <cstdint>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__) && \
    (defined(__GNUC__) || defined(__clang__))
#define ZAZIR_SIMD_X86 1
#include <immintrin.h>
#if defined(__clang__)
#define ZAZIR_BEGIN_AVX2 \
  _Pragma("clang attribute push (__attribute__((target(\"avx2\"))), apply_to = function)")
#define ZAZIR_END_AVX2 _Pragma("clang attribute pop")
#else
#define ZAZIR_BEGIN_AVX2 _Pragma("GCC push_options") _Pragma("GCC target(\"avx2\")")
#define ZAZIR_END_AVX2 _Pragma("GCC pop_options")
#endif
#endif

namespace zazir::simd {

// Data: bytes; Mask: their test results, 0xFF bytes where a test holds.
namespace portable {
struct Ops {
  using Data = std::uint8_t;
  using Mask = std::uint32_t;  // one byte's test result
  static constexpr std::size_t kWidth = 1;
  static Data load(const char* at) { return static_cast<std::uint8_t>(*at); }
  static Data splat(std::uint8_t byte) { return byte; }
  static Mask eq(Data a, Data b) { return a == b ? 1 : 0; }
  static Mask atMost(Data a, Data b) { return a <= b ? 1 : 0; }
  static Data andOf(Data a, Data b) { return static_cast<Data>(a & b); }
  static Mask andOf(Mask a, Mask b) { return a & b; }
  static Mask orOf(Mask a, Mask b) { return a | b; }
  static Mask none() { return 0; }
  static std::uint32_t bits(Mask m) { return m; }
};
}  // namespace portable

#ifdef ZAZIR_SIMD_X86
// SSE2 and AVX2 differ only in the width and the names' prefix and suffix
// (_mm_..._si128, _mm256_..._si256).
#define ZAZIR_X86_OPS(P, BITS)                                                                     \
  struct Ops {                                                                                     \
    using Data = __m##BITS##i;                                                                     \
    using Mask = __m##BITS##i;                                                                     \
    static constexpr std::size_t kWidth = BITS / 8;                                                \
    static Data load(const char* at) {                                                             \
      return P##_loadu_si##BITS(reinterpret_cast<const __m##BITS##i*>(at));                        \
    }                                                                                              \
    static Data splat(std::uint8_t byte) { return P##_set1_epi8(static_cast<char>(byte)); }        \
    static Mask eq(Data a, Data b) { return P##_cmpeq_epi8(a, b); }                                \
    /* unsigned */                                                                                 \
    static Mask atMost(Data a, Data b) { return P##_cmpeq_epi8(P##_min_epu8(a, b), a); }           \
    static Data andOf(Data a, Data b) { return P##_and_si##BITS(a, b); }                           \
    static Mask orOf(Mask a, Mask b) { return P##_or_si##BITS(a, b); }                             \
    static Mask none() { return P##_setzero_si##BITS(); }                                          \
    static std::uint32_t bits(Mask m) { return static_cast<std::uint32_t>(P##_movemask_epi8(m)); } \
  };

namespace sse2 {
ZAZIR_X86_OPS(_mm, 128)
}  // namespace sse2

ZAZIR_BEGIN_AVX2
namespace avx2 {
ZAZIR_X86_OPS(_mm256, 256)
}  // namespace avx2
ZAZIR_END_AVX2
#undef ZAZIR_X86_OPS
#endif

}  // namespace zazir::simd
