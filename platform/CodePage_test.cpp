#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, GbkBytesOfChineseText) {
  EXPECT_EQ(platform::Utf8ToGbk("张三"), "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(platform::Utf8ToGbk("姓名："), "\xD0\xD5\xC3\xFB\xA3\xBA");
  EXPECT_EQ(platform::Utf8ToGbk("　"), "\xA1\xA1");
  EXPECT_EQ(platform::GbkToUtf8("\xD5\xC5\xC8\xFD"), "张三");
  EXPECT_EQ(platform::Utf8ToGbk("plain"), "plain");
}

TEST(CodePage, CharactersWithoutGbkFormBecomeQuestionMarks) {
  EXPECT_EQ(platform::Utf8ToGbk("a😀b"), "a?b");
  EXPECT_EQ(platform::Utf8ToGbk("a\xFF" "b"), "a?b");
}

TEST(CodePage, ArchiveNamesRoundTripAndGbkStaysGbk) {
  std::string utf8 = "张三-2024-01-02-1507.zip";
  std::string oem = platform::AnsiToOem(utf8);
  EXPECT_EQ(oem, "\xD5\xC5\xC8\xFD-2024-01-02-1507.zip");
  EXPECT_EQ(platform::OemToAnsi(oem), utf8);
  std::string gbkOnDisk = "\xD5\xC5\xC8\xFD.txt";  // not valid UTF-8: already GBK
  EXPECT_EQ(platform::AnsiToOem(gbkOnDisk), gbkOnDisk);
  std::string notGbk = "\x81\x20";
  EXPECT_EQ(platform::OemToAnsi(notGbk), notGbk);
}
