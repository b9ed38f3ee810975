// The engine against the slow reference engine (identical bytes, sizes and decisions at
// every level) and against Python's zlib (every output inflates to its input), plus the
// decisions it reports for the entries whose handling is special.
#include "deflate/Deflate.h"

#include <gtest/gtest.h>

#include "deflate/CpuPath.h"
#include "deflate/testing/Corpus.h"
#include "deflate/testing/MemoryIO.h"
#include "deflate/testing/PythonInflate.h"
#include "deflate/testing/ReferenceDeflate.h"

using deflate_testing::TMemoryIO;

namespace {

struct TOutcome {
  std::string bytes;
  uint64_t size = 0;
  TDeflateDecisions decisions;
  std::vector<size_t> writes;
};

TOutcome RunEngine(TDeflater& deflater, TDeflateBuffers& buffers, const std::string& input,
                   int level, unsigned maxRead = 0xFFFFFFFFu) {
  TMemoryIO io(input, maxRead);
  TOutcome out;
  out.size = deflater.Deflate(io, buffers, level, out.decisions);
  out.bytes = io.output;
  out.writes = io.writes;
  return out;
}

TOutcome RunReference(reference::TReferenceDeflater& ref, const std::string& input, int level,
                      unsigned maxRead = 0xFFFFFFFFu) {
  TMemoryIO io(input, maxRead);
  TOutcome out;
  out.size = ref.Deflate(io, level, out.decisions);
  out.bytes = io.output;
  out.writes = io.writes;
  return out;
}

// What a stored-whole entry's bytes decode to: the bytes themselves; else inflate.
void ExpectSame(const TOutcome& fast, const TOutcome& ref, const std::string& what) {
  ASSERT_EQ(fast.bytes.size(), ref.bytes.size()) << what;
  ASSERT_TRUE(fast.bytes == ref.bytes) << what << ": bytes differ";
  EXPECT_EQ(fast.size, ref.size) << what;
  EXPECT_EQ(fast.size, fast.bytes.size()) << what;
  EXPECT_EQ(fast.decisions.CompressionMethod, ref.decisions.CompressionMethod) << what;
  EXPECT_EQ(fast.decisions.InternalAttributes, ref.decisions.InternalAttributes) << what;
  EXPECT_EQ(fast.decisions.GeneralFlags, ref.decisions.GeneralFlags) << what;
  EXPECT_EQ(fast.writes, ref.writes) << what << ": sink batches differ";
}

TEST(DeflateEngine, MatchesReferenceAndInflatesAtEveryLevel) {
  const auto corpus = deflate_testing::StandardCorpus();
  TDeflateBuffers buffers;
  TDeflater deflater;
  reference::TReferenceDeflater ref;
  std::vector<std::string> streams, expected, names;
  for (int level = 1; level <= 9; ++level) {
    for (const auto& [name, input] : corpus) {
      const std::string what = name + " at level " + std::to_string(level);
      const TOutcome fast = RunEngine(deflater, buffers, input, level);
      const TOutcome slow = RunReference(ref, input, level);
      ExpectSame(fast, slow, what);
      if (fast.decisions.CompressionMethod == 0) {
        EXPECT_EQ(fast.bytes, input) << what;
      } else {
        EXPECT_EQ(fast.decisions.CompressionMethod, 8) << what;
        streams.push_back(fast.bytes);
        expected.push_back(input);
        names.push_back(what);
      }
    }
  }
  SKIP_WITHOUT_PYTHON_INFLATE();
  const auto decoded = deflate_testing::PythonInflate(streams);
  for (size_t i = 0; i < streams.size(); ++i) {
    ASSERT_TRUE(decoded[i].ok) << names[i] << ": " << decoded[i].error;
    EXPECT_TRUE(decoded[i].data == expected[i]) << names[i] << ": inflates to other bytes";
  }
}

// Reads of a few bytes at a time (a pipe-like source) take the refill loop's other paths.
TEST(DeflateEngine, MatchesReferenceWithShortReads) {
  TDeflateBuffers buffers;
  TDeflater deflater;
  reference::TReferenceDeflater ref;
  const std::string input = deflate_testing::GerberText(150000, 21) + deflate_testing::RandomBytes(777, 22);
  for (unsigned maxRead : {1u, 100u, 261u, 262u, 5000u}) {
    for (int level : {1, 4, 6, 9}) {
      const std::string what = "reads of " + std::to_string(maxRead) + " at level " + std::to_string(level);
      ExpectSame(RunEngine(deflater, buffers, input, level, maxRead),
                 RunReference(ref, input, level, maxRead), what);
    }
  }
}

// The work buffers are shared by a run's entries: an entry's bytes must not depend on
// the entries before it, nor on the memory the buffers were given.
TEST(DeflateEngine, EntryBytesDoNotDependOnEarlierEntries) {
  const std::string small = deflate_testing::Text(5000, 31);
  const std::string large = deflate_testing::RandomBytes(200000, 32) + deflate_testing::Text(100000, 33);
  for (int level : {2, 6, 9}) {
    TDeflater deflater;
    TDeflateBuffers fresh;
    const TOutcome first = RunEngine(deflater, fresh, small, level);
    TDeflateBuffers used;
    RunEngine(deflater, used, large, level);
    const TOutcome later = RunEngine(deflater, used, small, level);
    EXPECT_EQ(first.bytes, later.bytes) << "level " << level;
    TDeflater otherWriter;
    EXPECT_EQ(RunEngine(otherWriter, used, small, level).bytes, first.bytes) << "level " << level;
  }
}

// A lazy match found one step before a slide at the end of the input, at the farthest
// distance: after the slide its source starts one byte before the window. It must still
// verify and be coded (its distance is valid for the inflater).
TEST(DeflateEngine, MatchFoundJustBeforeASlideAtTheEnd) {
  constexpr size_t kSize = 65300, kSource = 32767, kCopy = 65273;
  const std::string special = "\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA";
  auto hashAt = [](const std::string& s, size_t p) {
    return ((static_cast<uint8_t>(s[p]) << 10) ^ (static_cast<uint8_t>(s[p + 1]) << 5) ^
            static_cast<uint8_t>(s[p + 2])) & 0x7FFF;
  };
  std::string input;
  for (uint32_t seed = 100;; ++seed) {
    input = deflate_testing::RandomBytes(kSize, seed);
    for (auto& c : input) c = static_cast<char>('a' + static_cast<uint8_t>(c) % 26);
    input.replace(kSource, special.size(), special);
    input.replace(kCopy, special.size(), special);
    input[kSource + special.size()] = 'A';
    input[kCopy + special.size()] = 'B';
    // The copy's chain must lead straight to the source: no other string with its hash.
    bool unique = true;
    for (size_t p = kSource + 1; p < kCopy && unique; ++p) unique = hashAt(input, p) != hashAt(input, kCopy);
    if (unique) break;
  }
  TDeflateBuffers buffers;
  TDeflater deflater;
  reference::TReferenceDeflater ref;
  for (int level : {6, 9}) {
    const TOutcome fast = RunEngine(deflater, buffers, input, level);
    ExpectSame(fast, RunReference(ref, input, level), "level " + std::to_string(level));
    if (!deflate_testing::kHavePythonInflate) continue;
    const auto decoded = deflate_testing::PythonInflate(fast.bytes);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_TRUE(decoded.data == input);
  }
  SKIP_WITHOUT_PYTHON_INFLATE();
}

// A candidate exactly 32506 bytes back is the farthest one a search may take when it is
// the newest of its hash, and one too far when an older one is reached along the chain.
// Lower-case letters around a special string, its copy 32506 bytes on, and in the second
// case a string between that shares only its first 3 bytes; no other position between
// has their hash, so the copy's candidates are exactly these.
TEST(DeflateEngine, CandidatesExactlyAtTheDistanceLimit) {
  constexpr size_t kSize = 40000, kSource = 1000, kCopy = kSource + 32506, kNear = 20000;
  const std::string special = "\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA";
  auto hashAt = [](const std::string& s, size_t p) {
    return ((static_cast<uint8_t>(s[p]) << 10) ^ (static_cast<uint8_t>(s[p + 1]) << 5) ^
            static_cast<uint8_t>(s[p + 2])) & 0x7FFF;
  };
  auto build = [&](bool withNear) {
    for (uint32_t seed = 200;; ++seed) {
      std::string input = deflate_testing::RandomBytes(kSize, seed);
      for (auto& c : input) c = static_cast<char>('a' + static_cast<uint8_t>(c) % 26);
      input.replace(kSource, special.size(), special);
      input.replace(kCopy, special.size(), special);
      if (withNear) input.replace(kNear, 4, special.substr(0, 3) + "N");
      bool unique = true;
      for (size_t p = kSource + 1; p < kCopy && unique; ++p)
        unique = (withNear && p == kNear) || hashAt(input, p) != hashAt(input, kCopy);
      if (unique) return input;
    }
  };
  TDeflateBuffers buffers;
  TDeflater deflater;
  reference::TReferenceDeflater ref;
  for (const bool withNear : {false, true}) {
    const std::string input = build(withNear);
    for (const TCpuPath path : {TCpuPath::Portable, TCpuPath::Avx2Bmi2}) {
      if (!CpuPathAvailable(path)) continue;
      deflater.SetCpuPath(path);
      for (int level = 1; level <= 9; ++level) {
        const std::string what = std::string(withNear ? "behind a nearer candidate" : "newest") +
                                 ", level " + std::to_string(level);
        ExpectSame(RunEngine(deflater, buffers, input, level), RunReference(ref, input, level),
                   what);
      }
    }
  }
}

TEST(DeflateEngine, EmptyEntryIsStoredAsText) {
  TDeflateBuffers buffers;
  TDeflater deflater;
  for (int level = 1; level <= 9; ++level) {
    const TOutcome out = RunEngine(deflater, buffers, "", level);
    EXPECT_EQ(out.size, 0u);
    EXPECT_TRUE(out.bytes.empty());
    EXPECT_TRUE(out.writes.empty()) << "the sink is never called for 0 bytes";
    EXPECT_EQ(out.decisions.CompressionMethod, 0);
    EXPECT_EQ(out.decisions.InternalAttributes, 1);
  }
}

TEST(DeflateEngine, ShortEntryIsStoredWhole) {
  TDeflateBuffers buffers;
  TDeflater deflater;
  const TOutcome out = RunEngine(deflater, buffers, "abc", 6);
  EXPECT_EQ(out.bytes, "abc");
  EXPECT_EQ(out.size, 3u);
  EXPECT_EQ(out.decisions.CompressionMethod, 0);
  EXPECT_EQ(out.decisions.InternalAttributes, 1);
}

// More than one block of incompressible data: the first is a stored block, so the entry
// stays deflated, slightly larger than its input.
TEST(DeflateEngine, IncompressibleEntryKeepsDeflate) {
  TDeflateBuffers buffers;
  TDeflater deflater;
  const std::string input = deflate_testing::RandomBytes(40000, 41);
  const TOutcome out = RunEngine(deflater, buffers, input, 6);
  EXPECT_EQ(out.decisions.CompressionMethod, 8);
  EXPECT_EQ(out.decisions.InternalAttributes, 0);
  EXPECT_GT(out.size, input.size());
  EXPECT_LT(out.size, input.size() + 64);
  EXPECT_EQ(static_cast<uint8_t>(out.bytes[0]) & 7, 0) << "first block: stored, not final";
  SKIP_WITHOUT_PYTHON_INFLATE();
  const auto decoded = deflate_testing::PythonInflate(out.bytes);
  ASSERT_TRUE(decoded.ok) << decoded.error;
  EXPECT_TRUE(decoded.data == input);
}

TEST(DeflateEngine, FlagsByLevel) {
  const std::string text = deflate_testing::Text(20000, 51);
  const uint16_t expected[10] = {0, 4, 4, 0, 0, 0, 0, 0, 2, 2};
  TDeflateBuffers buffers;
  TDeflater deflater;
  for (int level = 1; level <= 9; ++level) {
    EXPECT_EQ(RunEngine(deflater, buffers, text, level).decisions.GeneralFlags, expected[level])
        << "level " << level;
  }
  // A stored-whole entry keeps the flag of its level.
  const TOutcome stored = RunEngine(deflater, buffers, "abc", 9);
  EXPECT_EQ(stored.decisions.CompressionMethod, 0);
  EXPECT_EQ(stored.decisions.GeneralFlags, 2);
  // Bits the caller had set stay set.
  TMemoryIO io(text);
  TDeflateDecisions decisions;
  decisions.GeneralFlags = 0x800;
  deflater.Deflate(io, buffers, 1, decisions);
  EXPECT_EQ(decisions.GeneralFlags, 0x804);
}

TEST(DeflateEngine, TextOrBinaryFromTheFirstBlock) {
  TDeflateBuffers buffers;
  TDeflater deflater;
  EXPECT_EQ(RunEngine(deflater, buffers, deflate_testing::Text(30000, 61), 6).decisions.InternalAttributes, 1);
  EXPECT_EQ(RunEngine(deflater, buffers, deflate_testing::RandomBytes(30000, 62), 6).decisions.InternalAttributes, 0);
  // Random letters: the first block (32767 symbols at level 1) is text; the binary data
  // after it does not change the decision.
  std::string letters = deflate_testing::RandomBytes(300000, 63);
  for (auto& c : letters) c = static_cast<char>('a' + static_cast<uint8_t>(c) % 26);
  EXPECT_EQ(RunEngine(deflater, buffers, letters + deflate_testing::RandomBytes(100000, 64), 1)
                .decisions.InternalAttributes, 1);
  // A decision made before the engine runs is kept.
  TMemoryIO io(deflate_testing::RandomBytes(30000, 65));
  TDeflateDecisions decisions;
  decisions.InternalAttributes = 1;
  deflater.Deflate(io, buffers, 6, decisions);
  EXPECT_EQ(decisions.InternalAttributes, 1);
}

TEST(DeflateEngine, RunOfOneByteUsesDistanceOne) {
  TDeflateBuffers buffers;
  TDeflater deflater;
  const std::string input(10000, 'z');
  for (int level : {1, 6, 9}) {
    const TOutcome out = RunEngine(deflater, buffers, input, level);
    EXPECT_EQ(out.decisions.CompressionMethod, 8);
    EXPECT_LT(out.size, 100u) << "level " << level;
    if (!deflate_testing::kHavePythonInflate) continue;
    const auto decoded = deflate_testing::PythonInflate(out.bytes);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.data, input);
  }
  SKIP_WITHOUT_PYTHON_INFLATE();
}

