// The Deflate compressor of one archive entry (RFC 1951, raw, 32 KiB distances): hash
// chains with greedy (levels 1-3) or lazy (4-9) matching, Huffman blocks that are stored,
// fixed or dynamic, and the whole entry stored when coding would not make it smaller.
#pragma once

#include <cstdint>
#include <memory>

#include "deflate/CpuPath.h"
#include "deflate/DeflateBuffers.h"
#include "deflate/DeflateIO.h"
#include "platform/Exception.h"

// Raised when a match the finder produced does not repeat the bytes it points at
// (a fault of the engine): "Start: %d, Match: %d, Length: %d".
class EInvalidMatch : public Exception {
 public:
  EInvalidMatch(int start, int match, int length);
};

// Raised when an entry's compressed data would reach 4 GiB, which the archive's 32-bit
// size fields cannot hold: "Compressed data of an entry exceeds 4 GiB".
class ECompressedSizeLimit : public Exception {
 public:
  ECompressedSizeLimit();
};

struct TDeflateTables;

// Per writer object: holds the fixed code tables, built at the first entry it compresses,
// and the processor path its match finder runs on (the fastest available unless set).
class TDeflater {
 public:
  TDeflater();
  ~TDeflater();
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  // Compresses the whole entry read through io.ReadEntryData at level 1 to 9 (other
  // values raise Exception), writes it through io.WriteArchiveData and returns the number
  // of bytes written. Updates decisions as TDeflateDecisions describes.
  uint64_t Deflate(TDeflateIO& io, TDeflateBuffers& buffers, int level,
                   TDeflateDecisions& decisions);

  // Every path gives the same bytes; setting one the processor cannot run raises Exception.
  TCpuPath CpuPath() const { return path_; }
  void SetCpuPath(TCpuPath path);

 private:
  TCpuPath path_;
  std::unique_ptr<TDeflateTables> tables_;
};
