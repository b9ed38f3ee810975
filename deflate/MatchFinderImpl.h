// The match finder and the driver loops of the Deflate engine (a 64 KiB window that
// slides by 32 KiB, hash chains over 3-byte strings, greedy or lazy parse), written once
// and compiled by two translation units: MatchFinderPortable.cpp for any processor and
// MatchFinderAvx2.cpp for x86-64 processors with AVX2 and BMI2. Include only there.
//
// REQUIRES: the includer defines TAVELO_MATCHER_NS, the namespace that keeps its copy's
// symbols apart from the other copy's, and TAVELO_MATCHER_AVX2 for the AVX2 build.
#pragma once

#include <cstdint>
#include <cstring>

#include "deflate/Deflate.h"
#include "deflate/DeflateTables.h"
#include "deflate/HuffmanBlock.h"

#if defined(TAVELO_MATCHER_AVX2)
#include <immintrin.h>
#endif

namespace TAVELO_MATCHER_NS {


constexpr unsigned kMaxMatch = 258;
constexpr unsigned kMinLookahead = 262;  // 258 + 3 + 1
constexpr unsigned kMaxDist = 32506;     // 32768 - 262
constexpr unsigned kSlideAt = 65274;     // 32768 + 32506
constexpr unsigned kTooFar = 4096;
constexpr unsigned kFirstRead = 32768;
constexpr unsigned kHashMask = 0x7FFF;
// Levels whose chains are at least this long keep the extra chains (LongestMatch): they
// cost time at every insertion and pay off only on long walks.
constexpr unsigned kExtraChainsFrom = 16;

// The catch-up chains (TLongChain) that a level keeps besides the 8-byte one, as bits.
constexpr unsigned kLong6 = 1, kLong10 = 2, kLong12 = 4, kLong16 = 8;
// A chain pays for itself when enough walk steps meet candidates that share its length
// minus one or two bytes while best already needs more: on real Gerber data, most steps
// of a level 6 walk along the 8-byte chain met candidates sharing 8 to 11 bytes with best
// at 11 to 15. The 12-byte chain pays off from level 6 on (a fifth faster there); the 6-,
// 10- and 16-byte chains only on the longest walks (levels 8 and 9, where they gained
// another tenth; at levels 6 and 7 they cost more to keep than they saved).
constexpr unsigned kChainSet[10] = {0,       0,       0,       0,       0,       0,
                                    kLong12, kLong12, kLong6 | kLong10 | kLong12 | kLong16,
                                    kLong6 | kLong10 | kLong12 | kLong16};
static_assert(kChainSet[4] == kChainSet[5] && kChainSet[6] == kChainSet[7] &&
                  kChainSet[8] == kChainSet[9],
              "TMatchFinder::Run builds one loop for each pair of levels");

// The length of the chain that follows the n-byte one in a set (0: none). The 4- and
// 8-byte chains are always there.
constexpr unsigned NextChainAfter(unsigned set, unsigned n) {
  if (n < 6 && (set & kLong6)) return 6;
  if (n < 8) return 8;
  if (n < 10 && (set & kLong10)) return 10;
  if (n < 12 && (set & kLong12)) return 12;
  if (n < 16 && (set & kLong16)) return 16;
  return 0;
}
// A walk along the n-byte chain goes on while best is below this: from then on the next
// chain holds every candidate that can still beat best.
constexpr unsigned WalkUntil(unsigned set, unsigned n) {
  const unsigned next = NextChainAfter(set, n);
  return next != 0 ? next - 1 : ~0u;
}

struct Config {
  unsigned good, lazy, nice, chain;
};
constexpr Config kConfig[10] = {{0, 0, 0, 0},      {4, 4, 8, 4},       {4, 5, 16, 8},
                                {4, 6, 32, 32},    {4, 4, 16, 16},     {8, 16, 32, 32},
                                {8, 16, 128, 128}, {8, 32, 128, 256},  {32, 128, 258, 1024},
                                {32, 258, 258, 4096}};

inline uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Length of the match of b against a, judged from offset 3 on (the first three bytes are
// known equal): the offset of the first differing byte, at most 258. Both versions read
// the same bytes at most (up to offset 258) and give the same result.
#if defined(TAVELO_MATCHER_AVX2)
// 32 bytes per step: one compare and one mask instead of four 8-byte steps; the lowest
// clear bit of the equality mask is the first difference. Most candidates differ within
// their first 8 bytes, and a plain 8-byte compare settles those sooner (level 1 about 3%
// faster); the 32-byte steps then start again from offset 3, so that the last one ends at
// offset 258 as before.
inline unsigned MatchLength(const uint8_t* a, const uint8_t* b) {
  const uint64_t first = Load64(a + 3) ^ Load64(b + 3);
  if (first != 0) return 3 + (static_cast<unsigned>(_tzcnt_u64(first)) >> 3);
  for (unsigned off = 3; off < kMaxMatch; off += 32) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + off));
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + off));
    const uint32_t differ = ~static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, y)));
    if (differ != 0) return off + static_cast<unsigned>(_tzcnt_u32(differ));
  }
  return kMaxMatch;
}
#else
// Eight bytes per step; the lowest set bit of the XOR locates the first difference on a
// little-endian host.
inline unsigned MatchLength(const uint8_t* a, const uint8_t* b) {
  for (unsigned off = 3; off < kMaxMatch; off += 8) {
    const uint64_t x = Load64(a + off) ^ Load64(b + off);
    if (x != 0) return off + (static_cast<unsigned>(__builtin_ctzll(x)) >> 3);
  }
  return kMaxMatch;
}
#endif

