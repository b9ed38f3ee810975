// A TDeflateIO over memory for tests and the fuzzer: serves an entry's bytes (optionally
// in short reads, as a pipe would), keeps the CRC register as the archive writer does,
// and records what the engine writes and in which batches.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "deflate/Crc32.h"
#include "deflate/DeflateIO.h"

namespace deflate_testing {

class TMemoryIO : public TDeflateIO {
 public:
  explicit TMemoryIO(std::string input, unsigned maxRead = 0xFFFFFFFFu)
      : input_(std::move(input)), maxRead_(maxRead) {}

  unsigned ReadEntryData(uint8_t* buf, unsigned capacity) override {
    const size_t n = std::min<size_t>({capacity, maxRead_, input_.size() - readPos_});
    std::copy_n(input_.data() + readPos_, n, buf);
    readPos_ += n;
    crc = update_crc(crc, buf, n);
    ++reads;
    return static_cast<unsigned>(n);
  }
  unsigned WriteArchiveData(const uint8_t* buf, size_t size, size_t count) override {
    output.append(reinterpret_cast<const char*>(buf), size * count);
    writes.push_back(size * count);
    return static_cast<unsigned>(count);
  }

  std::string output;
  std::vector<size_t> writes;  // bytes per call
  uint32_t crc = 0xFFFFFFFFu;
  int reads = 0;

 private:
  std::string input_;
  size_t readPos_ = 0;
  unsigned maxRead_;
};

}  // namespace deflate_testing
