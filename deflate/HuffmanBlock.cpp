#include "deflate/HuffmanBlock.h"

#include <cstring>

#include "deflate/Deflate.h"

THuffmanBlock::THuffmanBlock(const TDeflateTables& tables, TDeflateBuffers& buffers,
                             TBitWriter& writer, TDeflateDecisions& decisions, int level)
    : tables_(tables),
      writer_(writer),
      decisions_(decisions),
      level_(level),
      window_(buffers.Window()),
      symbols_(buffers.SymbolBuffer()) {
  static const uint8_t kFixedDistLen[kDistCodes] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,
                                                    5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
  litTree_ = {litFreq_, litDad_, litLen_, litCode_, tables.fixedLitLen, kExtraLengthBits,
              kEndBlock + 1, kLitLenSymbols, 15, 0};
  distTree_ = {distFreq_, distDad_, distLen_, distCode_, kFixedDistLen, kExtraDistBits,
               0, kDistCodes, 15, 0};
  blTree_ = {blFreq_, blDad_, blLen_, blCode_, nullptr, kExtraBitLengthBits,
             0, kBitLengthSymbols, 7, 0};
  std::memset(litFreq_, 0, sizeof litFreq_);
  std::memset(litDad_, 0, sizeof litDad_);
  std::memset(litLen_, 0, sizeof litLen_);
  std::memset(distFreq_, 0, sizeof distFreq_);
  std::memset(distDad_, 0, sizeof distDad_);
  std::memset(distLen_, 0, sizeof distLen_);
  std::memset(blFreq_, 0, sizeof blFreq_);
  std::memset(blDad_, 0, sizeof blDad_);
  std::memset(blLen_, 0, sizeof blLen_);
  std::memset(depth_, 0, sizeof depth_);
  std::memset(litCode_, 0, sizeof litCode_);
  std::memset(distCode_, 0, sizeof distCode_);
  std::memset(blCode_, 0, sizeof blCode_);
  ResetBlock();
}

void THuffmanBlock::ResetBlock() {
  std::memset(litFreq_, 0, kLitLenSymbols * sizeof(uint16_t));
  std::memset(distFreq_, 0, kDistCodes * sizeof(uint16_t));
  std::memset(blFreq_, 0, kBitLengthSymbols * sizeof(uint16_t));
  litFreq_[kEndBlock] = 1;
  dynBits_ = fixedBits_ = 0;
  symCount_ = matchCount_ = 0;
}

// The block ends early when most of its symbols are literals and its coded size,
// estimated from 8 bits per symbol plus the distance bits, is below half of its input.
bool THuffmanBlock::EarlyEnd(int32_t blockInput) const {
  uint32_t estimate = static_cast<uint32_t>(symCount_ * 8);
  for (int d = 0; d < kDistCodes; ++d) estimate += distFreq_[d] * (5u + kExtraDistBits[d]);
  estimate >>= 3;
  return matchCount_ < symCount_ / 2 && static_cast<int64_t>(estimate) < blockInput / 2;
}

// Text when the bytes 0-6 and 128-255 make up at most a quarter of the bytes 7-127.
void THuffmanBlock::DetectText() {
  uint16_t binary = 0, text = 0;
  int n = 0;
  while (n < 7) binary = static_cast<uint16_t>(binary + litFreq_[n++]);
  while (n < 128) text = static_cast<uint16_t>(text + litFreq_[n++]);
  while (n < 256) binary = static_cast<uint16_t>(binary + litFreq_[n++]);
  decisions_.InternalAttributes = binary > (text >> 2) ? 0 : 1;
}

void THuffmanBlock::SiftDown(const uint16_t* freq, int k) {
  const int v = heap_[k];
  int j = k << 1;
  while (j <= heapLen_) {
    if (j < heapLen_ && NodeLess(freq, heap_[j + 1], heap_[j])) j++;
    if (NodeLess(freq, v, heap_[j])) break;
    heap_[k] = heap_[j];
    k = j;
    j <<= 1;
  }
  heap_[k] = v;
}