// Whether the len bytes (3 to 258) at a and b are equal: whole words, the last one
// overlapping the one before, instead of a library call for a few bytes.
inline bool SameBytes(const uint8_t* a, const uint8_t* b, unsigned len) {
  if (len >= 8) {
    for (unsigned i = 0; i + 8 < len; i += 8)
      if (Load64(a + i) != Load64(b + i)) return false;
    return Load64(a + len - 8) == Load64(b + len - 8);
  }
  if (len >= 4) return Load32(a) == Load32(b) && Load32(a + len - 4) == Load32(b + len - 4);
  return Load16(a) == Load16(b) && Load16(a + len - 2) == Load16(b + len - 2);
}

// The tables that Insert writes, held by value so that a loop can keep them in registers.
// Without the extra chains the 3-byte chain's heads are head; with them, bucket3 holds in
// one word a 3-byte hash's head (low half) and its count of insertions (high half), which
// is the rank of the next position inserted under that hash.
struct TChains {
  const uint8_t* window;
  uint16_t* head;
  uint16_t* link;
  uint32_t* bucket3;
  uint16_t* head4;
  uint32_t* chain4;

  template <bool kExtra>
  inline unsigned Insert(unsigned s, unsigned key) const {
    if constexpr (!kExtra) {
      const unsigned h = head[key];
      link[s & kHashMask] = static_cast<uint16_t>(h);
      head[key] = static_cast<uint16_t>(s);
      return h;
    } else {
      const uint32_t bucket = bucket3[key];
      const uint32_t rank = bucket & 0xFFFF0000u;
      link[s & kHashMask] = static_cast<uint16_t>(bucket);
      bucket3[key] = (rank + 0x10000u) | s;
      const unsigned key4 = (Load32(window + s) * 0x9E3779B1u) >> 17;
      chain4[s & kHashMask] = head4[key4] | rank;
      head4[key4] = static_cast<uint16_t>(s);
      return bucket & 0xFFFF;
    }
  }
};

// A chain of positions linked by a hash of their first kBytes bytes (6 to 16). A
// position joins it only once a search has reached it (TMatchFinder::CatchUpAll): then its
// bytes have been read (the window holds at least 262 bytes from the search position on,
// or the input has ended), so its hash never changes afterwards.
template <unsigned kBytes>
struct TLongChain {
  uint16_t* head;
  uint16_t* link;

  // The 6-byte chain shifts the two bytes after its own out of its 8-byte load.
  static constexpr unsigned kFirstShift = kBytes == 6 ? 16 : 0;

