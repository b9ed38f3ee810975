// The Deflate engine's view of its caller: where an entry's bytes come from, where the
// compressed bytes go, and what the engine decided about the entry. The engine knows
// nothing of archives; the archive writer implements TDeflateIO.
#pragma once

#include <cstddef>
#include <cstdint>

class TDeflateIO {
 public:
  virtual ~TDeflateIO() = default;
  // Reads up to capacity bytes (capacity <= 65534) of the entry into buf and returns how
  // many it read; 0 means the end of the entry. The implementation keeps the entry's CRC.
  virtual unsigned ReadEntryData(uint8_t* buf, unsigned capacity) = 0;
  // Writes size * count bytes to the archive and returns the count the stream reported.
  // The engine never calls it for 0 bytes.
  virtual unsigned WriteArchiveData(const uint8_t* buf, size_t size, size_t count) = 0;
};

// In/out: the caller passes the entry record's current values, the engine changes them.
struct TDeflateDecisions {
  // 8 (deflated); the engine sets 0 when it stores the whole entry unchanged.
  uint16_t CompressionMethod = 8;
  // 2 = not known yet; the engine sets 1 (text) or 0 (binary) at the entry's first block.
  uint16_t InternalAttributes = 2;
  // The engine ORs in 4 at levels 1 and 2, 2 at levels 8 and 9.
  uint16_t GeneralFlags = 0;
};
