// CRC-32 with tables. Long buffers are cut into superblocks of six lanes of 1024 bytes
// each; the lanes run slicing-by-8 side by side (six independent dependency chains keep
// the load ports busy instead of waiting on one chain), and their registers are joined
// by advancing the earlier ones over 1024 zero bytes, itself a 4-lookup table map. One
// table lookup per byte; the tables are constant data, computed by the compiler.
#include "deflate/Crc32.h"

#include <array>
#include <cstring>

#include "deflate/Crc32Paths.h"

namespace {

using Table = std::array<uint32_t, 256>;

constexpr uint32_t kPoly = 0xEDB88320u;
constexpr size_t kLane = 1024;
constexpr int kLanes = 6;

constexpr Table MakeByteTable() {
  Table t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ kPoly : c >> 1;
    t[n] = c;
  }
  return t;
}

// slice[k][n]: the register contribution of byte n followed by k zero bytes.
constexpr std::array<Table, 8> MakeSlices() {
  std::array<Table, 8> s{};
  s[0] = MakeByteTable();
  for (int k = 1; k < 8; ++k)
    for (int n = 0; n < 256; ++n) s[k][n] = (s[k - 1][n] >> 8) ^ s[0][s[k - 1][n] & 0xFF];
  return s;
}

constexpr std::array<Table, 8> kSlice = MakeSlices();

// A linear map of the register, as the images of its 32 bits.
using Matrix = std::array<uint32_t, 32>;

constexpr uint32_t Apply(const Matrix& m, uint32_t v) {
  uint32_t r = 0;
  for (int i = 0; i < 32; ++i)
    if (v & (1u << i)) r ^= m[i];
  return r;
}

// The register after kLane zero bytes, as four byte-indexed tables.
constexpr std::array<Table, 4> MakeLaneShift() {
  Matrix m{};
  for (int i = 0; i < 32; ++i) {
    const uint32_t v = 1u << i;
    m[i] = kSlice[0][v & 0xFF] ^ (v >> 8);  // one zero byte
  }
  for (size_t n = 1; n < kLane; n *= 2) {  // square up to kLane zero bytes
    Matrix sq{};
    for (int i = 0; i < 32; ++i) sq[i] = Apply(m, m[i]);
    m = sq;
  }
  std::array<Table, 4> t{};
  for (int k = 0; k < 4; ++k)
    for (uint32_t b = 0; b < 256; ++b) t[k][b] = Apply(m, b << (8 * k));
  return t;
}

constexpr std::array<Table, 4> kLaneShift = MakeLaneShift();
static_assert((kLane & (kLane - 1)) == 0, "the lane shift is built by squaring");

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;  // little-endian host
}

inline uint32_t Slice8(uint32_t reg, const uint8_t* p) {
  const uint32_t a = Load32(p) ^ reg;
  const uint32_t b = Load32(p + 4);
  return kSlice[7][a & 0xFF] ^ kSlice[6][(a >> 8) & 0xFF] ^ kSlice[5][(a >> 16) & 0xFF] ^
         kSlice[4][a >> 24] ^ kSlice[3][b & 0xFF] ^ kSlice[2][(b >> 8) & 0xFF] ^
         kSlice[1][(b >> 16) & 0xFF] ^ kSlice[0][b >> 24];
}

inline uint32_t ShiftLane(uint32_t reg) {
  return kLaneShift[0][reg & 0xFF] ^ kLaneShift[1][(reg >> 8) & 0xFF] ^
         kLaneShift[2][(reg >> 16) & 0xFF] ^ kLaneShift[3][reg >> 24];
}

}  // namespace

const uint32_t crc32_table[256] = {
#define R(i) kSlice[0][i]
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
  if (n >= 256 && crc32_paths::VclmulAvailable()) {
    const size_t whole = n & ~size_t{15};
    reg = crc32_paths::UpdateByVclmul(reg, buf, whole);
    buf += whole;
    n -= whole;
  } else if (n >= 64 && crc32_paths::ClmulAvailable()) {
    const size_t whole = n & ~size_t{15};
    reg = crc32_paths::UpdateByClmul(reg, buf, whole);
    buf += whole;
    n -= whole;
  }
  return crc32_paths::UpdateByTables(reg, buf, n);
}

uint32_t crc32_paths::UpdateByTables(uint32_t reg, const uint8_t* buf, size_t n) {
  static_assert(kSlice[0][1] == 0x77073096u && kSlice[0][255] == 0x2D02EF8Du);
  // The register of a concatenation A B is the register of A advanced over |B| zero
  // bytes, XOR the register of B started from 0.
  while (n >= kLanes * kLane) {
    uint32_t c0 = reg, c1 = 0, c2 = 0, c3 = 0, c4 = 0, c5 = 0;
    for (size_t i = 0; i < kLane; i += 8) {
      c0 = Slice8(c0, buf + i);
      c1 = Slice8(c1, buf + kLane + i);
      c2 = Slice8(c2, buf + 2 * kLane + i);
      c3 = Slice8(c3, buf + 3 * kLane + i);
      c4 = Slice8(c4, buf + 4 * kLane + i);
      c5 = Slice8(c5, buf + 5 * kLane + i);
    }
    reg = ShiftLane(ShiftLane(ShiftLane(ShiftLane(ShiftLane(c0) ^ c1) ^ c2) ^ c3) ^ c4) ^ c5;
    buf += kLanes * kLane;
    n -= kLanes * kLane;
  }
  while (n >= 8) {
    reg = Slice8(reg, buf);
    buf += 8;
    n -= 8;
  }
  while (n-- > 0) reg = crc32_table[(reg ^ *buf++) & 0xFF] ^ (reg >> 8);
  return reg;
}
