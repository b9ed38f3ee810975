#include "deflate/Crc32Paths.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace crc32_paths {

#if defined(__x86_64__)

bool ClmulAvailable() { return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1"); }

#define TAVELO_CLMUL __attribute__((target("pclmul,sse4.1")))

TAVELO_CLMUL inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// x folded forward over the distance that k stands for, joined with the next data.
TAVELO_CLMUL inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Folding constants of the reflected polynomial 0xEDB88320 (x^k mod P, bit-reflected):
// by 512 bits, by 128 bits, 64 to 32 bits, and the Barrett pair (P and floor(x^64 / P)).
TAVELO_CLMUL uint32_t UpdateByClmul(uint32_t reg, const uint8_t* buf, size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124);
  const __m128i poly = _mm_set_epi64x(0x1F7011641, 0x1DB710641);
  const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);

  __m128i x1 = _mm_xor_si128(Load(buf), _mm_cvtsi32_si128(static_cast<int>(reg)));
  __m128i x2 = Load(buf + 16), x3 = Load(buf + 32), x4 = Load(buf + 48);
  buf += 64;
  n -= 64;
  // Four independent remainders, each folded over 64 bytes per step.
  while (n >= 64) {
    x1 = Fold(x1, k1k2, Load(buf));
    x2 = Fold(x2, k1k2, Load(buf + 16));
    x3 = Fold(x3, k1k2, Load(buf + 32));
    x4 = Fold(x4, k1k2, Load(buf + 48));
    buf += 64;
    n -= 64;
  }
  x1 = Fold(x1, k3k4, x2);
  x1 = Fold(x1, k3k4, x3);
  x1 = Fold(x1, k3k4, x4);
  while (n >= 16) {
    x1 = Fold(x1, k3k4, Load(buf));
    buf += 16;
    n -= 16;
  }
  // 128 -> 64 bits, then 64 -> 32 bits, then the Barrett reduction.
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(k3k4, x1, 0x01));
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k5, 0x00);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 4), x2);
  x2 = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), poly, 0x10), mask32);
  x2 = _mm_clmulepi64_si128(x2, poly, 0x00);
  x1 = _mm_xor_si128(x1, x2);
  return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

#undef TAVELO_CLMUL

#else

bool ClmulAvailable() { return false; }
uint32_t UpdateByClmul(uint32_t reg, const uint8_t*, size_t) { return reg; }

#endif

}  // namespace crc32_paths
