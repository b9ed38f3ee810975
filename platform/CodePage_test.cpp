#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

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

namespace {

uint32_t Fnv1a(const std::string& bytes, uint32_t h = 2166136261u) {
  for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
  return h;
}

std::string Utf8Of(unsigned cp) {
  std::string s;
  if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  }
  s += static_cast<char>(0x80 | (cp & 0x3F));
  return s;
}

}  // namespace

// Every character of the Basic Multilingual Plane and every two-byte sequence from 0x80 up
// converts to the bytes that the Linux build (glibc's GBK) gives: the table holds digests
// of those bytes, one per block, so the Windows build (code page 936) is held to them
// byte for byte and a difference is narrowed to its block.
TEST(CodePage, EveryCharacterConvertsAsTheLinuxBuildConvertsIt) {
  const uint32_t kUtf8ToGbk[16] = {
      4055514946u, 411114949u, 2707909853u, 3538493115u, 4021236751u, 3469984926u,
      796329180u,  2161356003u, 3293572677u, 3602320551u, 411114949u,  411114949u,
      411114949u,  1154407877u, 411114949u,  3652688094u,  // all-"?" blocks share a digest
  };
  const uint32_t kGbkToUtf8[8] = {3885665432u, 1877471069u, 1123221228u, 2889470809u,
                                  2194959301u, 3395436731u, 2711229377u, 3352578096u};
  for (unsigned block = 0; block < 16; ++block) {
    uint32_t h = Fnv1a("");
    for (unsigned cp = std::max(block << 12, 0x80u); cp < (block + 1) << 12; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      h = Fnv1a(platform::Utf8ToGbk(Utf8Of(cp)) + '|', h);
    }
    EXPECT_EQ(h, kUtf8ToGbk[block]) << "UTF-8 to GBK, U+" << std::hex << (block << 12) << " and on";
  }
  for (unsigned block = 0; block < 8; ++block) {
    uint32_t h = Fnv1a("");
    for (unsigned lead = 0x80 + block * 16; lead < 0x90 + block * 16; ++lead) {
      for (unsigned trail = 0; trail < 256; ++trail) {
        const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
        h = Fnv1a(platform::GbkToUtf8(pair) + '|' + platform::OemToAnsi(pair) + '|', h);
      }
    }
    EXPECT_EQ(h, kGbkToUtf8[block]) << "GBK to UTF-8, lead bytes from " << std::hex << 0x80 + block * 16;
  }
}

// The characters where code page 936 and glibc's GBK part ways are taken as glibc takes
// them; bytes that are no GBK character become "?" in the same places.
TEST(CodePage, EdgesOfGbk) {
  struct Case { const char* utf8; const char* gbk; };
  const Case toGbk[] = {
      {"€", "\x80"},               // the euro sign is GBK's one single byte above ASCII
      {"\xC2\x80", "?"},           // U+0080
      {"\xEE\x80\x80", "?"},       // U+E000, private use
      {"·—", "\xA1\xA4\xA1\xAA"},  // U+00B7, U+2014
      {"\xED\xA0\x80", "?"},       // an encoded surrogate
      {"\xE5\x9B", "??"},          // a sequence cut short
  };
  for (const Case& c : toGbk) EXPECT_EQ(platform::Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
  struct Back { std::string gbk; const char* utf8; };
  const Back toUtf8[] = {
      {"\x80", "€"},
      {"\x81\x20" "a", "?a"},  // an invalid pair takes its second byte along
      {"a\xD5", "a?"},         // a lead byte at the end
      {"\xFF", "?"},
      {"\xAA\xA1", "?"},       // a user-defined row of code page 936
  };
  for (const Back& c : toUtf8) EXPECT_EQ(platform::GbkToUtf8(c.gbk), c.utf8);
}
