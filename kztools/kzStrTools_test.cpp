#include "kztools/kzStrTools.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Exception.h"

using namespace std::string_literals;

namespace {

struct TrimCase {
  std::string text;
  int mode;
  std::string expected;
};

TEST(StrTrim, TrimsBlanksOnlyByMode) {
  const TrimCase cases[] = {
      {"  a\t ", 0, "a\t"},   // a tab is no blank
      {"   ", 0, ""},
      {"", 0, ""},
      {"  a  ", 1, "a  "},
      {"  a  ", 2, "  a"},
      {"  a  ", -1, "  a  "},
      {"  a  ", 7, "a"},      // unknown modes act as 0
      {"   ", 1, " "},        // the start loop never passes the last byte
      {"   ", 2, ""},
      {" \0 "s, 0, "\0"s},    // zero bytes are ordinary bytes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrTrim(c.text, c.mode), c.expected) << "[" << c.text << "] mode " << c.mode;
  }
}

TEST(StrSubstrings, MidLeftRightRepeat) {
  EXPECT_EQ(StrMid("abcdef", 3, 2), "cd");
  EXPECT_EQ(StrMid("abcdef", 5, 10), "ef");
  EXPECT_EQ(StrMid("abcdef", 7, 1), "");
  EXPECT_EQ(StrMid("abcdef", 0, 2), "");
  EXPECT_EQ(StrMid("abcdef", 2, 0), "");
  EXPECT_EQ(StrMid("abcdef", 99, 2), "");  // beyond the end: empty, never out of bounds
  EXPECT_EQ(StrMid("", 1, 1), "");
  EXPECT_EQ(StrLeft("abc", 5), "abc");
  EXPECT_EQ(StrLeft("abc", 0), "");
  EXPECT_EQ(StrLeft("abc", 2), "ab");
  EXPECT_EQ(StrRight("abc", 1), "c");
  EXPECT_EQ(StrRight("abc", 3), "abc");
  EXPECT_EQ(StrRight("", 1), "");
  EXPECT_EQ(StrRepeat("ab", 3), "ababab");
  EXPECT_EQ(StrRepeat("", 5), "");
  EXPECT_EQ(StrRepeat("x", 0), "");
  EXPECT_EQ(StrRepeat("x", -1), "");
  EXPECT_EQ(StrRepeat("=", 40), std::string(40, '='));
}

TEST(CopyChars, CopiesCountBytes) {
  char dest[4] = {'x', 'x', 'x', 'x'};
  CopyChars("ab\0c", dest, 3);
  EXPECT_EQ(std::string(dest, 4), "ab\0x"s);
  CopyChars("zz", dest, 0);
  EXPECT_EQ(dest[0], 'a');
}

TEST(NameHash, IsTheElfHash) {
  EXPECT_EQ(NameHash(""), 0u);
  EXPECT_EQ(NameHash("AQ"), 0x461u);
  EXPECT_EQ(NameHash("BA"), 0x461u);
  EXPECT_EQ(NameHash("abc"), 0x6783u);
  // Zero bytes take part; printf, the textbook ELF example, exercises the folding of the
  // top four bits.
  EXPECT_NE(NameHash("a\0"s), NameHash("a"));
  EXPECT_EQ(NameHash("printf"), 0x077905A6u);
  for (const char* s : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "\xff\xff\xff\xff\xff\xff\xff\xff\xff"}) {
    EXPECT_LT(NameHash(s), 0x10000000u) << s;
  }
}

TEST(UpperTable, ChangesAsciiLettersOnly) {
  for (int b = 0; b < 256; ++b) {
    const int expected = (b >= 'a' && b <= 'z') ? b - 32 : b;
    EXPECT_EQ(UpperTable[b], expected) << b;
  }
}

