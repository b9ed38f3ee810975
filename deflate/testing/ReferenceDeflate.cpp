// The slow reference engine: each routine does its steps in order, with 16-bit fields
// where the design has them, so that it reads as a direct account of the algorithm.
#include "deflate/testing/ReferenceDeflate.h"

#include <cstring>
#include <vector>

#include "deflate/Deflate.h"

namespace reference {

namespace {

constexpr int kMaxMatch = 258;
constexpr int kMinLookahead = 262;
constexpr int kMaxDist = 32506;
constexpr int kSlideAt = 65274;
constexpr int kTooFar = 4096;
constexpr int kLCodes = 286;
constexpr int kDCodes = 30;
constexpr int kBLCodes = 19;
constexpr int kHeapSize = 573;
constexpr int kEndBlock = 256;

const int kExtraLBits[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                             2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kExtraDBits[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
const int kExtraBLBits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
const uint8_t kBLOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct Config {
  uint16_t good, lazy, nice, chain;
};
const Config kConfig[10] = {{0, 0, 0, 0},       {4, 4, 8, 4},       {4, 5, 16, 8},
                            {4, 6, 32, 32},     {4, 4, 16, 16},     {8, 16, 32, 32},
                            {8, 16, 128, 128},  {8, 32, 128, 256},  {32, 128, 258, 1024},
                            {32, 258, 258, 4096}};

// A tree node: frequency, later the code; parent, later the code length.
struct Node {
  uint16_t fc = 0;
  uint16_t dl = 0;
};

struct TreeDesc {
  Node* tree;
  const Node* fixed;
  const int* extra;
  int extraBase;
  int elems;
  int maxLength;
  int maxCode;
};

uint16_t ReverseBits(unsigned code, int len) {
  unsigned res = 0;
  do {
    res |= code & 1;
    code >>= 1;
    res <<= 1;
  } while (--len > 0);
  return static_cast<uint16_t>(res >> 1);
}

}  // namespace

uint32_t BitwiseCrc(uint32_t reg, const uint8_t* buf, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    reg ^= buf[i];
    for (int k = 0; k < 8; ++k) reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
  }
  return reg;
}

struct TReferenceDeflater::Impl {
  // Run buffers. The window keeps one byte of history before offset 0 (see Slide).
  std::vector<uint8_t> windowStore = std::vector<uint8_t>(65536 + 1, 0);
  uint8_t* window = windowStore.data() + 1;
  std::vector<uint16_t> link = std::vector<uint16_t>(32768, 0);
  std::vector<uint16_t> head = std::vector<uint16_t>(32768, 0);
  std::vector<uint8_t> litBuf = std::vector<uint8_t>(32768, 0);
  std::vector<uint16_t> distBuf = std::vector<uint16_t>(32768, 0);
  std::vector<uint8_t> flagBuf = std::vector<uint8_t>(4096, 0);

  // Per-writer tables.
  bool tablesBuilt = false;
  Node staticLTree[288];
  Node staticDTree[30];
  uint8_t lengthCode[256];
  int baseLength[29];
  uint8_t distCode[512];
  int baseDist[30];
  uint16_t blCount[16];

  // Per-entry state.
  TDeflateIO* io = nullptr;
  TDeflateDecisions* dec = nullptr;
  int level = 0;
  // Bit writer.
  uint16_t bitBuffer = 0;
  int bitCount = 0;
  uint8_t outBuffer[1024];
  uint16_t outCount = 0;
  // Match finder.
  uint16_t pos = 0, avail = 0, matchPos = 0, matchLen = 0, prevLen = 0, prevPos = 0;
  int32_t blockOrigin = 0;
  bool pendingLiteral = false, inputDone = false;
  uint16_t hashKey = 0;
  Config cfg{};
  // Trees and block.
  Node dynLTree[2 * kLCodes + 1];
  Node dynDTree[2 * kDCodes + 1];
  Node blTree[2 * kBLCodes + 1];
  TreeDesc lDesc{}, dDesc{}, blDesc{};
  int heap[kHeapSize];
  int heapLen = 0, heapMax = 0;
  uint8_t depth[kHeapSize];
  uint32_t dynBits = 0, fixedBits = 0;
  uint64_t compressedBits = 0;
  uint16_t symCount = 0, matchCount = 0, flagCount = 0;
  uint8_t flagByte = 0, flagBit = 1;

