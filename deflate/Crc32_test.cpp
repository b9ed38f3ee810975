#include "deflate/Crc32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deflate/Crc32Paths.h"
#include "deflate/testing/Corpus.h"
#include "deflate/testing/ReferenceDeflate.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(Crc32, TableIsTheReflectedCrcOfEachByte) {
  EXPECT_EQ(crc32_table[0], 0u);
  EXPECT_EQ(crc32_table[1], 0x77073096u);
  EXPECT_EQ(crc32_table[255], 0x2D02EF8Du);
  for (int n = 0; n < 256; ++n) {
    const uint8_t b = static_cast<uint8_t>(n);
    EXPECT_EQ(crc32_table[n], reference::BitwiseCrc(0, &b, 1)) << n;
  }
}

TEST(Crc32, KnownValues) {
  EXPECT_EQ(~update_crc(0xFFFFFFFFu, nullptr, 0), 0u) << "empty input: CRC 0";
  EXPECT_EQ(update_crc(0xFFFFFFFFu, nullptr, 0), 0xFFFFFFFFu);
  const std::string check = "123456789";
  EXPECT_EQ(~update_crc(0xFFFFFFFFu, Bytes(check), check.size()), 0xCBF43926u);
}

// Every length 0..300 at every alignment 0..15 (the 16-byte steps and the byte tail), and
// a register carried across calls, as the archive writer does block by block.
TEST(Crc32, MatchesBitwiseCrcForAnyLengthAndAlignment) {
  const std::string data = deflate_testing::RandomBytes(400, 7);
  for (size_t offset = 0; offset < 16; ++offset) {
    for (size_t n = 0; n <= 300; ++n) {
      const uint8_t* p = Bytes(data) + offset;
      ASSERT_EQ(update_crc(0xFFFFFFFFu, p, n), reference::BitwiseCrc(0xFFFFFFFFu, p, n))
          << "offset " << offset << " length " << n;
    }
  }
  const std::string big = deflate_testing::RandomBytes(200000, 8);
  uint32_t reg = 0xFFFFFFFFu;
  for (size_t at = 0; at < big.size(); at += 65535)
    reg = update_crc(reg, Bytes(big) + at, std::min<size_t>(65535, big.size() - at));
  EXPECT_EQ(reg, reference::BitwiseCrc(0xFFFFFFFFu, Bytes(big), big.size()));
}

// Each path on its own: the tables (byte tail, 8-byte slices, six-lane superblocks of
// 6144 bytes) and, where the processor has it, carry-less multiplication.
TEST(Crc32, BothPathsMatchBitwiseCrc) {
  const std::string data = deflate_testing::RandomBytes(40000, 9);
  const uint8_t* p = Bytes(data);
  for (size_t n : {0, 1, 7, 8, 9, 63, 64, 100, 6143, 6144, 6145, 12288 + 77, 39999}) {
    for (size_t offset : {0, 1, 5}) {
      if (offset + n > data.size()) continue;
      const uint32_t expected = reference::BitwiseCrc(0x12345678u, p + offset, n);
      EXPECT_EQ(crc32_paths::UpdateByTables(0x12345678u, p + offset, n), expected)
          << "tables, length " << n << " offset " << offset;
      if (crc32_paths::ClmulAvailable() && n >= 64 && n % 16 == 0) {
        EXPECT_EQ(crc32_paths::UpdateByClmul(0x12345678u, p + offset, n), expected)
            << "clmul, length " << n << " offset " << offset;
      }
    }
  }
  if (crc32_paths::ClmulAvailable()) {
    for (size_t n = 64; n <= 4096; n += 16)
      ASSERT_EQ(crc32_paths::UpdateByClmul(0xFFFFFFFFu, p + 3, n), reference::BitwiseCrc(0xFFFFFFFFu, p + 3, n)) << n;
  }
}

// The 512-bit path on its own: the first 256 bytes, whole 256-byte steps, the join of its
// four remainders and the 64- and 16-byte steps after it (lengths 256..4096 in steps of 16,
// plus longer odd multiples), at every alignment and from two starting registers.
TEST(Crc32, WideClmulPathMatchesBitwiseCrc) {
  if (!crc32_paths::VclmulAvailable()) GTEST_SKIP() << "no AVX-512 VPCLMULQDQ on this processor";
  const std::string data = deflate_testing::RandomBytes(70000, 10);
  std::vector<size_t> lengths;
  for (size_t n = 256; n <= 4096; n += 16) lengths.push_back(n);
  for (size_t n : {6144 + 16 * 7, 65520, 65536 + 256 + 48}) lengths.push_back(n);
  for (size_t n : lengths) {
    for (size_t offset = 0; offset < 64; offset += (n <= 1024 ? 1 : 13)) {
      const uint8_t* p = Bytes(data) + offset;
      for (uint32_t start : {0xFFFFFFFFu, 0x12345678u}) {
        ASSERT_EQ(crc32_paths::UpdateByVclmul(start, p, n), reference::BitwiseCrc(start, p, n))
            << "length " << n << " offset " << offset << " start " << start;
      }
    }
  }
}

}  // namespace
