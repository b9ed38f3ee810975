#include "kztools/kzIniQuoting.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

struct CodecCase {
  std::string text;
  std::string stored;
};

TEST(EncodeValue, Examples) {
  const CodecCase cases[] = {
      {"", "\"\""},
      {"abc", "\"abc\""},
      {"a\"b", "\"a$Qb\""},
      {"x$y", "\"x$#y\""},
      {"line one\r\nline two", "\"line one$N$Dline two\""},
      {"C:\\pcb\\out\\", "\"C:\\pcb\\out\\\""},
      {"$\"\r\n", "\"$#$Q$N$D\""},
      {"  spaced  ", "\"  spaced  \""},
      {"\0\xD5\xC5"s, "\"\0\xD5\xC5\""s},  // every other byte is copied
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeValue(c.text), c.stored) << c.text;
    EXPECT_EQ(DecodeValue(c.stored), c.text) << c.stored;  // and back
  }
}

TEST(DecodeValue, Examples) {
  const CodecCase cases[] = {
      {"abc", "abc"},          // no double quote: unchanged
      {"\"abc", ""},           // no closing double quote
      {"x\"abc\"y", "abc"},
      {"a$b", ""},             // a dollar sign but no double quote
      {"\"a$Db", "a\nb"},      // no closing double quote needed
      {"\"$z\"", "z"},
      {"\"a$", "a$"},
      {"\"\"", ""},
      {"\"\"x\"", ""},         // first two quotes side by side
      {"x\"\"", ""},
      {"\"$", ""},             // one byte after the quote is too few
      {"\"$\"", "\""},         // the dollar sign takes the closing quote
      {"\"a$\"b\"", "a\"b"},  // an escaped quote does not end the value
      {"\"a\"b$#\"", "a"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeValue(c.text), c.stored) << c.text;
  }
}

}  // namespace