  static unsigned Hash(const uint8_t* p) {
    uint64_t mixed = (Load64(p) << kFirstShift) * 0x9E3779B97F4A7C15ull;
    if constexpr (kBytes == 10) mixed ^= Load16(p + 8) * 0xC2B2AE3D27D4EB4Full;
    if constexpr (kBytes == 12) mixed ^= Load32(p + 8) * 0xC2B2AE3D27D4EB4Full;
    if constexpr (kBytes == 16) mixed ^= Load64(p + 8) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<unsigned>(mixed >> 49);
  }
  // Whether the kBytes bytes at a and b are equal (a hash collision when they are not).
  static bool SamePrefix(const uint8_t* a, const uint8_t* b) {
    if (((Load64(a) ^ Load64(b)) << kFirstShift) != 0) return false;
    if constexpr (kBytes == 10) return Load16(a + 8) == Load16(b + 8);
    if constexpr (kBytes == 12) return Load32(a + 8) == Load32(b + 8);
    if constexpr (kBytes == 16) return Load64(a + 8) == Load64(b + 8);
    return true;
  }
  void Clear() { std::memset(head, 0, TDeflateBuffers::kTableSize * sizeof(uint16_t)); }
  // Puts the position s, whose bytes are at p, into the chain.
  inline void Put(const uint8_t* p, unsigned s) {
    const unsigned key = Hash(p);
    link[s & kHashMask] = head[key];
    head[key] = static_cast<uint16_t>(s);
  }
};

class TMatchFinder {
 public:
  TMatchFinder(TDeflateIO& io, TDeflateBuffers& buffers, THuffmanBlock& block, int level,
               TDeflateDecisions& decisions)
      : io_(io),
        block_(block),
        window_(buffers.Window()),
        chains_{buffers.Window(),         buffers.HeadTable(),  buffers.LinkTable(),
                buffers.Bucket3Table(), buffers.Head4Table(), buffers.Chain4Table()},
        head_(buffers.HeadTable()),
        bucket3_(buffers.Bucket3Table()),
        link_(buffers.LinkTable()),
        head4_(buffers.Head4Table()),
        chain4_(buffers.Chain4Table()),
        newest4_(buffers.Newest4Table()),
        long6_{buffers.Head6Table(), buffers.Link6Table()},
        long8_{buffers.Head8Table(), buffers.Link8Table()},
        long10_{buffers.Head10Table(), buffers.Link10Table()},
        long12_{buffers.Head12Table(), buffers.Link12Table()},
        long16_{buffers.Head16Table(), buffers.Link16Table()},
        cfg_(kConfig[level]),
        extraChains_(cfg_.chain >= kExtraChainsFrom),
        chainSet_(kChainSet[level]),
        newest4Only_(level == 1),
        level_(level),
        decisions_(decisions) {}

  uint64_t Run() {
    InitMatcher();
    if (newest4Only_) return DeflateGreedy<false, true>();
    if (level_ <= 3) return extraChains_ ? DeflateGreedy<true>() : DeflateGreedy<false>();
    if (!extraChains_) return DeflateLazy<false, 0>();
    switch (chainSet_) {
      case kChainSet[6]: return DeflateLazy<true, kChainSet[6]>();
      case kChainSet[8]: return DeflateLazy<true, kChainSet[8]>();
      default: return DeflateLazy<true, kChainSet[4]>();
    }
  }

 private:
  // The hash of the 3 bytes at s, computed directly; it equals the rolling 5-bit-shift
  // hash of the design at every insertion, without the serial dependency.
  inline unsigned HashAt(unsigned s) const { return Hash3Of(Load32(window_ + s)); }
  // The same from the 4 bytes v at the position: one 4-byte load instead of three byte
  // loads. Byte 0 gives its low 5 bits at bit 10, byte 1 all of its bits at bit 5, byte 2
  // its bits at bit 0.
  static unsigned Hash3Of(uint32_t v) {
    return ((v << 10) & 0x7C00) ^ ((v >> 3) & 0x1FE0) ^ ((v >> 16) & 0xFF);
  }
  // The hash of s + 1 from the hash of s and the byte at s + 3: the hash is the rolling
  // 5-bit-shift hash, so shifting drops byte s and the new byte comes in (3 operations
  // instead of a load and 9).
  static unsigned RollHash(unsigned key, uint8_t next) { return ((key << 5) ^ next) & kHashMask; }
  // Inserts s into its chain; returns the previous head of the chain (0: none). With the
  // extra chains, s also gets its rank and goes into the chain of its first 4 bytes; the
  // longer chains catch up later (CatchUpAll).
  template <bool kExtra>
  inline unsigned Insert(unsigned s) {
    return chains_.Insert<kExtra>(s, HashAt(s));
  }

  // Level 1's insertion: s becomes the newest of the four positions kept for its hash
  // (Newest4Table). Returns the four as they were: the candidates of a search from s.
  inline uint64_t InsertNewest4(unsigned s) {
    uint64_t& bucket = newest4_[HashAt(s)];
    const uint64_t older = bucket;
    bucket = (older << 16) | s;
    return older;
  }

