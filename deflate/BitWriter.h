// The bit writer of one Deflate entry: appends codes least significant bit first, packs
// them into bytes and hands the bytes to the entry's sink in batches of up to 1024.
// Internally the pending bits sit in a 64-bit register (fewer stores than a 16-bit one);
// the bytes and the batches that reach the sink are those of a 16-bit writer.
#pragma once

#include <cstdint>
#include <cstring>

#include "deflate/DeflateIO.h"

// The low len bits (1 to 15) of code in reverse order: bit 0 becomes bit len - 1.
uint16_t reverse_bits(unsigned code, int len);

class TBitWriter {
 public:
  static constexpr unsigned kCapacity = 1024;

  explicit TBitWriter(TDeflateIO& sink) : sink_(sink) {}
  TBitWriter(const TBitWriter&) = delete;
  TBitWriter& operator=(const TBitWriter&) = delete;

  // Appends the low length bits of value (length 1 to 32; the engine's codes are 1 to 15,
  // a code joined with its extra bits up to 28), least significant first.
  inline void send_bits(uint32_t value, unsigned length) {
    bits_ |= static_cast<uint64_t>(value) << count_;
    count_ += length;
    if (count_ >= 32) {
      // Complete 32-bit words go to the byte buffer in one little-endian store.
      const uint32_t word = static_cast<uint32_t>(bits_);
      unsigned char bytes[4] = {static_cast<unsigned char>(word),
                                static_cast<unsigned char>(word >> 8),
                                static_cast<unsigned char>(word >> 16),
                                static_cast<unsigned char>(word >> 24)};
      std::memcpy(buffer_ + outCount_, bytes, 4);
      outCount_ += 4;
      if (outCount_ >= kCapacity) FlushFullBuffer();
      bits_ >>= 32;
      count_ -= 32;
    }
  }

  // A long run of codes (a block's symbols) with the writer's state in locals: a byte
  // store into the buffer may alias anything, so the writer's own fields would be reloaded
  // after every store, while the run keeps them in registers. The run keeps at most 7 bits
  // pending: each Send stores 8 bytes and keeps the whole bytes among them, without a
  // branch on the bit count, so a Send takes up to 56 bits (a match's length and distance
  // codes with their extra bits in one). The batches are those of send_bits: a batch goes
  // out as soon as 1024 bytes are complete, which for both is the code that takes the
  // bits written to 8192 x batches. The writer gets its state back when the run ends.
  class TRun {
   public:
    explicit TRun(TBitWriter& writer)
        : writer_(writer), bits_(writer.bits_), count_(writer.count_), outCount_(writer.outCount_) {
      Send(0, 0);  // the writer may hold up to 31 bits: settle its whole bytes
    }
    ~TRun() { Store(); }
    TRun(const TRun&) = delete;
    TRun& operator=(const TRun&) = delete;

    // Appends the low length bits of value (length 0 to 56: the constructor has settled
    // the writer's whole bytes, so at most 7 bits are pending before any Send).
    inline void Send(uint64_t value, unsigned length) {
      bits_ |= value << count_;
      count_ += length;
      std::memcpy(writer_.buffer_ + outCount_, &bits_, 8);  // little-endian host
      const unsigned whole = count_ >> 3;
      outCount_ += whole;
      bits_ >>= whole << 3;  // at most 56: whole is at most 7
      count_ &= 7;
      if (outCount_ >= kCapacity) {
        Store();
        writer_.FlushFullBuffer();
        outCount_ = writer_.outCount_;
      }
    }

   private:
    void Store() {
      writer_.bits_ = bits_;
      writer_.count_ = count_;
      writer_.outCount_ = outCount_;
    }
    TBitWriter& writer_;
    uint64_t bits_;
    unsigned count_;
    unsigned outCount_;
  };

  // The byte appends are for byte boundaries (no bits pending), as after align_bits.
  // Appends a 16-bit value as two bytes, low byte first. With 1023 or more bytes pending
  // the buffer is flushed first.
  void out_short(uint16_t w);
  // Appends one byte; flushes first only when the buffer is full.
  void out_byte(uint8_t b);
  // Hands the bytes pending in the byte buffer to the sink (never a call for 0 bytes).
  void flush_out();
  // Pads the pending bits with zeros to a whole byte, emits them and flushes.
  void align_bits();
  // Emits a stored block's data: aligns, with header writes LEN and NLEN, flushes, then
  // hands the len raw bytes to the sink in one call without copying them.
  void copy_stored(const uint8_t* buf, uint16_t len, bool header);

  // Bits not yet in the byte buffer, and bytes not yet handed to the sink.
  unsigned PendingBits() const { return count_; }
  unsigned PendingBytes() const { return outCount_; }

 private:
  void FlushFullBuffer();

  TDeflateIO& sink_;
  uint64_t bits_ = 0;
  unsigned count_ = 0;  // 0 to 31 between calls
  unsigned outCount_ = 0;
  // Slack behind the 1024 bytes so that a word store never needs a bounds check.
  uint8_t buffer_[kCapacity + 8] = {};
};
