// TParallelDeflater: compresses a run's files on worker threads, ahead of the archive
// writer, and hands each entry back as the exact sequence of reads and writes that the
// Deflate engine made, so that the writer can replay it on its own thread: the archive
// gets the bytes of a one-thread run, and every event fires there in the same order.
//
// Memory stays bounded whatever the files' sizes: a worker stops when the entry it works
// on holds kEntryQueueBytes of data not yet taken, and no worker starts an entry more than
// kEntriesAhead x threads entries ahead of the one being taken: at most 2 MiB of queued
// data per thread, besides each worker's engine.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "deflate/DeflateIO.h"

class TParallelDeflater {
 public:
  // Data that one entry may hold while the writer has not taken it yet.
  static constexpr size_t kEntryQueueBytes = size_t{512} << 10;
  // How many entries per thread the workers may run ahead of the writer. A folder's
  // files differ in size by a hundred times and more, and the writer takes them in list
  // order: with two per thread the workers of a 2-core machine waited for it on a
  // gerbv example folder (bench_pack: 0.168 s, against 0.153 s with four).
  static constexpr size_t kEntriesAhead = 4;
  // Size at which a worker hands over the batch it fills.
  static constexpr size_t kBatchBytes = size_t{64} << 10;

  // What the engine did, in order: a read of n bytes, or a write of n bytes (taken from
  // the batch's bytes in turn).
  struct TBatch {
    static constexpr uint32_t kWrite = 0x80000000u;
    std::vector<uint32_t> ops;  // n, or n | kWrite
    std::vector<uint8_t> bytes;
  };

  // How an entry ended on its worker; known once TakeBatch returned false.
  struct TOutcome {
    bool opened = false;  // false: the worker could not open the file, nothing was recorded
    std::exception_ptr error;  // raised by the engine or the read, after the recorded ops
    uint32_t crc = 0xFFFFFFFF;  // the CRC register over the bytes read
    uint64_t compressedSize = 0;
    TDeflateDecisions decisions;
  };

  struct TJob {
    int listIndex;  // position in the writer's file list
    std::string path;
  };

  // Starts threads workers (at least 1) on the jobs, in order, at Deflate level 1 to 9.
  // Each job starts from the engine's default decisions (TDeflateDecisions).
  TParallelDeflater(std::vector<TJob> jobs, int threads, int level);
  // Stops the workers and waits for them; entries not taken are dropped.
  ~TParallelDeflater();
  TParallelDeflater(const TParallelDeflater&) = delete;
  TParallelDeflater& operator=(const TParallelDeflater&) = delete;

  // Makes the job of listIndex the current one, dropping the jobs before it; false when
  // there is no job for it, or its file is not path (the list changed since the start).
  // REQUIRES: listIndex grows from call to call.
  bool Select(int listIndex, const std::string& path);
  // The next batch of the current job; false once it has none left, when Outcome holds.
  // REQUIRES: Select returned true.
  bool TakeBatch(TBatch& batch);
  const TOutcome& Outcome() const;

 private:
  struct TEntry;
  class TWorkerIO;

  void StopWorkers() noexcept;
  void Work();
  void Push(TEntry& entry, TBatch&& batch);
  void Drop(TEntry& entry);

  const int level_;
  std::vector<TJob> jobs_;
  std::vector<std::unique_ptr<TEntry>> entries_;  // one per job
  size_t windowSize_;

  std::mutex mutex_;
  std::condition_variable changed_;  // any change a waiting thread may need
  size_t nextJob_ = 0;   // the next job a worker starts
  size_t current_ = 0;   // the job the writer takes from (or the next to select)
  bool selected_ = false;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};
