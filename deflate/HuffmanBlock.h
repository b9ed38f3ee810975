// The block builder of the Deflate engine: records the literals and matches of the current
// block with their frequencies (the tally), and when the block ends builds its Huffman
// codes and writes it as a stored, fixed-code or dynamic-code block, or at the end of a
// one-block entry stores the entry whole.
#pragma once

#include <cstddef>
#include <cstdint>

#include "deflate/BitWriter.h"
#include "deflate/DeflateBuffers.h"
#include "deflate/DeflateIO.h"
#include "deflate/DeflateTables.h"

class THuffmanBlock {
 public:
  static constexpr unsigned kMaxSymbols = 32767;
  static constexpr unsigned kMaxMatches = 32768;

  THuffmanBlock(const TDeflateTables& tables, TDeflateBuffers& buffers, TBitWriter& writer,
                TDeflateDecisions& decisions, int level);
  THuffmanBlock(const THuffmanBlock&) = delete;
  THuffmanBlock& operator=(const THuffmanBlock&) = delete;

  // Record a literal, or a match (distance 1..32768, length - 3). blockInput is the number
  // of input bytes the block covers so far (for the early-end estimate). True when the
  // block should end now.
  inline bool TallyLiteral(unsigned c, int32_t blockInput) {
    symbols_[symCount_++] = c;
    ++litFreq_[c];
    return EndSymbol(blockInput);
  }
  inline bool TallyMatch(unsigned dist, unsigned lengthMinus3, int32_t blockInput) {
    --dist;
    const unsigned code = static_cast<unsigned>(tables_.DistCode(dist));
    symbols_[symCount_++] = kMatchFlag | lengthMinus3 | (code << kCodeShift) | (dist << kDistShift);
    ++matchCount_;
    ++litFreq_[tables_.lengthCode[lengthMinus3] + kEndBlock + 1];
    ++distFreq_[code];
    return EndSymbol(blockInput);
  }

  // Writes the block (data: its bytes in the window, or null when they have slid out;
  // length: its input bytes) and returns the entry's compressed size so far in bytes.
  // Raises ECompressedSizeLimit before writing a block that would take the entry to 4 GiB.
  uint64_t EmitBlock(const uint8_t* data, int32_t length, bool last);

 private:
  static constexpr int kHeapSize = 2 * kLitLenSymbols + 1;
  // A symbol word: a literal is its byte; a match is length - 3 in the low 8 bits with
  // kMatchFlag set, its distance code (0 to 29) from bit kCodeShift on, and distance - 1
  // from bit kDistShift on. One word per symbol saves the separate flag bits and distance
  // buffer: one store to tally, one load to write; and the code that the tally looked up
  // for the frequencies is not looked up again to write the block.
  static constexpr uint32_t kMatchFlag = 0x100;
  static constexpr unsigned kCodeShift = 9;
  static constexpr unsigned kDistShift = 16;

  // One Huffman tree under construction: frequencies, parents and then lengths, codes.
  struct Tree {
    uint16_t* freq;
    uint16_t* dad;
    uint16_t* len;
    uint16_t* code;
    const uint8_t* fixedLen;  // null for the code-length tree
    const uint8_t* extra;
    int extraBase;
    int elems;
    int maxLength;
    int maxCode;
  };

  // The block can end only after a multiple of 4096 symbols (the early end) or after
  // kMaxSymbols (32767, one short of a multiple); one test per symbol rules out all others.
  inline bool EndSymbol(int32_t blockInput) {
    if (((symCount_ + 1) & 0xFFF) > 1) return false;
    if ((symCount_ & 0xFFF) == 0 && level_ > 2 && EarlyEnd(blockInput)) return true;
    return symCount_ == kMaxSymbols;  // matchCount_ <= symCount_ never reaches kMaxMatches
  }
  bool EarlyEnd(int32_t blockInput) const;

  void ResetBlock();
  void DetectText();
  bool NodeLess(const uint16_t* freq, int n, int m) const {
    return freq[n] < freq[m] || (freq[n] == freq[m] && depth_[n] <= depth_[m]);
  }
  void SiftDown(const uint16_t* freq, int k);
  void BuildCode(Tree& tree);
  void LimitLengths(Tree& tree);
  void WalkLengths(Tree& tree, int maxCode, bool send);
  int BuildLengthCode();
  void SendAllTrees(int lcodes, int dcodes, int blcodes);
  void CompressBlock(const uint16_t* litCode, const uint8_t* litLen, const uint16_t* distCode,
                     const uint8_t* distLen);
  void CheckSize(uint64_t bits) const;

  const TDeflateTables& tables_;
  TBitWriter& writer_;
  TDeflateDecisions& decisions_;
  const int level_;
  uint8_t* const window_;
  uint32_t* const symbols_;

  // size_t, not unsigned: a store of a 32-bit symbol word cannot change them, so the tally
  // keeps them in registers instead of reloading them after every store.
  size_t symCount_ = 0;
  size_t matchCount_ = 0;
  uint32_t dynBits_ = 0;    // the block's size with dynamic codes (modulo 2^32)
  uint32_t fixedBits_ = 0;  // and with the fixed codes
  uint64_t compressedBits_ = 0;

  uint16_t litFreq_[kHeapSize];
  uint16_t litDad_[kHeapSize];
  uint16_t litLen_[kHeapSize];
  uint16_t litCode_[kLitLenSymbols];
  uint16_t distFreq_[2 * kDistCodes + 1];
  uint16_t distDad_[2 * kDistCodes + 1];
  uint16_t distLen_[2 * kDistCodes + 1];
  uint16_t distCode_[kDistCodes];
  uint16_t blFreq_[2 * kBitLengthSymbols + 1];
  uint16_t blDad_[2 * kBitLengthSymbols + 1];
  uint16_t blLen_[2 * kBitLengthSymbols + 1];
  uint16_t blCode_[kBitLengthSymbols];
  Tree litTree_, distTree_, blTree_;

  uint16_t countPerLength_[16] = {};
  int heap_[kHeapSize];
  int heapLen_ = 0;
  int heapMax_ = 0;
  uint8_t depth_[kHeapSize];
};
