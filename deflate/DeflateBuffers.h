// The Deflate engine's six work buffers (about 292 KiB), allocated once per zip run and
// shared by all of its entries. They are zeroed when allocated, so the bytes of an entry
// never depend on what the memory held before.
#pragma once

#include <cstdint>
#include <memory>

class TDeflateBuffers {
 public:
  static constexpr unsigned kWindowSize = 65536;  // two halves of 32768
  static constexpr unsigned kTableSize = 32768;   // link and head tables
  static constexpr unsigned kLitSize = 32768;     // literal/length buffer
  static constexpr unsigned kDistSize = 32768;    // distance buffer
  static constexpr unsigned kFlagSize = 4096;     // one bit per symbol of a block

  TDeflateBuffers();
  TDeflateBuffers(const TDeflateBuffers&) = delete;
  TDeflateBuffers& operator=(const TDeflateBuffers&) = delete;

  // Window()[-1] is valid too: the byte that the last slide moved out of the window.
  uint8_t* Window() { return windowStore_.get() + kWindowFront; }
  uint16_t* LinkTable() { return link_.get(); }
  uint16_t* HeadTable() { return head_.get(); }
  uint8_t* LitBuffer() { return lit_.get(); }
  uint16_t* DistBuffer() { return dist_.get(); }
  uint8_t* FlagBuffer() { return flag_.get(); }

 private:
  static constexpr unsigned kWindowFront = 8;
  static constexpr unsigned kWindowBack = 8;
  std::unique_ptr<uint8_t[]> windowStore_;
  std::unique_ptr<uint16_t[]> link_;
  std::unique_ptr<uint16_t[]> head_;
  std::unique_ptr<uint8_t[]> lit_;
  std::unique_ptr<uint16_t[]> dist_;
  std::unique_ptr<uint8_t[]> flag_;
};
