// Carry-less multiplication paths of CRC-32: 128-bit folding (PCLMULQDQ) and 512-bit folding
// (AVX-512 VPCLMULQDQ). Both keep four remainders; the wide path folds 256 bytes per step
// and hands its remainders to the 128-bit tail and reduction, so both end the same way.
#include "deflate/Crc32Paths.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace crc32_paths {

#if defined(__x86_64__)

bool ClmulAvailable() { return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1"); }

bool VclmulAvailable() {
  return ClmulAvailable() && __builtin_cpu_supports("avx512f") &&
         __builtin_cpu_supports("vpclmulqdq");
}

#define TAVELO_CLMUL __attribute__((target("pclmul,sse4.1")))
#define TAVELO_VCLMUL __attribute__((target("pclmul,sse4.1,avx512f,vpclmulqdq")))

namespace {

// Folding constants of the reflected polynomial 0xEDB88320. Folding a remainder forward by
// D bits multiplies its halves by (x^(D+32) mod P) and (x^(D-32) mod P), each bit-reflected
// over 32 bits and shifted left by one (so 33 bits wide). D = 512, 128 and 2048 below.
constexpr long long kFold512Lo = 0x154442bd4, kFold512Hi = 0x1c6e41596;
constexpr long long kFold128Lo = 0x1751997d0, kFold128Hi = 0x0ccaa009e;
constexpr long long kFold2048Lo = 0x11542778a, kFold2048Hi = 0x1322d1430;

TAVELO_CLMUL inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// x folded forward over the distance that k stands for, joined with the next data.
TAVELO_CLMUL inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Four remainders of consecutive 16-byte chunks, n bytes (a multiple of 16) still to come:
// fold on by 64 bytes, join the four, fold the last 16-byte chunks, and reduce to 32 bits
// (128 -> 64 bits, then 64 -> 32 bits, then a Barrett reduction with P and floor(x^64 / P)).
TAVELO_CLMUL inline uint32_t FinishClmul(__m128i x1, __m128i x2, __m128i x3, __m128i x4,
                                         const uint8_t* buf, size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(kFold512Hi, kFold512Lo);
  const __m128i k3k4 = _mm_set_epi64x(kFold128Hi, kFold128Lo);
  const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124);
  const __m128i poly = _mm_set_epi64x(0x1F7011641, 0x1DB710641);
  const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);
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
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(k3k4, x1, 0x01));
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k5, 0x00);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 4), x2);
  x2 = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), poly, 0x10), mask32);
  x2 = _mm_clmulepi64_si128(x2, poly, 0x00);
  x1 = _mm_xor_si128(x1, x2);
  return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

TAVELO_VCLMUL inline __m512i Load512(const uint8_t* p) { return _mm512_loadu_si512(p); }

// The pair (lo, hi) in each of the four 128-bit lanes. (Spelt out rather than with
// _mm512_broadcast_i32x4, and the lanes below taken with a full mask, because g++ 12's
// headers make those intrinsics warn of an uninitialised value.)
TAVELO_VCLMUL inline __m512i Broadcast(long long lo, long long hi) {
  return _mm512_set_epi64(hi, lo, hi, lo, hi, lo, hi, lo);
}

template <int Lane>
TAVELO_VCLMUL inline __m128i Lane128(__m512i z) {
  return _mm512_maskz_extracti32x4_epi32(0xF, z, Lane);
}

// Four 128-bit folds at once; the three-way XOR is one ternary-logic instruction (0x96).
TAVELO_VCLMUL inline __m512i Fold512(__m512i x, __m512i k, __m512i next) {
  return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(x, k, 0x00),
                                   _mm512_clmulepi64_epi128(x, k, 0x11), next, 0x96);
}

}  // namespace

TAVELO_CLMUL uint32_t UpdateByClmul(uint32_t reg, const uint8_t* buf, size_t n) {
  const __m128i x1 = _mm_xor_si128(Load(buf), _mm_cvtsi32_si128(static_cast<int>(reg)));
  return FinishClmul(x1, Load(buf + 16), Load(buf + 32), Load(buf + 48), buf + 64, n - 64);
}

// Four 512-bit remainders cover 256 consecutive bytes and are folded over 256 bytes per
// step: four independent multiply chains hide the multiplier's latency, and each
// instruction does the work of four 128-bit ones.
TAVELO_VCLMUL uint32_t UpdateByVclmul(uint32_t reg, const uint8_t* buf, size_t n) {
  const __m512i by2048 = Broadcast(kFold2048Lo, kFold2048Hi);
  const __m512i by512 = Broadcast(kFold512Lo, kFold512Hi);
  __m512i z1 = _mm512_xor_si512(Load512(buf),
                                _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(reg))));
  __m512i z2 = Load512(buf + 64), z3 = Load512(buf + 128), z4 = Load512(buf + 192);
  buf += 256;
  n -= 256;
  while (n >= 256) {
    z1 = Fold512(z1, by2048, Load512(buf));
    z2 = Fold512(z2, by2048, Load512(buf + 64));
    z3 = Fold512(z3, by2048, Load512(buf + 128));
    z4 = Fold512(z4, by2048, Load512(buf + 192));
    buf += 256;
    n -= 256;
  }
  // Join the four into one remainder of 64 consecutive bytes; its 16-byte lanes are the
  // four 128-bit remainders that the narrow path holds at this point.
  z1 = Fold512(z1, by512, z2);
  z1 = Fold512(z1, by512, z3);
  z1 = Fold512(z1, by512, z4);
  return FinishClmul(Lane128<0>(z1), Lane128<1>(z1), Lane128<2>(z1), Lane128<3>(z1), buf, n);
}

#undef TAVELO_VCLMUL
#undef TAVELO_CLMUL

#else

bool ClmulAvailable() { return false; }
bool VclmulAvailable() { return false; }
uint32_t UpdateByClmul(uint32_t reg, const uint8_t*, size_t) { return reg; }
uint32_t UpdateByVclmul(uint32_t reg, const uint8_t*, size_t) { return reg; }

#endif

}  // namespace crc32_paths