  // Inserts the positions from .. to - 1 (the inside of a match), as Insert does. Kept out
  // of line with the tables in locals: inside the driver loop they were reloaded from the
  // stack at every position, and this loop runs for most positions at the lazy levels.
  template <bool kExtra>
  __attribute__((noinline)) void InsertRun(unsigned from, unsigned to) {
    const TChains chains = chains_;
    unsigned key = from < to ? Hash3Of(Load32(window_ + from)) : 0;
    for (unsigned s = from; s < to; key = RollHash(key, window_[s + 3]), ++s)
      chains.Insert<kExtra>(s, key);
  }

  // Puts the positions longNext_ .. last into every catch-up chain of the set, in one
  // pass: the chains of a set are always caught up together.
  template <unsigned kSet>
  inline void CatchUpAll(unsigned last) {
    for (unsigned s = longNext_; s <= last; ++s) {
      const uint8_t* const p = window_ + s;
      if constexpr ((kSet & kLong6) != 0) long6_.Put(p, s);
      long8_.Put(p, s);
      if constexpr ((kSet & kLong10) != 0) long10_.Put(p, s);
      if constexpr ((kSet & kLong12) != 0) long12_.Put(p, s);
      if constexpr ((kSet & kLong16) != 0) long16_.Put(p, s);
    }
    if (last + 1 > longNext_) longNext_ = last + 1;
  }

  // Only the greedy levels skip positions (those inside a long match), and none of them
  // keeps more than the 8-byte catch-up chain: the positions up to inserted join it, the
  // skipped ones up to next never do.
  inline void SkipTo8(unsigned inserted, unsigned next) {
    CatchUpAll<0>(inserted);
    longNext_ = next;
  }

  // The chain walk from cur for the string at pos; best starts at prevLen. Candidates are
  // rejected by two 2-byte compares (at the start and at the current best length) before
  // the 8-byte compare of MatchLength.
  //
  // With the extra chains the walk gives the same result in fewer steps. Once best is at
  // least n - 1, only candidates that share their first n bytes with pos can still beat
  // it; they are the members of pos's n-byte chain (n = 4, 8, 12 or 16) that share the bytes, the
  // others being hash collisions. So the walk goes along that chain instead, and a
  // candidate's step count in the 3-byte chain, which the chain limit bounds, is the
  // difference between its rank and the first candidate's. Before best reaches n - 1 no
  // candidate sharing n bytes has been met (it would have raised best further), so the
  // switch skips none that matters; candidates seen before the switch may be seen again,
  // which changes nothing, as they cannot beat the best length they helped set.
  template <bool kExtra, unsigned kSet>
  inline unsigned LongestMatch(unsigned pos, unsigned cur, unsigned prevLen, unsigned& matchPos) {
    unsigned chain = cfg_.chain;
    if (prevLen >= cfg_.good) chain >>= 2;
    const unsigned steps = chain;
    const unsigned first = cur;
    unsigned best = prevLen;
    const unsigned limit = pos > kMaxDist ? pos - kMaxDist : 0;
    const uint8_t* const scan = window_ + pos;
    const uint16_t scanStart = Load16(scan);
    uint16_t scanEnd = Load16(scan + best - 1);
    const unsigned nice = cfg_.nice;
    auto consider = [&](unsigned c) {  // true when the walk ends at nice_len
      const unsigned len = MatchLength(scan, window_ + c);
      if (len > best) {
        matchPos = c;
        best = len;
        if (len >= nice) return true;
        scanEnd = Load16(scan + best - 1);
      }
      return false;
    };
    while (!kExtra || best < 3) {
      const uint8_t* const m = window_ + cur;
      if (Load16(m + best - 1) == scanEnd && Load16(m) == scanStart && consider(cur)) return best;
      cur = link_[cur & kHashMask];
      if (cur <= limit || --chain == 0) return best;
    }
    // A candidate's rank sits beside its 4-byte link: one load gives both, and the load
    // of the next candidate's entry goes out with the compare of this one's bytes.
    const unsigned firstRank = chain4_[first & kHashMask] >> 16;
    constexpr unsigned kUntil4 = WalkUntil(kSet, 4);
    if (best < kUntil4) {
      const uint32_t scan4 = Load32(scan);
      uint32_t entry = chain4_[pos & kHashMask];
      while (best < kUntil4) {
        cur = entry & 0xFFFF;
        if (cur <= limit && cur != first) return best;
        entry = chain4_[cur & kHashMask];
        const uint8_t* const m = window_ + cur;
        if (Load32(m) != scan4) continue;
        if (((firstRank - (entry >> 16)) & 0xFFFF) >= steps) return best;
        if (Load16(m + best - 1) == scanEnd && consider(cur)) return best;
      }
    }
    // The longer chains, each from its newest entry, while best is short enough that a
    // longer chain would skip candidates that can still beat it.
    const auto walk = [&](auto& chain, unsigned until) {  // true when the search is over
      unsigned c = pos;
      while (best < until) {
        c = chain.link[c & kHashMask];
        if (c <= limit && c != first) return true;
        const uint8_t* const m = window_ + c;
        if (!chain.SamePrefix(m, scan)) continue;
        if (((firstRank - (chain4_[c & kHashMask] >> 16)) & 0xFFFF) >= steps) return true;
        if (Load16(m + best - 1) == scanEnd && consider(c)) return true;
      }
      return false;
    };
    CatchUpAll<kSet>(pos);
    if constexpr ((kSet & kLong6) != 0) {
      if (best < WalkUntil(kSet, 6) && walk(long6_, WalkUntil(kSet, 6))) return best;
    }
    if (best < WalkUntil(kSet, 8) && walk(long8_, WalkUntil(kSet, 8))) return best;
    if constexpr ((kSet & kLong10) != 0) {
      if (best < WalkUntil(kSet, 10) && walk(long10_, WalkUntil(kSet, 10))) return best;
    }
    if constexpr ((kSet & kLong12) != 0) {
      if (best < WalkUntil(kSet, 12) && walk(long12_, WalkUntil(kSet, 12))) return best;
    }
    if constexpr ((kSet & kLong16) != 0) walk(long16_, WalkUntil(kSet, 16));
    return best;
  }