TEST(DeflateEngine, RejectsLevelsOutsideOneToNine) {
  TDeflateBuffers buffers;
  TDeflater deflater;
  for (int level : {0, 10, -1}) {
    TMemoryIO io("data");
    TDeflateDecisions decisions;
    EXPECT_THROW(deflater.Deflate(io, buffers, level, decisions), Exception) << level;
  }
}

TEST(DeflateEngine, ErrorMessages) {
  EXPECT_EQ(EInvalidMatch(12, 3, 258).Message(), "Start: 12, Match: 3, Length: 258");
  EXPECT_EQ(ECompressedSizeLimit().Message(), "Compressed data of an entry exceeds 4 GiB");
}

// A read routine that fails mid-entry: its error passes through the engine unchanged.
TEST(DeflateEngine, ReadErrorsPropagate) {
  struct TFailingIO : TDeflateIO {
    int calls = 0;
    unsigned ReadEntryData(uint8_t* buf, unsigned capacity) override {
      if (++calls > 2) throw EReadError("Stream read error");
      std::fill_n(buf, capacity, static_cast<uint8_t>(calls));
      return capacity;
    }
    unsigned WriteArchiveData(const uint8_t*, size_t, size_t count) override {
      return static_cast<unsigned>(count);
    }
  } io;
  TDeflateBuffers buffers;
  TDeflater deflater;
  TDeflateDecisions decisions;
  EXPECT_THROW(deflater.Deflate(io, buffers, 6, decisions), EReadError);
}

}  // namespace
