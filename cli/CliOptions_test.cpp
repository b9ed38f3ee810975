// Focus: reading the command line: values in both forms, layer lists in any case, and the
// bad command lines that must be refused rather than guessed at.
#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include "cli/JsonReport.h"
#include "kztools/kzStrTools.h"

namespace {

TEST(CliOptions, ValuesFlagsAndFolder) {
  InitUpperTable();
  TCliOptions o = ParseCliOptions({"--name=a=b", "--tel", "-5", "--zip", "--no-zip", "--plan",
                                   "--", "--odd folder"});
  EXPECT_EQ(o.name, "a=b");
  EXPECT_EQ(o.tel, "-5");  // a value may begin with a dash
  EXPECT_EQ(o.zip, false);  // the last of --zip / --no-zip wins
  EXPECT_TRUE(o.plan);
  EXPECT_EQ(o.folder, "--odd folder");
  EXPECT_FALSE(o.layers.has_value());
  EXPECT_FALSE(o.memo.has_value());
}

TEST(CliOptions, LayerLists) {
  InitUpperTable();
  std::array<bool, kLayerCount> none{}, all;
  all.fill(true);
  EXPECT_EQ(ParseLayerList("ALL"), all);
  EXPECT_EQ(ParseLayerList("none"), none);
  EXPECT_EQ(ParseLayerList(""), none);
  std::array<bool, kLayerCount> some{};
  some[0] = some[12] = true;
  EXPECT_EQ(ParseLayerList("txt,,Gto"), some);
  for (const char* bad : {"GTL,GT", "all,GTL", "GTL ", "G1"})
    EXPECT_THROW(ParseLayerList(bad), EUsageError) << bad;
}

TEST(CliOptions, BadCommandLines) {
  InitUpperTable();
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--memo"}, {"--plan=1"}, {"--zip=yes"}, {"-x"},
                                             {"a", "b"}, {"--Layers", "GTL"}})
    EXPECT_THROW(ParseCliOptions(args), EUsageError) << args[0];
}

TEST(JsonReport, StringsAreValidJsonWhateverTheBytes) {
  EXPECT_EQ(JsonString("a\"b\\c\r\n\x01"), "\"a\\\"b\\\\c\\u000d\\u000a\\u0001\"");
  EXPECT_EQ(JsonString("张三"), "\"张三\"");
  // A GBK name on a UTF-8 file system, a cut sequence, an overlong form and a surrogate.
  EXPECT_EQ(JsonString("\xD5\xC5.GTL"), "\"\xEF\xBF\xBD\xEF\xBF\xBD.GTL\"");
  EXPECT_EQ(JsonString("\xE5\xBC"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

}  // namespace