// Huffman construction over the tree's leaves; the merged nodes are listed from the top
// of heap_ downwards (root first), which LimitLengths walks.
void THuffmanBlock::BuildCode(Tree& t) {
  heapLen_ = 0;
  heapMax_ = kHeapSize;
  int maxCode = -1;
  for (int n = 0; n < t.elems; ++n) {
    if (t.freq[n] != 0) {
      heap_[++heapLen_] = maxCode = n;
      depth_[n] = 0;
    } else {
      t.len[n] = 0;
    }
  }
  // At least two codes, so that every code has at least one bit; the added symbols cost
  // nothing, which the bit counts take back.
  while (heapLen_ < 2) {
    const int added = heap_[++heapLen_] = (maxCode < 2 ? ++maxCode : 0);
    t.freq[added] = 1;
    depth_[added] = 0;
    dynBits_--;
    if (t.fixedLen) fixedBits_ -= t.fixedLen[added];
  }
  t.maxCode = maxCode;
  for (int k = heapLen_ / 2; k >= 1; --k) SiftDown(t.freq, k);
  int node = t.elems;
  do {
    const int n = heap_[1];
    heap_[1] = heap_[heapLen_--];
    SiftDown(t.freq, 1);
    const int m = heap_[1];
    heap_[--heapMax_] = n;
    heap_[--heapMax_] = m;
    t.freq[node] = static_cast<uint16_t>(t.freq[n] + t.freq[m]);
    depth_[node] = static_cast<uint8_t>((depth_[n] >= depth_[m] ? depth_[n] : depth_[m]) + 1);
    t.dad[n] = t.dad[m] = static_cast<uint16_t>(node);
    heap_[1] = node++;
    SiftDown(t.freq, 1);
  } while (heapLen_ >= 2);
  heap_[--heapMax_] = heap_[1];
  LimitLengths(t);

  uint8_t len8[kLitLenSymbols];
  for (int n = 0; n <= maxCode; ++n) len8[n] = static_cast<uint8_t>(t.len[n]);
  GenerateCodes(len8, maxCode, countPerLength_, t.code);
}

// Lengths from the tree, cut to the tree's limit; when cut, the counts per length are
// repaired so the code stays complete and the lengths are handed out again by frequency.
void THuffmanBlock::LimitLengths(Tree& t) {
  const int limit = t.maxLength;
  std::memset(countPerLength_, 0, sizeof countPerLength_);
  t.len[heap_[heapMax_]] = 0;
  int overflow = 0;
  int h;
  for (h = heapMax_ + 1; h < kHeapSize; ++h) {
    const int n = heap_[h];
    int bits = t.len[t.dad[n]] + 1;
    if (bits > limit) bits = limit, overflow++;
    t.len[n] = static_cast<uint16_t>(bits);
    if (n > t.maxCode) continue;
    countPerLength_[bits]++;
    const int x = n >= t.extraBase ? t.extra[n - t.extraBase] : 0;
    const uint32_t f = t.freq[n];
    dynBits_ += f * static_cast<uint32_t>(bits + x);
    if (t.fixedLen) fixedBits_ += f * static_cast<uint32_t>(t.fixedLen[n] + x);
  }
  if (overflow == 0) return;
  do {
    int bits = limit - 1;
    while (countPerLength_[bits] == 0) bits--;
    countPerLength_[bits]--;
    countPerLength_[bits + 1] += 2;
    countPerLength_[limit]--;
    overflow -= 2;
  } while (overflow > 0);
  h = kHeapSize;
  for (int bits = limit; bits != 0; --bits) {
    int k = countPerLength_[bits];
    while (k != 0) {
      const int m = heap_[--h];
      if (m > t.maxCode) continue;
      if (t.len[m] != bits) {
        dynBits_ += static_cast<uint32_t>((bits - static_cast<int>(t.len[m])) *
                                          static_cast<int>(t.freq[m]));
        t.len[m] = static_cast<uint16_t>(bits);
      }
      k--;
    }
  }
}

