#include "deflate/BitWriter.h"

uint16_t reverse_bits(unsigned code, int len) {
  unsigned res = 0;
  for (int i = 0; i < len; ++i) {
    res = (res << 1) | (code & 1);
    code >>= 1;
  }
  return static_cast<uint16_t>(res);
}

// Called when a word store filled the 1024 bytes: they go out as one batch, as a 16-bit
// writer's would, and the bytes of the store beyond them move to the front.
void TBitWriter::FlushFullBuffer() {
  sink_.WriteArchiveData(buffer_, 1, kCapacity);
  outCount_ -= kCapacity;
  std::memmove(buffer_, buffer_ + kCapacity, outCount_);
}

void TBitWriter::flush_out() {
  if (outCount_ > 0) sink_.WriteArchiveData(buffer_, 1, outCount_);
  outCount_ = 0;
}

void TBitWriter::out_short(uint16_t w) {
  if (outCount_ >= kCapacity - 1) flush_out();
  buffer_[outCount_++] = static_cast<uint8_t>(w & 0xFF);
  buffer_[outCount_++] = static_cast<uint8_t>(w >> 8);
}

void TBitWriter::out_byte(uint8_t b) {
  if (outCount_ >= kCapacity) flush_out();
  buffer_[outCount_++] = b;
}

void TBitWriter::align_bits() {
  // The pending bits (0 to 31) as whole bytes, the last one padded with zero bits.
  while (count_ > 0) {
    out_byte(static_cast<uint8_t>(bits_));
    bits_ >>= 8;
    count_ = count_ > 8 ? count_ - 8 : 0;
  }
  bits_ = 0;
  flush_out();
}

void TBitWriter::copy_stored(const uint8_t* buf, uint16_t len, bool header) {
  align_bits();
  if (header) {
    out_short(len);
    out_short(static_cast<uint16_t>(~len));
  }
  flush_out();
  if (len > 0) sink_.WriteArchiveData(buf, 1, len);
}