  // ---- bit writer ----
  void Sink(const uint8_t* buf, size_t n) {
    if (n > 0) io->WriteArchiveData(buf, 1, n);
  }
  void FlushOut() {
    if (outCount > 0) Sink(outBuffer, outCount);
    outCount = 0;
  }
  void OutShort(uint16_t w) {
    if (outCount < 1024 - 1) {
      outBuffer[outCount++] = static_cast<uint8_t>(w & 0xFF);
      outBuffer[outCount++] = static_cast<uint8_t>(w >> 8);
    } else {
      FlushOut();
      outBuffer[outCount++] = static_cast<uint8_t>(w & 0xFF);
      outBuffer[outCount++] = static_cast<uint8_t>(w >> 8);
    }
  }
  void OutByte(uint8_t b) {
    if (outCount >= 1024) FlushOut();
    outBuffer[outCount++] = b;
  }
  void SendBits(uint16_t v, int len) {
    if (bitCount > 16 - len) {
      bitBuffer = static_cast<uint16_t>(bitBuffer | (v << bitCount));
      OutShort(bitBuffer);
      bitBuffer = static_cast<uint16_t>(v >> (16 - bitCount));
      bitCount += len - 16;
    } else {
      bitBuffer = static_cast<uint16_t>(bitBuffer | (v << bitCount));
      bitCount += len;
    }
  }
  void AlignBits() {
    if (bitCount > 8) {
      OutShort(bitBuffer);
    } else if (bitCount > 0) {
      OutByte(static_cast<uint8_t>(bitBuffer & 0xFF));
    }
    FlushOut();
    bitBuffer = 0;
    bitCount = 0;
  }
  void CopyStored(const uint8_t* buf, uint16_t len, bool header) {
    AlignBits();
    if (header) {
      OutShort(len);
      OutShort(static_cast<uint16_t>(~len));
    }
    FlushOut();
    Sink(buf, len);
  }

  // ---- tables ----
  void GenCodes(Node* tree, int maxCode) {
    uint16_t next[16];
    uint16_t code = 0;
    for (int bits = 1; bits <= 15; ++bits) {
      code = static_cast<uint16_t>((code + blCount[bits - 1]) << 1);
      next[bits] = code;
    }
    for (int n = 0; n <= maxCode; ++n) {
      int len = tree[n].dl;
      if (len == 0) continue;
      tree[n].fc = ReverseBits(next[len], len);
      next[len]++;
    }
  }

  void BuildTables() {
    int length = 0;
    int code;
    for (code = 0; code < 28; ++code) {
      baseLength[code] = length;
      for (int n = 0; n < (1 << kExtraLBits[code]); ++n) lengthCode[length++] = static_cast<uint8_t>(code);
    }
    baseLength[28] = 255;
    lengthCode[255] = 28;
    int dist = 0;
    for (code = 0; code < 16; ++code) {
      baseDist[code] = dist;
      for (int n = 0; n < (1 << kExtraDBits[code]); ++n) distCode[dist++] = static_cast<uint8_t>(code);
    }
    dist >>= 7;
    for (; code < kDCodes; ++code) {
      baseDist[code] = dist << 7;
      for (int n = 0; n < (1 << (kExtraDBits[code] - 7)); ++n) distCode[256 + dist++] = static_cast<uint8_t>(code);
    }
    for (auto& c : blCount) c = 0;
    int n = 0;
    while (n <= 143) staticLTree[n++].dl = 8, blCount[8]++;
    while (n <= 255) staticLTree[n++].dl = 9, blCount[9]++;
    while (n <= 279) staticLTree[n++].dl = 7, blCount[7]++;
    while (n <= 287) staticLTree[n++].dl = 8, blCount[8]++;
    GenCodes(staticLTree, 287);
    for (n = 0; n < kDCodes; ++n) {
      staticDTree[n].dl = 5;
      staticDTree[n].fc = ReverseBits(n, 5);
    }
    tablesBuilt = true;
  }

