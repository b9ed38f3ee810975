// The parallel entry compressor on its own: each job's recorded writes are the engine's
// output for the file, its reads add up to the file with the file's CRC, a file that
// cannot be opened is reported as such, and jobs passed over (even one stopped on its full
// queue) are dropped without holding up the rest or the end.
#include "zip/ParallelDeflate.h"

#include <gtest/gtest.h>

#include "deflate/Crc32.h"
#include "deflate/Deflate.h"
#include "deflate/testing/Corpus.h"
#include "deflate/testing/MemoryIO.h"
#include "platform/testing/TempDir.h"

using platform::testing::TempDir;

namespace {

struct TReplayed {
  std::string written;
  uint64_t read = 0;
  size_t largestBatch = 0;
};

// The path of the job for listIndex, or a name no job has.
std::string PathOf(const std::vector<TParallelDeflater::TJob>& jobs, int listIndex) {
  for (const auto& job : jobs)
    if (job.listIndex == listIndex) return job.path;
  return "none";
}

TReplayed Replay(TParallelDeflater& parallel) {
  TReplayed r;
  TParallelDeflater::TBatch batch;
  while (parallel.TakeBatch(batch)) {
    r.largestBatch = std::max(r.largestBatch, batch.bytes.size());
    size_t at = 0;
    for (const uint32_t op : batch.ops) {
      if (op & TParallelDeflater::TBatch::kWrite) {
        const size_t n = op & ~TParallelDeflater::TBatch::kWrite;
        r.written.append(reinterpret_cast<const char*>(batch.bytes.data()) + at, n);
        at += n;
      } else {
        r.read += op;
      }
    }
    EXPECT_EQ(at, batch.bytes.size());
  }
  return r;
}

void ExpectEngineOutput(TParallelDeflater& parallel, const std::string& input, int level) {
  const TReplayed r = Replay(parallel);
  const TParallelDeflater::TOutcome& outcome = parallel.Outcome();
  ASSERT_TRUE(outcome.opened);
  ASSERT_FALSE(outcome.error);
  TDeflater deflater;
  TDeflateBuffers buffers;
  deflate_testing::TMemoryIO io(input);
  TDeflateDecisions decisions;
  const uint64_t size = deflater.Deflate(io, buffers, level, decisions);
  EXPECT_TRUE(r.written == io.output);
  EXPECT_EQ(outcome.compressedSize, size);
  EXPECT_EQ(r.read, input.size());
  EXPECT_EQ(outcome.crc, io.crc);
  EXPECT_EQ(outcome.decisions.CompressionMethod, decisions.CompressionMethod);
  EXPECT_EQ(outcome.decisions.InternalAttributes, decisions.InternalAttributes);
  EXPECT_EQ(outcome.decisions.GeneralFlags, decisions.GeneralFlags);
  // A batch is handed over once it reaches kBatchBytes; one write adds at most 65535.
  EXPECT_LT(r.largestBatch, TParallelDeflater::kBatchBytes + 65536);
}

TEST(ParallelDeflate, JobsReplayTheEngineInListOrder) {
  TempDir dir;
  const std::string gerber = deflate_testing::GerberText(300000, 1);
  // Random bytes do not shrink: more than a job's queue holds, so its worker stops.
  const std::string random = deflate_testing::RandomBytes(TParallelDeflater::kEntryQueueBytes + 200000, 2);
  const std::string text = deflate_testing::Text(100000, 3);
  std::vector<TParallelDeflater::TJob> jobs = {{0, dir.Write("a.GTL", gerber)},
                                               {2, dir / "missing"},
                                               {3, dir.Write("big.bin", random)},
                                               {5, dir.Write("c.txt", text)},
                                               {6, dir.Write("d.bin", random)}};
  {
    TParallelDeflater parallel(jobs, 2, 6);
    EXPECT_FALSE(parallel.Select(-1, PathOf(jobs, -1)));
    ASSERT_TRUE(parallel.Select(0, PathOf(jobs, 0)));
    ExpectEngineOutput(parallel, gerber, 6);
    EXPECT_FALSE(parallel.Select(1, PathOf(jobs, 1)));
    ASSERT_TRUE(parallel.Select(2, PathOf(jobs, 2)));
    TParallelDeflater::TBatch batch;
    EXPECT_FALSE(parallel.TakeBatch(batch));
    EXPECT_FALSE(parallel.Outcome().opened);
    EXPECT_FALSE(parallel.Select(5, jobs[0].path)) << "not the file of the job";
    ASSERT_TRUE(parallel.Select(6, PathOf(jobs, 6)));  // jobs 3 and 5 are dropped, wherever their workers are
    // Job 6 is taken part way and left with its queue full; the end stops its worker.
    TParallelDeflater::TBatch first;
    EXPECT_TRUE(parallel.TakeBatch(first));
  }
  {
    TParallelDeflater parallel(jobs, 3, 1);
    ASSERT_TRUE(parallel.Select(3, PathOf(jobs, 3)));
    ExpectEngineOutput(parallel, random, 1);
    ASSERT_TRUE(parallel.Select(5, PathOf(jobs, 5)));
    ExpectEngineOutput(parallel, text, 1);
    ASSERT_TRUE(parallel.Select(6, PathOf(jobs, 6)));
    ExpectEngineOutput(parallel, random, 1);
    EXPECT_FALSE(parallel.Select(7, PathOf(jobs, 7)));
  }
}

}  // namespace
