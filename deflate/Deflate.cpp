// The Deflate engine's entry point: sets up the bit writer and the block builder and runs
// the match finder built for the chosen processor path (MatchFinderImpl.h).
#include "deflate/Deflate.h"

#include <cstdio>

#include "deflate/BitWriter.h"
#include "deflate/DeflateTables.h"
#include "deflate/HuffmanBlock.h"
#include "deflate/MatchFinder.h"

namespace {

std::string InvalidMatchMessage(int start, int match, int length) {
  char text[96];
  std::snprintf(text, sizeof text, "Start: %d, Match: %d, Length: %d", start, match, length);
  return text;
}

}  // namespace

EInvalidMatch::EInvalidMatch(int start, int match, int length)
    : Exception(InvalidMatchMessage(start, match, length)) {}

ECompressedSizeLimit::ECompressedSizeLimit()
    : Exception("Compressed data of an entry exceeds 4 GiB") {}

TDeflater::TDeflater() : path_(BestCpuPath()) {}
TDeflater::~TDeflater() = default;

uint64_t TDeflater::Deflate(TDeflateIO& io, TDeflateBuffers& buffers, int level,
                            TDeflateDecisions& decisions) {
  if (level < 1 || level > 9) throw Exception("Deflate level must be 1 to 9");
  if (!tables_) tables_ = std::make_unique<TDeflateTables>();
  TBitWriter writer(io);
  THuffmanBlock block(*tables_, buffers, writer, decisions, level);
  if (path_ == TCpuPath::Avx2Bmi2) {
    return matcher_avx2::RunMatchFinder(io, buffers, block, level, decisions);
  }
  return matcher_portable::RunMatchFinder(io, buffers, block, level, decisions);
}

void TDeflater::SetCpuPath(TCpuPath path) {
  if (!CpuPathAvailable(path)) throw Exception("This processor cannot run the chosen Deflate path");
  path_ = path;
}