  int DCode(int dist) const { return dist < 256 ? distCode[dist] : distCode[256 + (dist >> 7)]; }

  // ---- blocks ----
  void ResetBlock() {
    for (int n = 0; n < kLCodes; ++n) dynLTree[n].fc = 0;
    for (int n = 0; n < kDCodes; ++n) dynDTree[n].fc = 0;
    for (int n = 0; n < kBLCodes; ++n) blTree[n].fc = 0;
    dynLTree[kEndBlock].fc = 1;
    dynBits = fixedBits = 0;
    symCount = matchCount = flagCount = 0;
    flagByte = 0;
    flagBit = 1;
  }

  bool CtTally(int dist, int value) {
    litBuf[symCount++] = static_cast<uint8_t>(value);
    if (dist == 0) {
      dynLTree[value].fc++;
    } else {
      dist--;
      dynLTree[lengthCode[value] + 257].fc++;
      dynDTree[DCode(dist)].fc++;
      distBuf[matchCount++] = static_cast<uint16_t>(dist);
      flagByte |= flagBit;
    }
    flagBit = static_cast<uint8_t>(flagBit << 1);
    if ((symCount & 7) == 0) {
      flagBuf[flagCount++] = flagByte;
      flagByte = 0;
      flagBit = 1;
    }
    if (level > 2 && (symCount & 0xFFF) == 0) {
      uint32_t estimate = static_cast<uint32_t>(symCount) * 8;
      for (int d = 0; d < kDCodes; ++d) estimate += dynDTree[d].fc * (5u + kExtraDBits[d]);
      estimate >>= 3;
      int32_t input = (static_cast<int32_t>(pos) - blockOrigin) / 2;
      if (matchCount < symCount / 2 && static_cast<int64_t>(estimate) < input) return true;
    }
    return symCount == 32767 || matchCount == 32768;
  }

  void DetectText() {
    uint16_t b = 0, t = 0;
    int n = 0;
    while (n < 7) b = static_cast<uint16_t>(b + dynLTree[n++].fc);
    while (n < 128) t = static_cast<uint16_t>(t + dynLTree[n++].fc);
    while (n < 256) b = static_cast<uint16_t>(b + dynLTree[n++].fc);
    dec->InternalAttributes = b > (t >> 2) ? 0 : 1;
  }

  bool NodeLess(const Node* tree, int n, int m) const {
    return tree[n].fc < tree[m].fc || (tree[n].fc == tree[m].fc && depth[n] <= depth[m]);
  }

  void SiftDown(const Node* tree, int k) {
    int v = heap[k];
    int j = k << 1;
    while (j <= heapLen) {
      if (j < heapLen && NodeLess(tree, heap[j + 1], heap[j])) j++;
      if (NodeLess(tree, v, heap[j])) break;
      heap[k] = heap[j];
      k = j;
      j <<= 1;
    }
    heap[k] = v;
  }

  void LimitLengths(TreeDesc& desc) {
    Node* tree = desc.tree;
    const int L = desc.maxLength;
    for (auto& c : blCount) c = 0;
    tree[heap[heapMax]].dl = 0;
    int overflow = 0;
    int h;
    for (h = heapMax + 1; h < kHeapSize; ++h) {
      int n = heap[h];
      int bits = tree[tree[n].dl].dl + 1;
      if (bits > L) bits = L, overflow++;
      tree[n].dl = static_cast<uint16_t>(bits);
      if (n > desc.maxCode) continue;
      blCount[bits]++;
      int x = n >= desc.extraBase ? desc.extra[n - desc.extraBase] : 0;
      uint32_t f = tree[n].fc;
      dynBits += f * static_cast<uint32_t>(bits + x);
      if (desc.fixed) fixedBits += f * static_cast<uint32_t>(desc.fixed[n].dl + x);
    }
    if (overflow == 0) return;
    do {
      int bits = L - 1;
      while (blCount[bits] == 0) bits--;
      blCount[bits]--;
      blCount[bits + 1] += 2;
      blCount[L]--;
      overflow -= 2;
    } while (overflow > 0);
    h = kHeapSize;
    for (int bits = L; bits != 0; --bits) {
      int k = blCount[bits];
      while (k != 0) {
        int m = heap[--h];
        if (m > desc.maxCode) continue;
        if (tree[m].dl != bits) {
          dynBits += static_cast<uint32_t>((bits - static_cast<int>(tree[m].dl)) * static_cast<int>(tree[m].fc));
          tree[m].dl = static_cast<uint16_t>(bits);
        }
        k--;
      }
    }
  }