TEST(MakeBMTable, SkipsByLastOccurrenceBeforeTheFinalByte) {
  TBMTable table;
  MakeBMTable("abca", 4, table, kCaseSensitive);
  EXPECT_EQ(table['a'], 3);  // position 0; the final a gets no entry
  EXPECT_EQ(table['b'], 2);
  EXPECT_EQ(table['c'], 1);
  EXPECT_EQ(table['z'], 4);
  EXPECT_EQ(table['A'], 4);
  MakeBMTable("abca", 4, table, kIgnoreCase);
  EXPECT_EQ(table['A'], 3);
  EXPECT_EQ(table['a'], 4);  // keys are upper-case images
  try {
    MakeBMTable("", 0, table, kIgnoreCase);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "BufferLen is 0(MakeBMTable)");
  }
}

TEST(StrSearch, FindsFirstMatchUnderCaseFlag) {
  const std::string text = "xABCxabc";
  TBMTable table;
  MakeBMTable("abc", 3, table, kIgnoreCase);
  EXPECT_EQ(StrSearch(text.data(), "abc", 8, 3, table, kIgnoreCase), text.data() + 1);
  MakeBMTable("abc", 3, table, kCaseSensitive);
  EXPECT_EQ(StrSearch(text.data(), "abc", 8, 3, table, kCaseSensitive), text.data() + 5);
  EXPECT_EQ(StrSearch(text.data(), "abc", 7, 3, table, kCaseSensitive), nullptr);
  // A match ending at the very last byte, and zero bytes inside pattern and text.
  const std::string bin = "\0\1\0\2"s;
  MakeBMTable("\0\2", 2, table, kCaseSensitive);
  EXPECT_EQ(StrSearch(bin.data(), "\0\2", 4, 2, table, kCaseSensitive), bin.data() + 2);
}

TEST(StrPosFrom, PositionsAndAssertion) {
  const std::string t = "abcabc";
  EXPECT_EQ(StrPosFrom(t.data(), "bc", 6, 2, 1, kIgnoreCase), 2);
  EXPECT_EQ(StrPosFrom(t.data(), "bc", 6, 2, 3, kIgnoreCase), 5);
  EXPECT_EQ(StrPosFrom(t.data(), "bc", 6, 2, 6, kIgnoreCase), 0);
  EXPECT_EQ(StrPosFrom(t.data(), "bc", 6, 2, 7, kIgnoreCase), 0);
  EXPECT_EQ(StrPosFrom(t.data(), "bc", 6, 2, 100, kIgnoreCase), 0);
  EXPECT_EQ(StrPosFrom(t.data(), "", 6, 0, 1, kIgnoreCase), 0);
  EXPECT_EQ(StrPosFrom(t.data(), "abcabcx", 6, 7, 1, kIgnoreCase), 0);
  EXPECT_EQ(StrPosFrom("xABCx", "abc", 5, 3, 1, kIgnoreCase), 2);
  EXPECT_EQ(StrPosFrom("xABCx", "abc", 5, 3, 1, kCaseSensitive), 0);
  try {
    StrPosFrom(t.data(), "bc", 6, 2, 0, kIgnoreCase);
    FAIL() << "no assertion";
  } catch (const Exception& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("Assertion failure", 0), 0u) << message;
    EXPECT_NE(message.find("kzStrTools.cpp"), std::string::npos) << message;
    EXPECT_NE(message.find("line "), std::string::npos) << message;
  }
}

TEST(StrLastPos, ScansBackwardsFromStart) {
  const std::string t = "abcabcab";
  EXPECT_EQ(StrLastPos(t.data(), "ab", 8, 2, 0, kIgnoreCase), 7);
  EXPECT_EQ(StrLastPos(t.data(), "ab", 8, 2, 6, kIgnoreCase), 4);
  EXPECT_EQ(StrLastPos(t.data(), "ab", 8, 2, 4, kIgnoreCase), 4);
  EXPECT_EQ(StrLastPos(t.data(), "ab", 8, 2, 3, kIgnoreCase), 1);
  EXPECT_EQ(StrLastPos(t.data(), "ab", 8, 2, 8, kIgnoreCase), 7);  // too close to the end
  EXPECT_EQ(StrLastPos(t.data(), "AB", 8, 2, 0, kCaseSensitive), 0);
  EXPECT_EQ(StrLastPos(t.data(), "AB", 8, 2, 0, kIgnoreCase), 7);
  EXPECT_EQ(StrLastPos(t.data(), "", 8, 0, 0, kIgnoreCase), 0);
  EXPECT_EQ(StrLastPos("a", "ab", 1, 2, 0, kIgnoreCase), 0);
  EXPECT_EQ(StrPosDir("ab", t, 2, kIgnoreCase, 0), 1);
  EXPECT_EQ(StrPosDir("ab", t, 2, kIgnoreCase, 1), 4);
}

