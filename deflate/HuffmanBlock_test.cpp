// The block builder fed directly with symbols: code length limits on skewed frequencies,
// the early end of a block, the symbol limit and the text/binary decision.
#include "deflate/HuffmanBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <queue>
#include <random>

#include "deflate/testing/MemoryIO.h"
#include "deflate/testing/PythonInflate.h"

namespace {

// Longest code of an unlimited Huffman code for these frequencies.
int HuffmanDepth(const std::vector<int>& freq) {
  using Item = std::pair<long, int>;  // weight, depth
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> q;
  for (int f : freq)
    if (f > 0) q.emplace(f, 0);
  while (q.size() > 1) {
    const Item a = q.top();
    q.pop();
    const Item b = q.top();
    q.pop();
    q.emplace(a.first + b.first, std::max(a.second, b.second) + 1);
  }
  return q.top().second;
}

// Reads the header of a dynamic block: the code-length code's lengths, the literal/length
// and distance code lengths, and how often each code-length symbol was used.
struct TDynamicHeader {
  std::vector<int> blLengths = std::vector<int>(19, 0);
  std::vector<int> lengths;  // literal/length then distance
  std::vector<int> blUse = std::vector<int>(19, 0);
  int hlit = 0, hdist = 0;
};

class TBitReader {
 public:
  explicit TBitReader(const std::string& s) : s_(s) {}
  unsigned Bits(int n) {
    unsigned v = 0;
    for (int i = 0; i < n; ++i, ++pos_) {
      if (pos_ / 8 >= s_.size()) throw std::runtime_error("out of data");
      v |= ((static_cast<uint8_t>(s_[pos_ / 8]) >> (pos_ % 8)) & 1u) << i;
    }
    return v;
  }
  // Canonical Huffman decoding, first bit of the code first.
  int Decode(const std::vector<int>& lengths) {
    int code = 0, first = 0;
    for (int len = 1; len <= 15; ++len) {
      code |= static_cast<int>(Bits(1));
      int count = 0;
      for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s] == len) ++count;
      if (code - count < first) {
        int k = code - first;
        for (size_t s = 0; s < lengths.size(); ++s)
          if (lengths[s] == len && k-- == 0) return static_cast<int>(s);
      }
      first = (first + count) << 1;
      code <<= 1;
    }
    throw std::runtime_error("bad code");
  }

 private:
  const std::string& s_;
  size_t pos_ = 0;
};

TDynamicHeader ParseDynamicHeader(const std::string& stream) {
  static const int kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  TBitReader r(stream);
  TDynamicHeader h;
  r.Bits(1);
  if (r.Bits(2) != 2) throw std::runtime_error("not a dynamic block");
  h.hlit = static_cast<int>(r.Bits(5)) + 257;
  h.hdist = static_cast<int>(r.Bits(5)) + 1;
  const int hclen = static_cast<int>(r.Bits(4)) + 4;
  for (int i = 0; i < hclen; ++i) h.blLengths[kOrder[i]] = static_cast<int>(r.Bits(3));
  while (static_cast<int>(h.lengths.size()) < h.hlit + h.hdist) {
    const int sym = r.Decode(h.blLengths);
    h.blUse[sym]++;
    if (sym < 16) {
      h.lengths.push_back(sym);
    } else if (sym == 16) {
      const int prev = h.lengths.back();
      h.lengths.insert(h.lengths.end(), 3 + r.Bits(2), prev);
    } else {
      h.lengths.insert(h.lengths.end(), sym == 17 ? 3 + r.Bits(3) : 11 + r.Bits(7), 0);
    }
  }
  return h;
}

struct TBlockFixture {
  TDeflateTables tables;
  TDeflateBuffers buffers;
  deflate_testing::TMemoryIO io{""};
  TBitWriter writer{io};
  TDeflateDecisions decisions;
  THuffmanBlock block;
  explicit TBlockFixture(int level) : block(tables, buffers, writer, decisions, level) {}
};

// Tallies the literals in a shuffled order, emits one last block without stored data and
// checks that Python inflates it back to them.
void EmitLiterals(TBlockFixture& f, std::vector<uint8_t> literals) {
  std::shuffle(literals.begin(), literals.end(), std::mt19937(5));
  int32_t input = 0;
  for (uint8_t c : literals) ASSERT_FALSE(f.block.TallyLiteral(c, ++input));
  f.block.EmitBlock(nullptr, static_cast<int32_t>(literals.size()), true);
  SKIP_WITHOUT_PYTHON_INFLATE();
  const auto decoded = deflate_testing::PythonInflate(f.io.output);
  EXPECT_TRUE(decoded.ok) << decoded.error;
  EXPECT_TRUE(decoded.data == std::string(literals.begin(), literals.end()));
}