  // Whether the first 3 bytes at c are those of scan4, the 4 bytes at the search position:
  // the XOR's low 24 bits clear (little-endian load).
  bool SharesFirst3(unsigned c, uint32_t scan4) const {
    return ((Load32(window_ + c) ^ scan4) << 8) == 0;
  }

  // Whether a search from h with best 2 finds nothing: none of the chain's first kProbe
  // candidates within reach shares its first 3 bytes with pos, and the chain leaves reach
  // (or the step limit falls) within them. LongestMatch would give best back unchanged.
  // In data without repeats most searches end so, and the walk's exits there are coin
  // flips: deciding without a branch per candidate spares the mispredictions, and loading
  // a few candidates beyond the end costs less.
  inline bool NothingWithin(unsigned pos, unsigned h) const {
    constexpr unsigned kProbe = 4;
    const unsigned limit = pos > kMaxDist ? pos - kMaxDist : 0;
    const uint32_t scan = Load32(window_ + pos);
    bool alive = ((pos - h) & 0xFFFF) <= kMaxDist;
    // In data with repeats the first candidate mostly shares the first 3 bytes: then the
    // search is on, without waiting for the loads of the others. (No && here: its branch
    // on alive would be a coin flip in data without repeats.)
    if (alive & SharesFirst3(h, scan)) return false;
    unsigned c = link_[h & kHashMask];
    alive &= c > limit;
    bool hit = false;
    for (unsigned i = 1; i < kProbe; ++i) {
      hit |= alive & SharesFirst3(c, scan);
      c = link_[c & kHashMask];
      alive &= c > limit;
    }
    return !hit && (!alive || cfg_.chain <= kProbe);
  }