TEST(StrNthPos, NonOverlappingOccurrences) {
  EXPECT_EQ(StrNthPos(":", "a:b:c", 1), 2);
  EXPECT_EQ(StrNthPos(":", "a:b:c", 2), 4);
  EXPECT_EQ(StrNthPos(":", "a:b:c", 3), 0);
  EXPECT_EQ(StrNthPos(":", "a:b:c", 0), 2);   // n below 1 acts as 1
  EXPECT_EQ(StrNthPos(":", "a:b:c", -5), 2);
  EXPECT_EQ(StrNthPos("aa", "aaaa", 2), 3);
  EXPECT_EQ(StrNthPos("aa", "aaa", 2), 0);
  EXPECT_EQ(StrNthPos("B", "abab", 2), 4);    // always ignores case
  EXPECT_EQ(StrNthPos("", "abc", 1), 0);
  EXPECT_EQ(StrNthPos("a", "", 1), 0);
}

TEST(StrCount, NonOverlappingMatches) {
  EXPECT_EQ(StrCount("aa", "aaaa"), 2);
  EXPECT_EQ(StrCount("aa", "aaa"), 1);
  EXPECT_EQ(StrCount("A", "aAa"), 3);
  EXPECT_EQ(StrCount("A", "aAa", kCaseSensitive), 1);
  EXPECT_EQ(StrCount("", "abc"), 0);
  EXPECT_EQ(StrCount("a", ""), 0);
}

TEST(StrBeforeAfter, SplitAtTheNthDelimiter) {
  EXPECT_EQ(StrBefore(":", "key:value", 1), "key");
  EXPECT_EQ(StrAfter(":", "key:value", 1), "value");
  EXPECT_EQ(StrBefore(":", "novalue", 1), "novalue");
  EXPECT_EQ(StrAfter(":", "novalue", 1), "novalue");
  EXPECT_EQ(StrBefore(":", "a:b:c", 2), "a:b");
  EXPECT_EQ(StrAfter(":", "a:b:c", 2), "c");
  EXPECT_EQ(StrAfter(":", "a:", 1), "");
  EXPECT_EQ(StrBefore(":", ":a", 1), "");
  EXPECT_EQ(StrAfter("::", "a::b", 1), "b");
}

struct BetweenCase {
  std::string text, left, right;
  int n;
  std::string expected;
};

TEST(StrBetween, Cases) {
  const BetweenCase cases[] = {
      {"x\"abc\"y", "\"", "\"", 1, "abc"},
      {"x\"abc", "\"", "\"", 1, ""},        // no closing delimiter
      {"xabc", "\"", "\"", 1, "xabc"},      // no delimiter at all
      {"a[b]c[d", "[", "]", 3, "d"},        // fewer left delimiters than n: to the end
      {"a[b]c[d]", "[", "]", 2, "d"},
      {"a[]b", "[", "]", 1, ""},            // right delimiter follows at once
      {"<TAG>x</tag>", "<tag>", "</TAG>", 1, "x"},  // ignores case
      {"a[b", "[", "", 1, ""},
      {"a[", "[", "]", 1, ""},              // left delimiter is the last byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrBetween(c.text, c.left, c.right, c.n), c.expected)
        << c.text << " " << c.left << " " << c.right << " " << c.n;
  }
}

}  // namespace
