// The processor paths of the match finder: each one forced in turn gives the same bytes,
// batches and decisions (the default path is held to the reference engine
// by Deflate_test.cpp), and the fastest available path is the default.
#include "deflate/CpuPath.h"

#include <gtest/gtest.h>

#include "deflate/Deflate.h"
#include "deflate/testing/Corpus.h"
#include "deflate/testing/MemoryIO.h"

namespace {

struct TRun {
  std::string bytes;
  std::vector<size_t> writes;
  uint64_t size = 0;
  TDeflateDecisions decisions;
};

TRun RunPath(TCpuPath path, TDeflateBuffers& buffers, const std::string& input, int level) {
  TDeflater deflater;
  deflater.SetCpuPath(path);
  EXPECT_EQ(deflater.CpuPath(), path);
  deflate_testing::TMemoryIO io(input);
  TRun run;
  run.size = deflater.Deflate(io, buffers, level, run.decisions);
  run.bytes = io.output;
  run.writes = io.writes;
  return run;
}

// One level of each kind of loop: greedy without and with the extra chains (1, 3), lazy
// with short and long walks (4, 6, 9). The corpus without its largest input keeps the
// sanitized run short; the oracle fuzzer also runs both paths against the reference.
TEST(CpuPath, PortableAndAvx2PathsGiveTheSameBytes) {
  if (!CpuPathAvailable(TCpuPath::Avx2Bmi2)) GTEST_SKIP() << "no AVX2 and BMI2 here";
  const auto corpus = deflate_testing::StandardCorpus();
  TDeflateBuffers portableBuffers, fastBuffers;
  for (int level : {1, 3, 4, 6, 9}) {
    for (const auto& [name, input] : corpus) {
      if (input.size() > 512 * 1024) continue;
      const TRun portable = RunPath(TCpuPath::Portable, portableBuffers, input, level);
      const TRun fast = RunPath(TCpuPath::Avx2Bmi2, fastBuffers, input, level);
      const std::string what = name + " at level " + std::to_string(level);
      ASSERT_TRUE(portable.bytes == fast.bytes) << what;
      EXPECT_EQ(portable.writes, fast.writes) << what;
      EXPECT_EQ(portable.size, fast.size) << what;
      EXPECT_EQ(portable.decisions.CompressionMethod, fast.decisions.CompressionMethod) << what;
      EXPECT_EQ(portable.decisions.InternalAttributes, fast.decisions.InternalAttributes) << what;
      EXPECT_EQ(portable.decisions.GeneralFlags, fast.decisions.GeneralFlags) << what;
    }
  }
}

TEST(CpuPath, TheFastestAvailablePathIsTheDefault) {
  EXPECT_TRUE(CpuPathAvailable(TCpuPath::Portable));
  const TCpuPath expected =
      CpuPathAvailable(TCpuPath::Avx2Bmi2) ? TCpuPath::Avx2Bmi2 : TCpuPath::Portable;
  EXPECT_EQ(BestCpuPath(), expected);
  EXPECT_EQ(TDeflater().CpuPath(), expected);
  if (!CpuPathAvailable(TCpuPath::Avx2Bmi2)) {
    TDeflater deflater;
    EXPECT_THROW(deflater.SetCpuPath(TCpuPath::Avx2Bmi2), Exception);
  }
}

}  // namespace
