#include "zip/ParallelDeflate.h"

#include <algorithm>

#include "deflate/Crc32.h"
#include "deflate/Deflate.h"
#include "deflate/DeflateBuffers.h"
#include "platform/BufferedFileStream.h"

namespace {

// Thrown inside a worker when the entry it works on is no longer wanted.
struct TCanceled {};

// A batch is handed over when its data or its list of operations reaches this size; the
// second bound keeps the list short for data that compress to almost nothing.
constexpr size_t kBatchOps = 4096;

size_t BatchSize(const TParallelDeflater::TBatch& batch) {
  return batch.bytes.size() + batch.ops.size() * sizeof(uint32_t);
}

}  // namespace

struct TParallelDeflater::TEntry {
  std::deque<TBatch> batches;
  size_t queued = 0;  // BatchSize of the batches
  bool done = false;
  bool dropped = false;
  TOutcome outcome;
};

// The engine's reads come from the worker's own stream of the file (keeping the CRC); both
// reads and writes are recorded in order.
class TParallelDeflater::TWorkerIO : public TDeflateIO {
 public:
  TWorkerIO(TParallelDeflater& owner, TEntry& entry, TBufferedFileStream& input)
      : owner_(owner), entry_(entry), input_(input) {}

  unsigned ReadEntryData(uint8_t* buf, unsigned capacity) override {
    const unsigned n = static_cast<unsigned>(input_.Read(buf, capacity));
    if (n == 0) return 0;
    crc_ = update_crc(crc_, buf, n);
    batch_.ops.push_back(n);
    if (batch_.ops.size() >= kBatchOps) Flush();
    return n;
  }
  unsigned WriteArchiveData(const uint8_t* buf, size_t size, size_t count) override {
    const size_t n = size * count;
    batch_.ops.push_back(static_cast<uint32_t>(n) | TBatch::kWrite);
    batch_.bytes.insert(batch_.bytes.end(), buf, buf + n);
    if (batch_.bytes.size() >= kBatchBytes || batch_.ops.size() >= kBatchOps) Flush();
    return static_cast<unsigned>(count);
  }

  void Flush() {
    if (batch_.ops.empty()) return;
    owner_.Push(entry_, std::move(batch_));
    batch_ = TBatch();
  }
  uint32_t Crc() const { return crc_; }

 private:
  TParallelDeflater& owner_;
  TEntry& entry_;
  TBufferedFileStream& input_;
  TBatch batch_;
  uint32_t crc_ = 0xFFFFFFFF;
};

TParallelDeflater::TParallelDeflater(std::vector<TJob> jobs, int threads, int level)
    : level_(level), jobs_(std::move(jobs)) {
  const int workers = std::max(1, threads);
  windowSize_ = kEntriesAhead * static_cast<size_t>(workers);
  entries_.reserve(jobs_.size());
  for (size_t i = 0; i < jobs_.size(); ++i) entries_.push_back(std::make_unique<TEntry>());
  try {
    for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    StopWorkers();  // the workers already started
    throw;
  }
}

TParallelDeflater::~TParallelDeflater() { StopWorkers(); }

void TParallelDeflater::StopWorkers() noexcept {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) {
    if (worker.joinable()) worker.join();
  }
}

void TParallelDeflater::Work() {
  // Each worker has its own engine. The buffers are made anew after an entry that ended
  // early, so that every entry starts from the state a whole entry leaves behind.
  TDeflater deflater;
  std::unique_ptr<TDeflateBuffers> buffers;
  for (;;) {
    size_t job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] {
        return stopping_ || nextJob_ >= jobs_.size() || nextJob_ < current_ + windowSize_;
      });
      if (stopping_ || nextJob_ >= jobs_.size()) return;
      job = nextJob_++;
    }
    TEntry& entry = *entries_[job];
    TOutcome outcome;
    bool finished = false;
    try {
      if (!buffers) buffers = std::make_unique<TDeflateBuffers>();
      std::unique_ptr<TBufferedFileStream> input;
      try {
        input = std::make_unique<TBufferedFileStream>(jobs_[job].path,
                                                      TBufferedFileStream::Mode::OpenRead);
      } catch (const std::exception&) {
        // The writer opens the file itself and decides what a failure means.
      }
      if (input) {
        outcome.opened = true;
        TWorkerIO io(*this, entry, *input);
        try {
          outcome.compressedSize = deflater.Deflate(io, *buffers, level_, outcome.decisions);
          finished = true;
        } catch (const TCanceled&) {
          throw;
        } catch (...) {
          outcome.error = std::current_exception();
        }
        io.Flush();  // the operations before an error are replayed before it
        outcome.crc = io.Crc();
      }
    } catch (const TCanceled&) {
      buffers.reset();
      continue;
    } catch (...) {
      outcome.error = std::current_exception();
    }
    if (!finished) buffers.reset();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      entry.outcome = std::move(outcome);
      entry.done = true;
    }
    changed_.notify_all();
  }
}

void TParallelDeflater::Push(TEntry& entry, TBatch&& batch) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return stopping_ || entry.dropped || entry.queued < kEntryQueueBytes; });
  if (stopping_ || entry.dropped) throw TCanceled();
  entry.queued += BatchSize(batch);
  entry.batches.push_back(std::move(batch));
  lock.unlock();
  changed_.notify_all();
}

void TParallelDeflater::Drop(TEntry& entry) {
  entry.dropped = true;
  entry.batches.clear();
  entry.queued = 0;
}

bool TParallelDeflater::Select(int listIndex, const std::string& path) {
  bool found;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (selected_) {
      Drop(*entries_[current_]);
      ++current_;
      selected_ = false;
    }
    while (current_ < jobs_.size() && jobs_[current_].listIndex < listIndex) {
      Drop(*entries_[current_]);
      ++current_;
    }
    found = current_ < jobs_.size() && jobs_[current_].listIndex == listIndex &&
            jobs_[current_].path == path;
    selected_ = found;
  }
  changed_.notify_all();
  return found;
}

bool TParallelDeflater::TakeBatch(TBatch& batch) {
  TEntry& entry = *entries_[current_];
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !entry.batches.empty() || entry.done; });
    if (entry.batches.empty()) return false;
    batch = std::move(entry.batches.front());
    entry.batches.pop_front();
    entry.queued -= BatchSize(batch);
  }
  changed_.notify_all();
  return true;
}

const TParallelDeflater::TOutcome& TParallelDeflater::Outcome() const {
  return entries_[current_]->outcome;
}