  // Level 1's search (best 2, a chain of four steps, nice 8) over the four positions that
  // InsertNewest4 gave back: the candidates of the chain walk in the walk's order, with one
  // load for all four instead of four dependent ones. The caller has checked the first
  // one's distance; a later one out of reach ends the search, as it ends the walk. Forced
  // inline: clang kept it as a call, and level 1 on Gerber data lost a tenth.
  __attribute__((always_inline)) inline unsigned LongestOfNewest4(unsigned pos, uint64_t older,
                                                                  unsigned& matchPos) const {
    static_assert(kConfig[1].chain == 4 && kConfig[1].good > 2, "level 1 walks 4 steps");
    const unsigned limit = pos > kMaxDist ? pos - kMaxDist : 0;
    const uint8_t* const scan = window_ + pos;
    const uint32_t scan4 = Load32(scan);
    unsigned best = 2;
    const auto consider = [&](unsigned c) {  // true when the search ends at nice
      const unsigned len = MatchLength(scan, window_ + c);
      if (len <= best) return false;
      matchPos = c;
      best = len;
      return len >= cfg_.nice;
    };
    // In data with repeats the newest candidate mostly shares 3 bytes (four searches in
    // five on Gerber data) and the others mostly do as well: a branch per candidate lets
    // each compare start at once, and the search ends early at nice.
    const unsigned first = older & 0xFFFF;
    if (SharesFirst3(first, scan4)) {
      if (consider(first)) return best;
      for (unsigned i = 1; i < 4; ++i) {
        const unsigned c = static_cast<unsigned>(older >> (16 * i)) & 0xFFFF;
        if (c <= limit) break;
        if (SharesFirst3(c, scan4) && consider(c)) break;
      }
      return best;
    }
    // Otherwise, which of the other three are in reach and share their first 3 bytes with
    // pos, without a branch per candidate: in data without repeats that is mostly none,
    // and the search ends on one well-predicted branch.
    unsigned cand[3];
    bool alive = true;
    unsigned hits = 0;
    for (unsigned i = 0; i < 3; ++i) {
      cand[i] = static_cast<unsigned>(older >> (16 * (i + 1))) & 0xFFFF;
      alive &= cand[i] > limit;
      hits |= static_cast<unsigned>(alive & SharesFirst3(cand[i], scan4)) << i;
    }
    for (; hits != 0; hits &= hits - 1)
      if (consider(cand[__builtin_ctz(hits)])) break;
    return best;
  }

  // The source of a match is start minus the 16-bit distance; right after a slide it may
  // begin one byte before the window, at Window()[-1], which the slide keeps. Inline, with
  // the throw out of line: as a call of its own, the check of every match cost level 1
  // about 5%.
  inline void VerifyMatch(unsigned start, unsigned m, unsigned len) const {
    const int src = static_cast<int>(start) - static_cast<int>((start - m) & 0xFFFF);
    if (!SameBytes(window_ + start, window_ + src, len)) [[unlikely]]
      ThrowInvalidMatch(start, m, len);
  }
  [[noreturn]] __attribute__((noinline, cold)) static void ThrowInvalidMatch(unsigned start,
                                                                             unsigned m,
                                                                             unsigned len) {
    throw EInvalidMatch(static_cast<int>(start), static_cast<int>(m), static_cast<int>(len));
  }

  void Slide() {
    window_[-1] = window_[32767];
    std::memcpy(window_, window_ + 32768, 32768);
    matchPos_ = (matchPos_ - 32768) & 0xFFFF;
    pos_ -= 32768;
    blockOrigin_ -= 32768;
    if (newest4Only_) {
      SlideNewest4(newest4_);
      return;
    }
    if (extraChains_) {
      SlidePackedTable(bucket3_);
    } else {
      SlideTable(head_);
    }
    SlideTable(link_);
    if (extraChains_) {
      SlideTable(head4_);
      SlidePackedTable(chain4_);
      ForEachLongChain([](auto& chain) {
        SlideTable(chain.head);
        SlideTable(chain.link);
      });
      longNext_ = longNext_ > 32768 ? longNext_ - 32768 : 0;
    }
  }

  // Calls f on each catch-up chain that the level keeps (kChainSet).
  template <class F>
  void ForEachLongChain(F&& f) {
    if (chainSet_ & kLong6) f(long6_);
    f(long8_);
    if (chainSet_ & kLong10) f(long10_);
    if (chainSet_ & kLong12) f(long12_);
    if (chainSet_ & kLong16) f(long16_);
  }
  // v - 32768, or 0 below 32768: a saturating subtraction the compiler vectorises.
  static void SlideTable(uint16_t* t) {
    for (unsigned i = 0; i < TDeflateBuffers::kTableSize; ++i)
      t[i] = static_cast<uint16_t>((t[i] > 32768 ? t[i] : 32768) - 32768);
  }
  // The same for the four positions in each word of Newest4Table: a lane keeps its low 15
  // bits when its top bit is set (v - 32768) and becomes 0 otherwise.
  static void SlideNewest4(uint64_t* t) {
    for (unsigned i = 0; i < TDeflateBuffers::kTableSize; ++i) {
      const uint64_t top = (t[i] >> 15) & 0x0001000100010001ull;
      t[i] &= top * 0x7FFF;
    }
  }
  // The same for the low halves of a packed table; the high halves (ranks, counts) stay.
  // Subtracting min(low half, 32768) from the whole word does it without masks and merges.
  static void SlidePackedTable(uint32_t* t) {
    for (unsigned i = 0; i < TDeflateBuffers::kTableSize; ++i) {
      const uint32_t link = t[i] & 0xFFFFu;
      t[i] -= link < 32768u ? link : 32768u;
    }
  }

