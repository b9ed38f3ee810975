// CRC-32 by slicing: sixteen tables, each derived from crc32_table, fold sixteen bytes per
// step with one lookup per byte and no dependency between the lookups of a step, which
// lets the processor overlap them (about four times the speed of the byte loop).
#include "deflate/Crc32.h"

#include <array>
#include <cstring>

namespace {

using Table = std::array<uint32_t, 256>;
using Slices = std::array<Table, 16>;

constexpr Table MakeByteTable() {
  Table t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    t[n] = c;
  }
  return t;
}

// slices[k][n]: the register contribution of byte n followed by k zero bytes.
constexpr Slices MakeSlices() {
  Slices s{};
  s[0] = MakeByteTable();
  for (int k = 1; k < 16; ++k)
    for (int n = 0; n < 256; ++n) s[k][n] = (s[k - 1][n] >> 8) ^ s[0][s[k - 1][n] & 0xFF];
  return s;
}

// Computed by the compiler: constant data in the program image.
constexpr Slices kSlices = MakeSlices();

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;  // little-endian host
}

}  // namespace

const uint32_t crc32_table[256] = {
#define R(i) kSlices[0][i]
#define R4(i) R(i), R(i + 1), R(i + 2), R(i + 3)
#define R16(i) R4(i), R4(i + 4), R4(i + 8), R4(i + 12)
#define R64(i) R16(i), R16(i + 16), R16(i + 32), R16(i + 48)
    R64(0), R64(64), R64(128), R64(192)
#undef R64
#undef R16
#undef R4
#undef R
};

uint32_t update_crc(uint32_t reg, const uint8_t* buf, size_t n) {
  static_assert(kSlices[0][1] == 0x77073096u && kSlices[0][255] == 0x2D02EF8Du);
  const auto& t = kSlices;
  while (n >= 16) {
    const uint32_t a = Load32(buf) ^ reg;
    const uint32_t b = Load32(buf + 4);
    const uint32_t c = Load32(buf + 8);
    const uint32_t d = Load32(buf + 12);
    reg = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
          t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
          t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
          t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
    buf += 16;
    n -= 16;
  }
  while (n-- > 0) reg = crc32_table[(reg ^ *buf++) & 0xFF] ^ (reg >> 8);
  return reg;
}