// The run-length walk over the code lengths 0..maxCode: with send false it counts the
// code-length symbols into the code-length tree, with send true it writes them.
void THuffmanBlock::WalkLengths(Tree& t, int maxCode, bool send) {
  auto sendCode = [this](int s) { writer_.send_bits(blCode_[s], blLen_[s]); };
  int prevLen = -1;
  int nextLen = t.len[0];
  int count = 0;
  int maxCount = 7, minCount = 4;
  if (nextLen == 0) maxCount = 138, minCount = 3;
  if (!send) t.len[maxCode + 1] = 0xFFFF;  // end marker: equals no real length
  for (int n = 0; n <= maxCode; ++n) {
    const int curLen = nextLen;
    nextLen = t.len[n + 1];
    if (++count < maxCount && curLen == nextLen) continue;
    if (count < minCount) {
      if (send) {
        do sendCode(curLen);
        while (--count != 0);
      } else {
        blFreq_[curLen] = static_cast<uint16_t>(blFreq_[curLen] + count);
      }
    } else if (curLen != 0) {
      if (curLen != prevLen) {
        if (send) sendCode(curLen); else blFreq_[curLen]++;
        count--;
      }
      if (send) {
        sendCode(16);
        writer_.send_bits(static_cast<uint32_t>(count - 3), 2);
      } else {
        blFreq_[16]++;
      }
    } else if (count <= 10) {
      if (send) {
        sendCode(17);
        writer_.send_bits(static_cast<uint32_t>(count - 3), 3);
      } else {
        blFreq_[17]++;
      }
    } else {
      if (send) {
        sendCode(18);
        writer_.send_bits(static_cast<uint32_t>(count - 11), 7);
      } else {
        blFreq_[18]++;
      }
    }
    count = 0;
    prevLen = curLen;
    if (nextLen == 0) {
      maxCount = 138, minCount = 3;
    } else if (curLen == nextLen) {
      maxCount = 6, minCount = 3;
    } else {
      maxCount = 7, minCount = 4;
    }
  }
}

int THuffmanBlock::BuildLengthCode() {
  WalkLengths(litTree_, litTree_.maxCode, false);
  WalkLengths(distTree_, distTree_.maxCode, false);
  BuildCode(blTree_);
  int last;
  for (last = kBitLengthSymbols - 1; last >= 3; --last)
    if (blLen_[kBitLengthOrder[last]] != 0) break;
  if (last < 3) last = 3;
  dynBits_ += 3 * (last + 1) + 5 + 5 + 4;
  return last;
}

void THuffmanBlock::SendAllTrees(int lcodes, int dcodes, int blcodes) {
  writer_.send_bits(static_cast<uint32_t>(lcodes - 257), 5);
  writer_.send_bits(static_cast<uint32_t>(dcodes - 1), 5);
  writer_.send_bits(static_cast<uint32_t>(blcodes - 4), 4);
  for (int r = 0; r < blcodes; ++r) writer_.send_bits(blLen_[kBitLengthOrder[r]], 3);
  WalkLengths(litTree_, lcodes - 1, true);
  WalkLengths(distTree_, dcodes - 1, true);
}

// Codes the block's symbols. A match goes out as one write of up to 48 bits: its length
// code, the length's extra bits, its distance code and the distance's extra bits.
void THuffmanBlock::CompressBlock(const uint16_t* litCode, const uint8_t* litLen,
                                  const uint16_t* distCode, const uint8_t* distLen) {
  // Per block: the low 9 bits of a symbol word (a literal byte, or kMatchFlag with length
  // - 3) -> the code of the literal or of the length joined with the length's extra bits
  // (low 24 bits), and their bit count (high 8 bits). Every symbol starts with this code.
  uint32_t head[2 * 256];
  for (int c = 0; c < 256; ++c) head[c] = litCode[c] | (static_cast<uint32_t>(litLen[c]) << 24);
  for (int lc = 0; lc < 256; ++lc) {
    const int code = tables_.lengthCode[lc];
    const int sym = code + kEndBlock + 1;
    const uint32_t bits = litLen[sym] + kExtraLengthBits[code];
    head[256 + lc] = litCode[sym] | (static_cast<uint32_t>(lc - tables_.baseLength[code]) << litLen[sym]) |
                     (bits << 24);
  }
  // Per block: distance code -> its code, the shift of its extra bits, their base and the
  // bits of both.
  uint32_t distHead[kDistCodes], distShift[kDistCodes], distBase[kDistCodes], distBits[kDistCodes];
  for (int code = 0; code < kDistCodes; ++code) {
    distHead[code] = distCode[code];
    distShift[code] = distLen[code];
    distBase[code] = tables_.baseDist[code];
    distBits[code] = static_cast<uint32_t>(distLen[code] + kExtraDistBits[code]);
  }
  // The loop reads only locals: the run's byte stores may alias any field of this object,
  // which would otherwise be reloaded after every code.
  const uint32_t* const symbols = symbols_;
  const size_t count = symCount_;
  TBitWriter::TRun run(writer_);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t sym = symbols[i];
    const uint32_t first = head[sym & 0x1FF];
    const unsigned firstBits = first >> 24;
    if (sym >= kMatchFlag) {
      const unsigned code = (sym >> kCodeShift) & 0x1F;
      const unsigned dist = sym >> kDistShift;
      const uint64_t second = distHead[code] | ((dist - distBase[code]) << distShift[code]);
      run.Send((first & 0xFFFFFF) | (second << firstBits), firstBits + distBits[code]);
    } else {
      run.Send(first & 0xFFFFFF, firstBits);
    }
  }
  run.Send(litCode[kEndBlock], litLen[kEndBlock]);
}