  unsigned Read(uint8_t* buf, unsigned capacity) {
    const unsigned n = io_.ReadEntryData(buf, capacity);
    if (n > capacity) throw Exception("Entry read returned more bytes than requested");
    return n;
  }

  void RefillWindow() {
    do {
      unsigned more = (65536 - avail_ - pos_) & 0xFFFF;
      if (more == 65535) {
        more = 65534;
      } else if (pos_ >= kSlideAt) {
        Slide();
        more += 32768;
      }
      if (inputDone_) return;
      const unsigned n = Read(window_ + pos_ + avail_, more);
      if (n == 0) {
        inputDone_ = true;
      } else {
        avail_ += n;
      }
    } while (avail_ < kMinLookahead && !inputDone_);
  }

  void InitMatcher() {
    if (newest4Only_) {
      std::memset(newest4_, 0, TDeflateBuffers::kTableSize * sizeof(uint64_t));
    } else {
      std::memset(head_, 0, TDeflateBuffers::kTableSize * sizeof(uint16_t));
    }
    if (extraChains_) {
      std::memset(bucket3_, 0, TDeflateBuffers::kTableSize * sizeof(uint32_t));
      std::memset(head4_, 0, TDeflateBuffers::kTableSize * sizeof(uint16_t));
      ForEachLongChain([](auto& chain) { chain.Clear(); });
    }
    if (level_ <= 2) {
      decisions_.GeneralFlags |= 4;
    } else if (level_ >= 8) {
      decisions_.GeneralFlags |= 2;
    }
    pos_ = 0;
    blockOrigin_ = 0;
    avail_ = Read(window_, kFirstRead);
    if (avail_ == 0) {
      inputDone_ = true;
      return;
    }
    inputDone_ = false;
    if (avail_ < kMinLookahead) RefillWindow();
  }

  uint64_t EmitBlock(unsigned pos, bool last) {
    const uint8_t* data = blockOrigin_ >= 0 ? window_ + blockOrigin_ : nullptr;
    return block_.EmitBlock(data, static_cast<int32_t>(pos) - blockOrigin_, last);
  }

  // The driver loops stay out of line (here and DeflateLazy): g++ otherwise inlines each
  // into Run, keeps the whole finder in Run's frame and spills the loop's state there;
  // level 1 was 3% slower so. kNewest4: level 1, with Newest4Table in place of the chains.
  template <bool kExtra, bool kNewest4 = false>
  __attribute__((noinline)) uint64_t DeflateGreedy() {
    const unsigned lazyLimit = cfg_.lazy;
    unsigned pos = pos_, avail = avail_, matchPos = matchPos_;
    unsigned matchLen = 0;
    while (avail > 0) {
      if constexpr (kNewest4) {
        const uint64_t older = InsertNewest4(pos);
        const unsigned h = older & 0xFFFF;
        if (h != 0 && ((pos - h) & 0xFFFF) <= kMaxDist) {
          matchLen = LongestOfNewest4(pos, older, matchPos);
          if (matchLen > avail) matchLen = avail;
        }
      } else {
        const unsigned h = Insert<kExtra>(pos);
        if (h != 0 && !NothingWithin(pos, h)) {
          matchLen = LongestMatch<kExtra, 0>(pos, h, 2, matchPos);
          if (matchLen > avail) matchLen = avail;
        }
      }
      bool flush;
      if (matchLen >= 3) {
        VerifyMatch(pos, matchPos, matchLen);
        flush = block_.TallyMatch((pos - matchPos) & 0xFFFF, matchLen - 3,
                                  static_cast<int32_t>(pos) - blockOrigin_);
        avail -= matchLen;
        if (matchLen <= lazyLimit) {
          for (unsigned i = 1; i < matchLen; ++i) {
            if constexpr (kNewest4) {
              InsertNewest4(pos + i);
            } else {
              Insert<kExtra>(pos + i);
            }
          }
        } else if constexpr (kExtra) {
          SkipTo8(pos, pos + matchLen);
        }
        // Longer matches are skipped without inserting their positions.
        pos += matchLen;
        matchLen = 0;
      } else {
        flush = block_.TallyLiteral(window_[pos], static_cast<int32_t>(pos) - blockOrigin_);
        --avail;
        ++pos;
      }
      if (flush) {
        EmitBlock(pos, false);
        blockOrigin_ = static_cast<int32_t>(pos);
      }
      if (avail < kMinLookahead) {
        pos_ = pos, avail_ = avail, matchPos_ = matchPos;
        RefillWindow();
        pos = pos_, avail = avail_, matchPos = matchPos_;
      }
    }
    return EmitBlock(pos, true);
  }