  void BuildCode(TreeDesc& desc) {
    Node* tree = desc.tree;
    heapLen = 0;
    heapMax = kHeapSize;
    int maxCode = -1;
    for (int n = 0; n < desc.elems; ++n) {
      if (tree[n].fc != 0) {
        heap[++heapLen] = maxCode = n;
        depth[n] = 0;
      } else {
        tree[n].dl = 0;
      }
    }
    while (heapLen < 2) {
      int nw = heap[++heapLen] = (maxCode < 2 ? ++maxCode : 0);
      tree[nw].fc = 1;
      depth[nw] = 0;
      dynBits--;
      if (desc.fixed) fixedBits -= desc.fixed[nw].dl;
    }
    desc.maxCode = maxCode;
    for (int k = heapLen / 2; k >= 1; --k) SiftDown(tree, k);
    int node = desc.elems;
    do {
      int n = heap[1];
      heap[1] = heap[heapLen--];
      SiftDown(tree, 1);
      int m = heap[1];
      heap[--heapMax] = n;
      heap[--heapMax] = m;
      tree[node].fc = static_cast<uint16_t>(tree[n].fc + tree[m].fc);
      depth[node] = static_cast<uint8_t>((depth[n] >= depth[m] ? depth[n] : depth[m]) + 1);
      tree[n].dl = tree[m].dl = static_cast<uint16_t>(node);
      heap[1] = node++;
      SiftDown(tree, 1);
    } while (heapLen >= 2);
    heap[--heapMax] = heap[1];
    LimitLengths(desc);
    GenCodes(tree, maxCode);
  }

