#include "zip/WildcardMatch.h"

#include <gtest/gtest.h>

#include "platform/testing/TestPaths.h"

using platform::testing::SystemPath;

namespace {

struct MatchCase {
  const char* pattern;
  const char* name;
  bool expected;
};

TEST(IsMatch, TableOfCases) {
  const MatchCase cases[] = {
      // "*" alone, and stars matching the empty run.
      {"*", "", true},
      {"*", "anything.at.all", true},
      {"a*", "a", true},
      {"*a*", "a", true},
      {"a**", "a", true},
      {"*.*", "gtl.", true},
      {"*.*", "gtl", false},
      {"", "", true},
      {"", "x", false},
      // "?" is exactly one character.
      {"g?l", "gtl", true},
      {"g?l", "gl", false},
      {"a*?", "a", false},
      {"a*?", "ab", true},
      // Letters ignore ASCII case; other bytes match exactly.
      {"*.GBR", "top.gbr", true},
      {"Board.TXT", "BOARD.txt", true},
      {"\xC4*", "\xE4x", false},
      // Backtracking over several stars.
      {"*ab*cd", "xxabyyabzcd", true},
      {"*ab*cd", "xxabyyabzc", false},
      {"a*b*c", "abbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbx", false},
      // Sets and ranges.
      {"<a-c>*", "Alpha", true},
      {"<a-c>*", "boss", true},
      {"<a-c>*", "Cat", true},
      {"<a-c>*", "delta", false},
      {"<a-c>*", "", false},
      {"<^a-c>*", "delta", true},
      {"<^a-c>*", "Beta", false},
      {"<!a-c>*", "Zed", true},
      {"<!a-c>*", "apple", false},
      {"<xyz>", "y", true},
      {"<xyz>", "w", false},
      {"<xyz>", "xy", false},
      {"gm<0-9>", "GM1", true},
      {"gm<0-9>", "GMx", false},
      {"<a->", "-", true},    // "-" at the end is a character of its own
      {"<-a>", "-", true},
      {"<a-c0-2>", "1", true},
      {"<a-c0-2>", "3", false},
      {"<^a>", "", false},    // a negated set still needs one character
      // A reversed range matches nothing.
      {"<c-a>", "b", false},
      {"<c-a>", "c", false},
      {"<c-ax>", "x", true},
      // Empty and unclosed sets fail the whole match, even where not reached.
      {"<>", "x", false},
      {"<^>*", "x", false},
      {"<a-c*", "a", false},
      {"x*<", "xyz", false},
      {"a<>*", "b", false},
      // A ">" outside a set and "|" are ordinary characters.
      {"a>b", "a>b", true},
      {"a|b", "a|b", true},
      // A star followed by a set: the star absorbs any run, the set matches one character.
      {"*<0-9>", "layer12", true},
      {"*<0-9>", "12layer", false},
      {"*<0-9>.gbr", "gm12.gbr", true},
      {"*<0-9>.gbr", "gmx.gbr", false},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(IsMatch(c.pattern, c.name), c.expected) << '"' << c.pattern << "\" vs \"" << c.name << '"';
  }
}

TEST(HasWildcards, EachWildcardCharacter) {
  for (const char* text : {"a*", "?", "<a>", ">x", "|x", "/p/a<b"}) EXPECT_TRUE(HasWildcards(text)) << text;
  for (const char* text : {"", "/home/u/board.GTL", "a-b[c].txt"}) EXPECT_FALSE(HasWildcards(text)) << text;
}

TEST(IsInPatternList, PatternWithSlashMatchesWholeNameOtherPatternsTheNamePart) {
  TStringList patterns;
  patterns.Add("*.BAK");
  EXPECT_TRUE(IsInExcludeList(patterns, SystemPath("/home/u/a/old.bak")));
  EXPECT_TRUE(IsInExcludeList(patterns, SystemPath("/x/y/z/OLD.BAK")));
  EXPECT_FALSE(IsInExcludeList(patterns, SystemPath("/home/u/a.bak/file.txt")));  // folder part not tested

  TStringList folderPatterns;
  folderPatterns.Add(SystemPath("*/Tmp/*"));
  EXPECT_TRUE(IsInExcludeList(folderPatterns, SystemPath("/home/u/tmp/a.txt")));
  EXPECT_FALSE(IsInExcludeList(folderPatterns, SystemPath("/home/u/keep/a.txt")));
  EXPECT_FALSE(IsInExcludeList(folderPatterns, "tmp"));  // a bare name has no "/tmp/"

  EXPECT_FALSE(IsInExcludeList(TStringList(), "/a/b"));
}

TEST(IsInPatternList, FirstOfSeveralPatternsThatMatchGivesTrue) {
  TStringList patterns;
  patterns.Add("*.zip");
  patterns.Add("<");  // an unclosed set matches nothing, but does not stop the list
  patterns.Add("*.7z");
  EXPECT_TRUE(IsInNoCompressList(patterns, "Data.7Z"));
  EXPECT_TRUE(IsInNoCompressList(patterns, "a.zip"));
  EXPECT_FALSE(IsInNoCompressList(patterns, "a.txt"));
}

}  // namespace
