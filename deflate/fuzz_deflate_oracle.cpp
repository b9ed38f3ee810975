// Fuzzes the fast engine against the reference engine: same bytes, sizes, decisions and
// sink batches for any input. The first bytes choose the level, the read size and how
// often the data are tiled (so that long inputs slide the window), and which processor
// path of the match finder runs (the portable one, or the fastest this processor has).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "deflate/Deflate.h"
#include "deflate/testing/MemoryIO.h"
#include "deflate/testing/ReferenceDeflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int level = 1 + data[0] % 9;
  const bool portable = (data[0] / 9) % 2 == 1;
  static const unsigned kReads[] = {0xFFFFFFFFu, 0xFFFFFFFFu, 1, 7, 261, 262, 4096, 40000};
  const unsigned maxRead = kReads[data[1] % 8];
  const unsigned tiles = 1 + data[2] % 64;
  const std::string piece(reinterpret_cast<const char*>(data + 3), size - 3);
  std::string input;
  for (unsigned t = 0; t < tiles && input.size() < 400000; ++t) {
    input += piece;
    // Vary every tile a little so that tiles are not exact copies of each other.
    if (!input.empty()) input[input.size() - 1 - (t * 131) % input.size()] ^= static_cast<char>(t);
  }

  static TDeflateBuffers buffers;
  static TDeflater fastest;
  static TDeflater portablePath;
  portablePath.SetCpuPath(TCpuPath::Portable);
  TDeflater& deflater = portable ? portablePath : fastest;
  static reference::TReferenceDeflater ref;
  deflate_testing::TMemoryIO fastIO(input, maxRead), refIO(input, maxRead);
  TDeflateDecisions fastDec, refDec;
  const uint64_t fastSize = deflater.Deflate(fastIO, buffers, level, fastDec);
  const uint64_t refSize = ref.Deflate(refIO, level, refDec);
  if (fastSize != refSize || fastIO.output != refIO.output || fastIO.writes != refIO.writes ||
      fastSize != fastIO.output.size() || fastDec.CompressionMethod != refDec.CompressionMethod ||
      fastDec.InternalAttributes != refDec.InternalAttributes ||
      fastDec.GeneralFlags != refDec.GeneralFlags || fastIO.crc != refIO.crc) {
    std::abort();
  }
  return 0;
}