void THuffmanBlock::CheckSize(uint64_t bits) const {
  if (((bits + 7) >> 3) > 0xFFFFFFFFull) throw ECompressedSizeLimit();
}

uint64_t THuffmanBlock::EmitBlock(const uint8_t* data, int32_t length, bool last) {
  if (decisions_.InternalAttributes == 2) DetectText();
  BuildCode(litTree_);
  BuildCode(distTree_);
  const int lastBLIndex = BuildLengthCode();
  const uint32_t dynBytes = (dynBits_ + 3 + 7) >> 3;
  const uint32_t fixedBytes = (fixedBits_ + 3 + 7) >> 3;
  const uint32_t best = fixedBytes <= dynBytes ? fixedBytes : dynBytes;
  const uint64_t len = static_cast<uint64_t>(length);

  if (len <= best && last && compressedBits_ == 0 && data != nullptr) {
    // The whole entry stored: its bytes as they are, without any Deflate framing.
    writer_.copy_stored(data, static_cast<uint16_t>(length), false);
    compressedBits_ = len * 8;
    decisions_.CompressionMethod = 0;
  } else if (len + 4 <= best && data != nullptr) {
    const uint64_t bits = ((compressedBits_ + 3 + 7) & ~uint64_t{7}) + (len + 4) * 8;
    CheckSize(bits);
    writer_.send_bits(last ? 1 : 0, 3);
    compressedBits_ = bits;
    writer_.copy_stored(data, static_cast<uint16_t>(length), true);
  } else if (fixedBytes == best) {
    const uint64_t bits = compressedBits_ + 3 + fixedBits_;
    CheckSize(bits);
    writer_.send_bits(2 + (last ? 1 : 0), 3);
    CompressBlock(tables_.fixedLitCode, tables_.fixedLitLen, tables_.fixedDistCode,
                  tables_.fixedDistLen);
    compressedBits_ = bits;
  } else {
    const uint64_t bits = compressedBits_ + 3 + dynBits_;
    CheckSize(bits);
    writer_.send_bits(4 + (last ? 1 : 0), 3);
    SendAllTrees(litTree_.maxCode + 1, distTree_.maxCode + 1, lastBLIndex + 1);
    uint8_t litLen8[kLitLenSymbols];
    uint8_t distLen8[kDistCodes];
    for (int n = 0; n < kLitLenSymbols; ++n) litLen8[n] = n <= litTree_.maxCode ? static_cast<uint8_t>(litLen_[n]) : 0;
    for (int n = 0; n < kDistCodes; ++n) distLen8[n] = n <= distTree_.maxCode ? static_cast<uint8_t>(distLen_[n]) : 0;
    CompressBlock(litCode_, litLen8, distCode_, distLen8);
    compressedBits_ = bits;
  }
  ResetBlock();
  if (last) {
    // Zero all of the window but its last byte, so that what a search reads beyond the
    // next entry's input is zeros or that entry's own bytes.
    std::memset(window_, 0, 65535);
    writer_.align_bits();
    compressedBits_ += 7;
  }
  return compressedBits_ >> 3;
}
