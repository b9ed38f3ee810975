// A plain Deflate engine that does every step the slow, obvious way, with the types and
// buffers of the original design (16-bit bit buffer, 1024-byte output buffer, rolling
// hash, two-byte match compares). Tests and the fuzzer hold the fast engine to its bytes.
// It is test support only and never part of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "deflate/DeflateIO.h"

namespace reference {

class TReferenceDeflater {
 public:
  // Allocates its own work buffers (zeroed) for a whole run of entries.
  TReferenceDeflater();
  ~TReferenceDeflater();

  uint64_t Deflate(TDeflateIO& io, int level, TDeflateDecisions& decisions);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// CRC-32 register update done bit by bit, independent of any table.
uint32_t BitwiseCrc(uint32_t reg, const uint8_t* buf, size_t n);

}  // namespace reference
