// The match finder compiled for x86-64 processors with AVX2 and BMI2: every function of
// MatchFinderImpl.h gets the target attribute (shift and bit-count instructions of BMI2,
// 32-byte compares in MatchLength, wider vectors in the table slide). Headers included
// before the attribute region keep the plain target, so no shared inline function is
// ever built for AVX2 and then run on a processor without it.
#include <cstdint>
#include <cstring>

#include "deflate/Deflate.h"
#include "deflate/DeflateTables.h"
#include "deflate/HuffmanBlock.h"
#include "deflate/MatchFinder.h"

#if defined(__x86_64__)
#include <immintrin.h>

#define TAVELO_MATCHER_NS matcher_avx2
#define TAVELO_MATCHER_AVX2 1
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,bmi,bmi2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,bmi,bmi2")
#endif

#include "deflate/MatchFinderImpl.h"

uint64_t matcher_avx2::RunMatchFinder(TDeflateIO& io, TDeflateBuffers& buffers,
                                      THuffmanBlock& block, int level,
                                      TDeflateDecisions& decisions) {
  return TMatchFinder(io, buffers, block, level, decisions).Run();
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else  // not x86-64: never called, CpuPathAvailable says so

uint64_t matcher_avx2::RunMatchFinder(TDeflateIO&, TDeflateBuffers&, THuffmanBlock&, int,
                                      TDeflateDecisions&) {
  throw Exception("The AVX2 match finder needs an x86-64 processor");
}

#endif
