// The match finder for any processor.
#define TAVELO_MATCHER_NS matcher_portable
#include "deflate/MatchFinderImpl.h"

#include "deflate/MatchFinder.h"

uint64_t matcher_portable::RunMatchFinder(TDeflateIO& io, TDeflateBuffers& buffers,
                                          THuffmanBlock& block, int level,
                                          TDeflateDecisions& decisions) {
  return TMatchFinder(io, buffers, block, level, decisions).Run();
}
