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
namespace sse2 {
struct Ops {
  using Data = __m128i;
  using Mask = __m128i;
  static constexpr std::size_t kWidth = 16;
  static Data load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
  static Data splat(std::uint8_t byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
  static Mask eq(Data a, Data b) { return _mm_cmpeq_epi8(a, b); }
  static Mask atMost(Data a, Data b) { return _mm_cmpeq_epi8(_mm_min_epu8(a, b), a); }  // unsigned
  static Data andOf(Data a, Data b) { return _mm_and_si128(a, b); }
  static Mask orOf(Mask a, Mask b) { return _mm_or_si128(a, b); }
  static Mask none() { return _mm_setzero_si128(); }
  static std::uint32_t bits(Mask m) { return static_cast<std::uint32_t>(_mm_movemask_epi8(m)); }
};
}  // namespace sse2

ZAZIR_BEGIN_AVX2
namespace avx2 {
struct Ops {
  using Data = __m256i;
  using Mask = __m256i;
  static constexpr std::size_t kWidth = 32;
  static Data load(const char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  }
  static Data splat(std::uint8_t byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
  static Mask eq(Data a, Data b) { return _mm256_cmpeq_epi8(a, b); }
  static Mask atMost(Data a, Data b) { return _mm256_cmpeq_epi8(_mm256_min_epu8(a, b), a); }
  static Data andOf(Data a, Data b) { return _mm256_and_si256(a, b); }
  static Mask orOf(Mask a, Mask b) { return _mm256_or_si256(a, b); }
  static Mask none() { return _mm256_setzero_si256(); }
  static std::uint32_t bits(Mask m) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(m)); }
};
}  // namespace avx2
ZAZIR_END_AVX2
#endif

}  // namespace zazir::simd
