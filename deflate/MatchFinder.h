// The entry points of the two builds of the match finder (MatchFinderImpl.h): each reads
// the whole entry through io, feeds block and returns the entry's compressed size.
#pragma once

#include <cstdint>

#include "deflate/DeflateBuffers.h"
#include "deflate/DeflateIO.h"

class THuffmanBlock;

namespace matcher_portable {
uint64_t RunMatchFinder(TDeflateIO& io, TDeflateBuffers& buffers, THuffmanBlock& block,
                        int level, TDeflateDecisions& decisions);
}

// REQUIRES: CpuPathAvailable(TCpuPath::Avx2Bmi2).
namespace matcher_avx2 {
uint64_t RunMatchFinder(TDeflateIO& io, TDeflateBuffers& buffers, THuffmanBlock& block,
                        int level, TDeflateDecisions& decisions);
}
