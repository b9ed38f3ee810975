// The Deflate engine's four work buffers (about 320 KiB), allocated once per zip run and
// shared by all of its entries, plus fourteen tables of its own that speed up the chain
// walk (1216 KiB). They are zeroed when allocated, so the bytes of an entry never depend on
// what the memory held before.
#pragma once

#include <cstdint>
#include <memory>

class TDeflateBuffers {
 public:
  static constexpr unsigned kWindowSize = 65536;  // two halves of 32768
  static constexpr unsigned kTableSize = 32768;   // link and head tables
  static constexpr unsigned kSymbolSize = 32768;  // a block's literals and matches

  TDeflateBuffers();
  TDeflateBuffers(const TDeflateBuffers&) = delete;
  TDeflateBuffers& operator=(const TDeflateBuffers&) = delete;

  // Window()[-1] is valid too: the byte that the last slide moved out of the window.
  uint8_t* Window() { return windowStore_.get() + kWindowFront; }
  uint16_t* LinkTable() { return link_.get(); }
  uint16_t* HeadTable() { return head_.get(); }
  // One word per symbol of a block: a literal byte, or a match (THuffmanBlock::TallyMatch).
  uint32_t* SymbolBuffer() { return symbols_.get(); }

  // The second chain: positions linked by a hash of their first 4 bytes (the low half of
  // a position's entry), and for each position its rank among the insertions of its 3-byte
  // hash, counted per hash value (the high half). Bucket3Table holds, per 3-byte hash, the
  // head of the first chain and the count of insertions, for the levels that use both.
  uint32_t* Chain4Table() { return chain4_.get(); }
  uint16_t* Head4Table() { return head4_.get(); }
  uint32_t* Bucket3Table() { return bucket3_.get(); }
  // For level 1, per 3-byte hash, the four newest positions inserted under it (the newest
  // in the low 16 bits): the first four steps of its chain, in one load.
  uint64_t* Newest4Table() { return newest4_.get(); }
  // The longer chains: positions linked by a hash of their first 6, 8, 10, 12 or 16 bytes.
  uint16_t* Link6Table() { return link6_.get(); }
  uint16_t* Head6Table() { return head6_.get(); }
  uint16_t* Link8Table() { return link8_.get(); }
  uint16_t* Head8Table() { return head8_.get(); }
  uint16_t* Link10Table() { return link10_.get(); }
  uint16_t* Head10Table() { return head10_.get(); }
  uint16_t* Link12Table() { return link12_.get(); }
  uint16_t* Head12Table() { return head12_.get(); }
  uint16_t* Link16Table() { return link16_.get(); }
  uint16_t* Head16Table() { return head16_.get(); }

 private:
  static constexpr unsigned kWindowFront = 8;
  static constexpr unsigned kWindowBack = 8;
  std::unique_ptr<uint8_t[]> windowStore_;
  std::unique_ptr<uint16_t[]> link_;
  std::unique_ptr<uint16_t[]> head_;
  std::unique_ptr<uint32_t[]> symbols_;
  std::unique_ptr<uint32_t[]> chain4_;
  std::unique_ptr<uint16_t[]> head4_;
  std::unique_ptr<uint32_t[]> bucket3_;
  std::unique_ptr<uint64_t[]> newest4_;
  std::unique_ptr<uint16_t[]> link6_;
  std::unique_ptr<uint16_t[]> head6_;
  std::unique_ptr<uint16_t[]> link8_;
  std::unique_ptr<uint16_t[]> head8_;
  std::unique_ptr<uint16_t[]> link10_;
  std::unique_ptr<uint16_t[]> head10_;
  std::unique_ptr<uint16_t[]> link12_;
  std::unique_ptr<uint16_t[]> head12_;
  std::unique_ptr<uint16_t[]> link16_;
  std::unique_ptr<uint16_t[]> head16_;
};
