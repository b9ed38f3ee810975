// The zip run's new files in FilesList order, with the Deflate work done ahead on worker
// threads (TParallelDeflater) when Threads allows it. The writing stays on the calling
// thread: each entry's recorded reads and writes are replayed there through the same
// routines a one-thread run uses (CountEntryRead, WriteArchiveData), so the archive's
// bytes, the progress events and the processing of window events after every write come
// in the same order and with the same values.
#include <algorithm>
#include <thread>

#include "zip/ParallelDeflate.h"
#include "zip/StoredNames.h"
#include "zip/WildcardMatch.h"
#include "zip/ZipWriter.h"

void TZipWriter::SetThreads(int threads) {
  if (threads < 0) throw Exception("Threads " + std::to_string(threads) + " is not a thread count");
  threads_ = threads;
}

void TZipWriter::ZipListedFiles() {
  const int count = FilesList.Count();
  std::unique_ptr<TParallelDeflater> parallel = StartParallelDeflater();
  parallel_ = parallel.get();
  struct Detach {
    TParallelDeflater*& pointer;
    ~Detach() { pointer = nullptr; }
  } detach{parallel_};  // runs before the workers are stopped, also when an entry fails
  for (int i = 0; i < count; ++i) {
    listIndex_ = i;
    ZipListedFile(FilesList[i]);
  }
}

// Workers for the files that ZipOneFile will deflate (by the level and the no-compress
// list, both known now); none when fewer than two such files or one thread.
std::unique_ptr<TParallelDeflater> TZipWriter::StartParallelDeflater() {
  int threads = threads_;
  if (threads == kAllCores) threads = static_cast<int>(std::thread::hardware_concurrency());
  if (threads <= 1 || packLevel_ == 0 || OnStartZip) return nullptr;
  const TStoreNameOptions options{storePaths_, relativePaths_, storeVolumes_, Store83Names, RootDir};
  std::vector<TParallelDeflater::TJob> jobs;
  for (int i = 0; i < FilesList.Count(); ++i) {
    std::string fileName, directory;
    StoredName(NormalizeName(FilesList[i]), options, fileName, directory);
    if (!IsInNoCompressList(NoCompressList, fileName)) jobs.push_back({i, FilesList[i]});
  }
  if (jobs.size() < 2) return nullptr;
  threads = std::min(threads, static_cast<int>(jobs.size()));
  return std::make_unique<TParallelDeflater>(std::move(jobs), threads, packLevel_);
}

// Replays the worker's record of the current entry; false when there is none to replay
// (no job, or the worker could not open the file) and the entry is compressed here.
bool TZipWriter::ReplayEntryData(uint64_t& compressedSize) {
  TZipHeaderInfo& entry = *CurrentHeader;
  const TDeflateDecisions workerStart;
  if (!parallel_->Select(listIndex_, inputStream_->Path()) || entry.CompressionMethod != workerStart.CompressionMethod ||
      entry.InternalAttributes != workerStart.InternalAttributes ||
      entry.GeneralFlags != workerStart.GeneralFlags) {
    return false;
  }
  TParallelDeflater::TBatch batch;
  while (parallel_->TakeBatch(batch)) {
    size_t at = 0;
    for (const uint32_t op : batch.ops) {
      if (op & TParallelDeflater::TBatch::kWrite) {
        const size_t n = op & ~TParallelDeflater::TBatch::kWrite;
        WriteArchiveData(batch.bytes.data() + at, 1, n);
        at += n;
      } else {
        CountEntryRead(op);
      }
    }
  }
  const TParallelDeflater::TOutcome& outcome = parallel_->Outcome();
  if (!outcome.opened) return false;  // nothing was replayed
  if (outcome.error) std::rethrow_exception(outcome.error);
  crc_ = outcome.crc;
  entry.CompressionMethod = outcome.decisions.CompressionMethod;
  entry.InternalAttributes = outcome.decisions.InternalAttributes;
  entry.GeneralFlags = outcome.decisions.GeneralFlags;
  compressedSize = outcome.compressedSize;
  return true;
}