  // Shared walk of tally_lengths and send_tree; send selects which.
  void WalkLengths(Node* tree, int maxCode, bool send) {
    int prevLen = -1;
    int nextLen = tree[0].dl;
    int count = 0;
    int maxCount = 7, minCount = 4;
    if (nextLen == 0) maxCount = 138, minCount = 3;
    if (!send) tree[maxCode + 1].dl = 0xFFFF;
    for (int n = 0; n <= maxCode; ++n) {
      int curLen = nextLen;
      nextLen = tree[n + 1].dl;
      if (++count < maxCount && curLen == nextLen) continue;
      if (count < minCount) {
        if (send) {
          do SendCode(curLen, blTree);
          while (--count != 0);
        } else {
          blTree[curLen].fc = static_cast<uint16_t>(blTree[curLen].fc + count);
        }
      } else if (curLen != 0) {
        if (curLen != prevLen) {
          if (send) SendCode(curLen, blTree); else blTree[curLen].fc++;
          count--;
        }
        if (send) {
          SendCode(16, blTree);
          SendBits(static_cast<uint16_t>(count - 3), 2);
        } else {
          blTree[16].fc++;
        }
      } else if (count <= 10) {
        if (send) {
          SendCode(17, blTree);
          SendBits(static_cast<uint16_t>(count - 3), 3);
        } else {
          blTree[17].fc++;
        }
      } else {
        if (send) {
          SendCode(18, blTree);
          SendBits(static_cast<uint16_t>(count - 11), 7);
        } else {
          blTree[18].fc++;
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

  int BuildLengthCode() {
    WalkLengths(dynLTree, lDesc.maxCode, false);
    WalkLengths(dynDTree, dDesc.maxCode, false);
    BuildCode(blDesc);
    int i;
    for (i = kBLCodes - 1; i >= 3; --i)
      if (blTree[kBLOrder[i]].dl != 0) break;
    if (i < 3) i = 3;
    dynBits += 3 * (i + 1) + 5 + 5 + 4;
    return i;
  }

  void SendCode(int s, const Node* tree) { SendBits(tree[s].fc, tree[s].dl); }

  void SendAllTrees(int lcodes, int dcodes, int blcodes) {
    SendBits(static_cast<uint16_t>(lcodes - 257), 5);
    SendBits(static_cast<uint16_t>(dcodes - 1), 5);
    SendBits(static_cast<uint16_t>(blcodes - 4), 4);
    for (int r = 0; r < blcodes; ++r) SendBits(blTree[kBLOrder[r]].dl, 3);
    WalkLengths(dynLTree, lcodes - 1, true);
    WalkLengths(dynDTree, dcodes - 1, true);
  }

  void CompressBlock(const Node* ltree, const Node* dtree) {
    unsigned lx = 0, dx = 0, fx = 0;
    uint8_t flag = 0;
    if (symCount != 0) {
      do {
        if ((lx & 7) == 0) flag = flagBuf[fx++];
        int lc = litBuf[lx++];
        if ((flag & 1) == 0) {
          SendCode(lc, ltree);
        } else {
          int code = lengthCode[lc];
          SendCode(code + 257, ltree);
          int extra = kExtraLBits[code];
          if (extra != 0) SendBits(static_cast<uint16_t>(lc - baseLength[code]), extra);
          int dist = distBuf[dx++];
          code = DCode(dist);
          SendCode(code, dtree);
          extra = kExtraDBits[code];
          if (extra != 0) SendBits(static_cast<uint16_t>(dist - baseDist[code]), extra);
        }
        flag >>= 1;
      } while (lx < symCount);
    }
    SendCode(kEndBlock, ltree);
  }

  uint64_t EmitBlock(const uint8_t* data, int32_t length, bool last) {
    flagBuf[flagCount] = flagByte;
    if (dec->InternalAttributes == 2) DetectText();
    BuildCode(lDesc);
    BuildCode(dDesc);
    int maxBLIndex = BuildLengthCode();
    uint32_t dynBytes = (dynBits + 3 + 7) >> 3;
    uint32_t fixedBytes = (fixedBits + 3 + 7) >> 3;
    uint32_t best = fixedBytes <= dynBytes ? fixedBytes : dynBytes;
    const uint64_t len = static_cast<uint64_t>(length);
    if (len <= best && last && compressedBits == 0 && data != nullptr) {
      CopyStored(data, static_cast<uint16_t>(length), false);
      compressedBits = len * 8;
      dec->CompressionMethod = 0;
    } else if (len + 4 <= best && data != nullptr) {
      SendBits(static_cast<uint16_t>(0 + (last ? 1 : 0)), 3);
      compressedBits = ((compressedBits + 3 + 7) & ~uint64_t{7}) + (len + 4) * 8;
      CopyStored(data, static_cast<uint16_t>(length), true);
    } else if (fixedBytes == best) {
      SendBits(static_cast<uint16_t>(2 + (last ? 1 : 0)), 3);
      CompressBlock(staticLTree, staticDTree);
      compressedBits += 3 + fixedBits;
    } else {
      SendBits(static_cast<uint16_t>(4 + (last ? 1 : 0)), 3);
      SendAllTrees(lDesc.maxCode + 1, dDesc.maxCode + 1, maxBLIndex + 1);
      CompressBlock(dynLTree, dynDTree);
      compressedBits += 3 + dynBits;
    }
    ResetBlock();
    if (last) {
      std::memset(window, 0, 65535);
      AlignBits();
      compressedBits += 7;
    }
    return compressedBits >> 3;
  }

  uint64_t EmitCurrentBlock(bool last) {
    const uint8_t* data = blockOrigin >= 0 ? window + blockOrigin : nullptr;
    return EmitBlock(data, static_cast<int32_t>(pos) - blockOrigin, last);
  }

  // ---- match finder ----
  void RollHash(uint8_t b) { hashKey = static_cast<uint16_t>(((hashKey << 5) ^ b) & 0x7FFF); }

  uint16_t InsertHash(uint16_t s) {
    RollHash(window[s + 2]);
    uint16_t h = head[hashKey];
    link[s & 0x7FFF] = h;
    head[hashKey] = s;
    return h;
  }

  // The slide also keeps the byte that leaves the window in window[-1], so that a match
  // found just before a slide can still be verified after it.
  void Slide() {
    std::memmove(window - 1, window + 32767, 32769);
    matchPos = static_cast<uint16_t>(matchPos - 32768);
    pos = static_cast<uint16_t>(pos - 32768);
    blockOrigin -= 32768;
    for (auto& v : head) v = v >= 32768 ? static_cast<uint16_t>(v - 32768) : 0;
    for (auto& v : link) v = v >= 32768 ? static_cast<uint16_t>(v - 32768) : 0;
  }

  void RefillWindow() {
    do {
      uint16_t more = static_cast<uint16_t>(65536 - avail - pos);
      if (more == 65535) {
        more = 65534;
      } else if (pos >= kSlideAt) {
        Slide();
        more = static_cast<uint16_t>(more + 32768);
      }
      if (inputDone) return;
      unsigned n = io->ReadEntryData(window + pos + avail, more);
      if (n == 0) {
        inputDone = true;
      } else {
        avail = static_cast<uint16_t>(avail + n);
      }
    } while (avail < kMinLookahead && !inputDone);
  }

  void InitMatcher() {
    std::fill(head.begin(), head.end(), 0);
    cfg = kConfig[level];
    if (level <= 2) {
      dec->GeneralFlags |= 4;
    } else if (level >= 8) {
      dec->GeneralFlags |= 2;
    }
    pos = 0;
    blockOrigin = 0;
    avail = static_cast<uint16_t>(io->ReadEntryData(window, 32768));
    if (avail == 0) {
      inputDone = true;
      avail = 0;
      return;
    }
    inputDone = false;
    if (avail < kMinLookahead) RefillWindow();
    hashKey = 0;
    RollHash(window[0]);
    RollHash(window[1]);
  }

  uint16_t W16(int p) const { return static_cast<uint16_t>(window[p] | (window[p + 1] << 8)); }

  uint16_t MatchSearch(uint16_t cur) {
    unsigned chain = cfg.chain;
    if (prevLen >= cfg.good) chain >>= 2;
    int best = prevLen;
    int limit = pos > kMaxDist ? pos - kMaxDist : 0;
    for (;;) {
      int m = cur;
      if (W16(m + best - 1) == W16(pos + best - 1) && W16(m) == W16(pos)) {
        int len = kMaxMatch;
        for (int off = 3; off < kMaxMatch; off += 2) {
          if (W16(m + off) != W16(pos + off)) {
            len = window[m + off] != window[pos + off] ? off : off + 1;
            break;
          }
        }
        if (len > best) {
          matchPos = static_cast<uint16_t>(m);
          best = len;
          if (len >= cfg.nice) break;
        }
      }
      cur = link[cur & 0x7FFF];
      if (cur <= limit) break;
      if (--chain == 0) break;
    }
    return static_cast<uint16_t>(best);
  }

  void VerifyMatch(uint16_t start, uint16_t m, uint16_t len) {
    int src = start - static_cast<uint16_t>(start - m);
    for (int i = 0; i < len; ++i) {
      if (window[start + i] != window[src + i]) throw EInvalidMatch(start, m, len);
    }
  }

  uint64_t DeflateGreedy() {
    prevLen = 2;
    matchLen = 0;
    while (avail > 0) {
      bool flush;
      uint16_t h = InsertHash(pos);
      if (h != 0 && static_cast<uint16_t>(pos - h) <= kMaxDist) {
        matchLen = MatchSearch(h);
        if (matchLen > avail) matchLen = avail;
      }
      if (matchLen >= 3) {
        VerifyMatch(pos, matchPos, matchLen);
        flush = CtTally(static_cast<uint16_t>(pos - matchPos), matchLen - 3);
        avail = static_cast<uint16_t>(avail - matchLen);
        if (matchLen <= cfg.lazy) {
          for (int i = 0; i < matchLen - 1; ++i) {
            pos++;
            InsertHash(pos);
          }
          pos++;
          matchLen = 0;
        } else {
          pos = static_cast<uint16_t>(pos + matchLen);
          matchLen = 0;
          hashKey = window[pos];
          RollHash(window[pos + 1]);
        }
      } else {
        flush = CtTally(0, window[pos]);
        avail--;
        pos++;
      }
      if (flush) {
        EmitCurrentBlock(false);
        blockOrigin = pos;
      }
      if (avail < kMinLookahead) RefillWindow();
    }
    return EmitCurrentBlock(true);
  }

  uint64_t DeflateLazy() {
    pendingLiteral = false;
    matchLen = 2;
    while (avail > 0) {
      uint16_t h = InsertHash(pos);
      prevLen = matchLen;
      prevPos = matchPos;
      matchLen = 2;
      if (h != 0 && prevLen < cfg.lazy && static_cast<uint16_t>(pos - h) <= kMaxDist) {
        matchLen = MatchSearch(h);
        if (matchLen > avail) matchLen = avail;
        if (matchLen == 3 && static_cast<uint16_t>(pos - matchPos) > kTooFar) matchLen = 2;
      }
      if (prevLen >= 3 && matchLen <= prevLen) {
        VerifyMatch(static_cast<uint16_t>(pos - 1), prevPos, prevLen);
        bool flush = CtTally(static_cast<uint16_t>(pos - 1 - prevPos), prevLen - 3);
        avail = static_cast<uint16_t>(avail - (prevLen - 1));
        for (int i = 0; i < prevLen - 2; ++i) {
          pos++;
          InsertHash(pos);
        }
        pendingLiteral = false;
        matchLen = 2;
        pos++;
        if (flush) {
          EmitCurrentBlock(false);
          blockOrigin = pos;
        }
      } else if (pendingLiteral) {
        if (CtTally(0, window[pos - 1])) {
          EmitCurrentBlock(false);
          blockOrigin = pos;
        }
        pos++;
        avail--;
      } else {
        pendingLiteral = true;
        pos++;
        avail--;
      }
      if (avail < kMinLookahead) RefillWindow();
    }
    if (pendingLiteral) CtTally(0, window[pos - 1]);
    return EmitCurrentBlock(true);
  }

  uint64_t Run(TDeflateIO& sink, int lvl, TDeflateDecisions& d) {
    io = &sink;
    dec = &d;
    level = lvl;
    // ct_init
    if (!tablesBuilt) BuildTables();
    lDesc = {dynLTree, staticLTree, kExtraLBits, 257, kLCodes, 15, 0};
    dDesc = {dynDTree, staticDTree, kExtraDBits, 0, kDCodes, 15, 0};
    blDesc = {blTree, nullptr, kExtraBLBits, 0, kBLCodes, 7, 0};
    compressedBits = 0;
    bitBuffer = 0;
    bitCount = 0;
    outCount = 0;
    ResetBlock();
    matchPos = prevPos = prevLen = matchLen = 0;
    pendingLiteral = false;
    hashKey = 0;
    InitMatcher();
    return level <= 3 ? DeflateGreedy() : DeflateLazy();
  }
};

TReferenceDeflater::TReferenceDeflater() : impl_(std::make_unique<Impl>()) {}
TReferenceDeflater::~TReferenceDeflater() = default;

uint64_t TReferenceDeflater::Deflate(TDeflateIO& io, int level, TDeflateDecisions& decisions) {
  return impl_->Run(io, level, decisions);
}

}  // namespace reference