TEST(HuffmanBlock, LiteralCodesAreLimitedTo15Bits) {
  // Fibonacci-like frequencies 1, 2, 3, 5, ... (no ties to balance the tree): an unlimited
  // Huffman code would be 20 bits deep.
  std::vector<uint8_t> literals;
  std::vector<int> freq(257, 0);
  int a = 1, b = 2;
  for (int s = 0; s < 20; ++s) {
    literals.insert(literals.end(), a, static_cast<uint8_t>(s));
    freq[s] = a;
    const int next = a + b;
    a = b;
    b = next;
  }
  freq[256] = 1;
  ASSERT_GT(HuffmanDepth(freq), 15);
  TBlockFixture f(6);
  EmitLiterals(f, literals);
  const TDynamicHeader h = ParseDynamicHeader(f.io.output);
  EXPECT_EQ(*std::max_element(h.lengths.begin(), h.lengths.end()), 15);
}

TEST(HuffmanBlock, CodeLengthCodesAreLimitedTo7Bits) {
  // Literal code lengths whose counts (index = length) are skewed enough that the code
  // for them would need 9 bits; frequencies 2^(14 - length) give exactly these lengths.
  const int count[15] = {0, 1, 0, 1, 3, 1, 5, 1, 2, 10, 10, 21, 38, 60, 104};
  int left[15];
  std::copy(std::begin(count), std::end(count), left);
  left[14]--;  // the end-of-block symbol (frequency 1) takes one of the 14-bit codes
  // Symbol order with no two neighbours of equal length, so no length is run-coded.
  std::vector<int> order;
  int prev = 14;  // the end-of-block symbol comes last
  for (int s = 255; s >= 0; --s) {
    int pick = -1;
    for (int len = 1; len <= 14; ++len)
      if (len != prev && left[len] > 0 && (pick < 0 || left[len] > left[pick])) pick = len;
    ASSERT_GE(pick, 0);
    left[pick]--;
    order.insert(order.begin(), pick);
    prev = pick;
  }
  std::vector<uint8_t> literals;
  for (int s = 0; s < 256; ++s) literals.insert(literals.end(), 1 << (14 - order[s]), static_cast<uint8_t>(s));
  TBlockFixture f(6);
  EmitLiterals(f, literals);
  const TDynamicHeader h = ParseDynamicHeader(f.io.output);
  for (int s = 0; s < 256; ++s) ASSERT_EQ(h.lengths[s], order[s]) << s;
  EXPECT_GT(HuffmanDepth(h.blUse), 7) << "the case needs the limit";
  EXPECT_EQ(*std::max_element(h.blLengths.begin(), h.blLengths.end()), 7);
}

TEST(HuffmanBlock, BlockWithOnlyEndOfBlock) {
  TBlockFixture f(6);
  f.block.EmitBlock(nullptr, 0, true);
  EXPECT_EQ(f.decisions.InternalAttributes, 1) << "an empty entry counts as text";
  SKIP_WITHOUT_PYTHON_INFLATE();
  const auto decoded = deflate_testing::PythonInflate(f.io.output);
  ASSERT_TRUE(decoded.ok) << decoded.error;
  EXPECT_TRUE(decoded.data.empty());
}

TEST(HuffmanBlock, EarlyEndOnlyAboveLevel2AndWhenMostSymbolsAreLiterals) {
  struct TCase {
    int level;
    int matches;       // of the 4096 symbols, matches of length 258 at distance 1
    int32_t input;     // block input so far
    bool ends;
  };
  const TCase cases[] = {
      {6, 2000, 600000, true},   {3, 2000, 600000, true},  {2, 2000, 600000, false},
      {1, 2000, 600000, false},  {6, 2048, 600000, false}, {6, 2000, 10692, false},
      {6, 2000, 10694, true},
  };
  for (const TCase& c : cases) {
    TBlockFixture f(c.level);
    bool ended = false;
    for (int i = 0; i < 4096; ++i) {
      const bool r = i < c.matches ? f.block.TallyMatch(1, 255, c.input) : f.block.TallyLiteral('x', c.input);
      if (i < 4095) {
        ASSERT_FALSE(r) << "only every 4096 symbols";
      }
      ended = r;
    }
    EXPECT_EQ(ended, c.ends) << "level " << c.level << " matches " << c.matches << " input " << c.input;
  }
}

TEST(HuffmanBlock, BlockEndsAt32767Symbols) {
  TBlockFixture f(1);
  for (int i = 0; i < 32766; ++i) ASSERT_FALSE(f.block.TallyLiteral(static_cast<uint8_t>(i), 1 << 30));
  EXPECT_TRUE(f.block.TallyLiteral('x', 1 << 30));
}

TEST(HuffmanBlock, TextWhenBinaryBytesAreAtMostAQuarterOfTextBytes) {
  for (int binary : {100, 101}) {
    TBlockFixture f(6);
    for (int i = 0; i < 400; ++i) f.block.TallyLiteral('a' + i % 26, 1000);
    for (int i = 0; i < binary; ++i) f.block.TallyLiteral(i % 2 ? 0x01 : 0xC8, 1000);
    f.block.EmitBlock(nullptr, 400 + binary, true);
    EXPECT_EQ(f.decisions.InternalAttributes, binary == 100 ? 1 : 0) << binary;
  }
}

}  // namespace
