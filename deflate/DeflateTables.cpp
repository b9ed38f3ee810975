#include "deflate/DeflateTables.h"

#include "deflate/BitWriter.h"

void GenerateCodes(const uint8_t* len, int maxCode, const uint16_t* countPerLength,
                   uint16_t* codes) {
  uint16_t next[16];
  uint16_t code = 0;
  for (int bits = 1; bits <= 15; ++bits) {
    code = static_cast<uint16_t>((code + countPerLength[bits - 1]) << 1);
    next[bits] = code;
  }
  for (int n = 0; n <= maxCode; ++n) {
    const int l = len[n];
    if (l != 0) codes[n] = reverse_bits(next[l]++, l);
  }
}

TDeflateTables::TDeflateTables() {
  int length = 0;
  int code;
  for (code = 0; code < kLengthCodes - 1; ++code) {
    baseLength[code] = static_cast<uint16_t>(length);
    for (int n = 0; n < (1 << kExtraLengthBits[code]); ++n)
      lengthCode[length++] = static_cast<uint8_t>(code);
  }
  // Length 258 has a code of its own (285) rather than 284 with all extra bits set.
  baseLength[kLengthCodes - 1] = 255;
  lengthCode[255] = kLengthCodes - 1;

  int dist = 0;
  for (code = 0; code < 16; ++code) {
    baseDist[code] = static_cast<uint16_t>(dist);
    for (int n = 0; n < (1 << kExtraDistBits[code]); ++n) distCode[dist++] = static_cast<uint8_t>(code);
  }
  dist >>= 7;  // from here on the map is indexed by (distance - 1) >> 7
  for (; code < kDistCodes; ++code) {
    baseDist[code] = static_cast<uint16_t>(dist << 7);
    for (int n = 0; n < (1 << (kExtraDistBits[code] - 7)); ++n)
      distCode[256 + dist++] = static_cast<uint8_t>(code);
  }

  uint16_t count[16] = {};
  int n = 0;
  while (n <= 143) fixedLitLen[n++] = 8, count[8]++;
  while (n <= 255) fixedLitLen[n++] = 9, count[9]++;
  while (n <= 279) fixedLitLen[n++] = 7, count[7]++;
  while (n <= 287) fixedLitLen[n++] = 8, count[8]++;
  GenerateCodes(fixedLitLen, 287, count, fixedLitCode);
  for (n = 0; n < kDistCodes; ++n) {
    fixedDistLen[n] = 5;
    fixedDistCode[n] = reverse_bits(static_cast<unsigned>(n), 5);
  }
}
