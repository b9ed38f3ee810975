// The per-writer tables of the Deflate engine: the fixed Huffman codes of RFC 1951 and the
// maps from match lengths and distances to their codes, built once by the first entry a
// writer compresses and then only read.
#pragma once

#include <cstdint>

inline constexpr int kLengthCodes = 29;
inline constexpr int kDistCodes = 30;
inline constexpr int kLitLenSymbols = 286;
inline constexpr int kBitLengthSymbols = 19;
inline constexpr int kEndBlock = 256;

inline constexpr uint8_t kExtraLengthBits[kLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1,
                                                            1, 1, 2, 2, 2, 2, 3, 3, 3, 3,
                                                            4, 4, 4, 4, 5, 5, 5, 5, 0};
inline constexpr uint8_t kExtraDistBits[kDistCodes] = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,
                                                        4, 4, 5, 5, 6, 6, 7,  7,  8,  8,
                                                        9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
inline constexpr uint8_t kExtraBitLengthBits[kBitLengthSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                                    0, 0, 0, 0, 0, 0, 2, 3, 7};
// The order in which the code lengths of the code-length code are sent.
inline constexpr uint8_t kBitLengthOrder[kBitLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                11, 4,  12, 3, 13, 2, 14, 1, 15};

struct TDeflateTables {
  TDeflateTables();

  // Fixed literal/length codes (288, bit-reversed for output) and their lengths.
  uint16_t fixedLitCode[288];
  uint8_t fixedLitLen[288];
  // Fixed distance codes: all 5 bits long.
  uint16_t fixedDistCode[kDistCodes];
  uint8_t fixedDistLen[kDistCodes];
  // Match length - 3 -> length code 0..28; base (length - 3) of each length code.
  uint8_t lengthCode[256];
  uint16_t baseLength[kLengthCodes];
  // Distance - 1 -> distance code, through DistCode(); base (distance - 1) of each code.
  uint8_t distCode[512];
  uint16_t baseDist[kDistCodes];

  int DistCode(unsigned d) const { return d < 256 ? distCode[d] : distCode[256 + (d >> 7)]; }
};

// Canonical codes for the lengths len[0..maxCode] given the count of codes per length;
// each code is stored bit-reversed, ready for least-significant-first output.
void GenerateCodes(const uint8_t* len, int maxCode, const uint16_t* countPerLength,
                   uint16_t* codes);