  template <bool kExtra, unsigned kSet>
  __attribute__((noinline)) uint64_t DeflateLazy() {
    const unsigned lazyLimit = cfg_.lazy;
    unsigned pos = pos_, avail = avail_, matchPos = matchPos_;
    unsigned matchLen = 2;
    bool pendingLiteral = false;
    while (avail > 0) {
      const unsigned h = Insert<kExtra>(pos);
      const unsigned prevLen = matchLen;
      const unsigned prevPos = matchPos;
      matchLen = 2;
      // Without a match at the previous position, NothingWithin settles most searches in
      // data without repeats; it also makes the distance check. (Its result, 2, skips the
      // clamp to avail below, which matters only for lengths of 3 and more.)
      if (h != 0 && prevLen < lazyLimit &&
          (prevLen == 2 ? !NothingWithin(pos, h) : ((pos - h) & 0xFFFF) <= kMaxDist)) {
        matchLen = LongestMatch<kExtra, kSet>(pos, h, prevLen, matchPos);
        if (matchLen > avail) matchLen = avail;
        if (matchLen == 3 && ((pos - matchPos) & 0xFFFF) > kTooFar) matchLen = 2;
      }
      if (prevLen >= 3 && matchLen <= prevLen) {
        // The match found at the previous position wins.
        VerifyMatch(pos - 1, prevPos, prevLen);
        const bool flush = block_.TallyMatch((pos - 1 - prevPos) & 0xFFFF, prevLen - 3,
                                             static_cast<int32_t>(pos) - blockOrigin_);
        avail -= prevLen - 1;
        InsertRun<kExtra>(pos + 1, pos + prevLen - 1);
        pos += prevLen - 1;
        pendingLiteral = false;
        matchLen = 2;
        if (flush) {
          EmitBlock(pos, false);
          blockOrigin_ = static_cast<int32_t>(pos);
        }
      } else if (pendingLiteral) {
        if (block_.TallyLiteral(window_[pos - 1], static_cast<int32_t>(pos) - blockOrigin_)) {
          EmitBlock(pos, false);
          blockOrigin_ = static_cast<int32_t>(pos);
        }
        ++pos;
        --avail;
      } else {
        pendingLiteral = true;
        ++pos;
        --avail;
      }
      if (avail < kMinLookahead) {
        pos_ = pos, avail_ = avail, matchPos_ = matchPos;
        RefillWindow();
        pos = pos_, avail = avail_, matchPos = matchPos_;
      }
    }
    if (pendingLiteral)
      block_.TallyLiteral(window_[pos - 1], static_cast<int32_t>(pos) - blockOrigin_);
    return EmitBlock(pos, true);
  }

  TDeflateIO& io_;
  THuffmanBlock& block_;
  uint8_t* const window_;
  const TChains chains_;
  uint16_t* const head_;
  uint32_t* const bucket3_;
  uint16_t* const link_;
  uint16_t* const head4_;
  uint32_t* const chain4_;  // link in the low half, rank in the high half
  uint64_t* const newest4_;
  TLongChain<6> long6_;
  TLongChain<8> long8_;
  TLongChain<10> long10_;
  TLongChain<12> long12_;
  TLongChain<16> long16_;
  const Config cfg_;
  const bool extraChains_;  // the 4- and 8-byte chains of LongestMatch
  const unsigned chainSet_;  // and the other catch-up chains (kChainSet)
  const bool newest4Only_;  // level 1: Newest4Table instead of the chains
  const int level_;
  TDeflateDecisions& decisions_;

  unsigned longNext_ = 0;  // the first position not yet in the catch-up chains
  unsigned pos_ = 0;
  unsigned avail_ = 0;
  unsigned matchPos_ = 0;
  int32_t blockOrigin_ = 0;
  bool inputDone_ = false;
};

}  // namespace TAVELO_MATCHER_NS
