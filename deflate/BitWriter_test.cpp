#include "deflate/BitWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct TRecordingSink : TDeflateIO {
  std::vector<std::string> calls;
  std::vector<const uint8_t*> pointers;
  unsigned ReadEntryData(uint8_t*, unsigned) override { return 0; }
  unsigned WriteArchiveData(const uint8_t* buf, size_t size, size_t count) override {
    calls.emplace_back(reinterpret_cast<const char*>(buf), size * count);
    pointers.push_back(buf);
    return static_cast<unsigned>(count);
  }
  std::string All() const {
    std::string s;
    for (const auto& c : calls) s += c;
    return s;
  }
};

TEST(BitWriter, ReverseBits) {
  EXPECT_EQ(reverse_bits(0b1, 1), 0b1);
  EXPECT_EQ(reverse_bits(0b011, 3), 0b110);
  EXPECT_EQ(reverse_bits(0b10110, 5), 0b01101);
  EXPECT_EQ(reverse_bits(0x1234, 15), 0x1624);  // 001001000110100 -> 001011000100100
  EXPECT_EQ(reverse_bits(0xFFFF, 4), 0xF) << "only the low len bits count";
}

// Bits go out least significant first: compare with a model that lists every bit.
TEST(BitWriter, PacksBitsLeastSignificantFirst) {
  std::mt19937 rng(3);
  TRecordingSink sink;
  TBitWriter w(sink);
  std::vector<int> bits;
  for (int i = 0; i < 5000; ++i) {
    const unsigned len = 1 + rng() % 15;
    const uint32_t v = rng() & ((1u << len) - 1);
    w.send_bits(v, len);
    for (unsigned b = 0; b < len; ++b) bits.push_back((v >> b) & 1);
  }
  w.align_bits();
  std::string expected((bits.size() + 7) / 8, '\0');
  for (size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) expected[i / 8] = static_cast<char>(expected[i / 8] | (1 << (i % 8)));
  EXPECT_EQ(sink.All(), expected);
  // Batches of 1024 bytes, then the rest.
  for (size_t i = 0; i + 1 < sink.calls.size(); ++i) EXPECT_EQ(sink.calls[i].size(), 1024u);
  EXPECT_EQ(sink.calls.back().size(), expected.size() % 1024);
}

TEST(BitWriter, SixteenBitsStayPendingUntilAligned) {
  TRecordingSink sink;
  TBitWriter w(sink);
  w.send_bits(0x5, 3);
  w.send_bits(0x1AB, 9);
  w.send_bits(0x9, 4);
  EXPECT_EQ(w.PendingBits(), 16u);
  w.flush_out();
  EXPECT_TRUE(sink.calls.empty()) << "no byte is complete in the byte buffer yet";
  w.send_bits(1, 1);
  w.align_bits();
  // 101 | 110101011 | 1001 | 1, least significant first.
  ASSERT_EQ(sink.calls.size(), 1u);
  EXPECT_EQ(sink.calls[0], std::string("\x5D\x9D\x01", 3));
}

TEST(BitWriter, AlignWritesWholeBytesOfThePendingBits) {
  for (unsigned pending = 0; pending <= 16; ++pending) {
    TRecordingSink sink;
    TBitWriter w(sink);
    if (pending > 0) w.send_bits((1u << pending) - 1, pending);
    w.align_bits();
    const size_t bytes = (pending + 7) / 8;
    if (bytes == 0) {
      EXPECT_TRUE(sink.calls.empty());
    } else {
      ASSERT_EQ(sink.calls.size(), 1u) << pending;
      std::string expected(bytes, '\xFF');
      if (pending % 8) expected.back() = static_cast<char>((1 << (pending % 8)) - 1);
      EXPECT_EQ(sink.calls[0], expected) << pending;
    }
    EXPECT_EQ(w.PendingBits(), 0u);
    EXPECT_EQ(w.PendingBytes(), 0u);
  }
}

TEST(BitWriter, ByteBufferFlushesAtItsEdge) {
  TRecordingSink sink;
  TBitWriter w(sink);
  for (int i = 0; i < 1023; ++i) w.out_byte(static_cast<uint8_t>(i));
  w.out_short(0xBBAA);
  ASSERT_EQ(sink.calls.size(), 1u);
  EXPECT_EQ(sink.calls[0].size(), 1023u) << "out_short flushes 1023 bytes first";
  EXPECT_EQ(w.PendingBytes(), 2u);

  TRecordingSink sink2;
  TBitWriter w2(sink2);
  for (int i = 0; i < 1023; ++i) w2.out_byte(1);
  w2.out_byte(2);
  EXPECT_TRUE(sink2.calls.empty()) << "the 1024th byte still fits";
  w2.out_byte(3);
  ASSERT_EQ(sink2.calls.size(), 1u);
  EXPECT_EQ(sink2.calls[0].size(), 1024u);
  EXPECT_EQ(sink2.calls[0].back(), 2);
  w2.flush_out();
  EXPECT_EQ(sink2.calls.back(), "\x03");
}

// A run of codes gives the writer's bytes, batches and moments of batches: after every
// code both sides have handed the sink the same batches, and the writer goes on from
// where the run left it. The run takes codes of up to 56 bits, which send_bits gets in two
// parts; the writer may hold a few bits or nearly a word when the run starts.
TEST(BitWriter, RunOfCodesWritesWhatSendBitsWrites) {
  std::mt19937_64 rng(5);
  std::vector<std::pair<uint64_t, unsigned>> codes;
  for (int i = 0; i < 8000; ++i) {
    const unsigned length = 1 + rng() % 56;
    codes.emplace_back(rng() & ((uint64_t{1} << length) - 1), length);
  }
  for (const unsigned before : {3u, 29u}) {
    TRecordingSink plainSink, runSink;
    TBitWriter plain(plainSink), fast(runSink);
    plain.send_bits(5, before);
    fast.send_bits(5, before);
    {
      TBitWriter::TRun run(fast);
      for (const auto& [value, length] : codes) {
        const unsigned low = length > 28 ? 28 : length;
        plain.send_bits(static_cast<uint32_t>(value & ((uint64_t{1} << low) - 1)), low);
        if (length > low) plain.send_bits(static_cast<uint32_t>(value >> low), length - low);
        run.Send(value, length);
        ASSERT_EQ(runSink.calls.size(), plainSink.calls.size()) << before;
      }
    }
    EXPECT_GE(plainSink.calls.size(), 20u) << "the codes cross the buffer's edge many times";
    // The run may keep fewer bits pending and more bytes: the same bits in all.
    EXPECT_EQ(fast.PendingBytes() * 8 + fast.PendingBits(),
              plain.PendingBytes() * 8 + plain.PendingBits());
    plain.send_bits(0x1FF, 9);
    fast.send_bits(0x1FF, 9);
    plain.align_bits();
    fast.align_bits();
    EXPECT_EQ(runSink.calls, plainSink.calls) << before;
  }
}

TEST(BitWriter, CopyStored) {
  TRecordingSink sink;
  TBitWriter w(sink);
  w.send_bits(1, 3);  // a stored block header
  w.copy_stored(nullptr, 0, true);
  EXPECT_EQ(sink.All(), std::string("\x01\x00\x00\xFF\xFF", 5));

  TRecordingSink raw;
  TBitWriter w2(raw);
  const std::string data = "stored bytes";
  w2.copy_stored(reinterpret_cast<const uint8_t*>(data.data()), static_cast<uint16_t>(data.size()), false);
  ASSERT_EQ(raw.calls.size(), 1u);
  EXPECT_EQ(raw.calls[0], data);
  EXPECT_EQ(raw.pointers[0], reinterpret_cast<const uint8_t*>(data.data())) << "no copy";

  TRecordingSink hdr;
  TBitWriter w3(hdr);
  w3.copy_stored(reinterpret_cast<const uint8_t*>(data.data()), 12, true);
  ASSERT_EQ(hdr.calls.size(), 2u);
  EXPECT_EQ(hdr.calls[0], std::string("\x0C\x00\xF3\xFF", 4));
  EXPECT_EQ(hdr.calls[1], data);
}

}  // namespace
