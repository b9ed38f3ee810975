// Focus: the settings model: the "Option" block written byte for byte and read back, the
// file that has no block, and memo text split into lines.
#include "core/Settings.h"

#include <gtest/gtest.h>

#include "kztools/kzStrTools.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/testing/TempDir.h"

namespace {

const char kExample[] =
    "Option:[%RootKey%]\r\n[%\r\n  GTO:TRUE\r\n  GTP:FALSE\r\n  GTS:FALSE\r\n  GTL:TRUE\r\n"
    "  GBO:FALSE\r\n  GBP:FALSE\r\n  GBS:FALSE\r\n  GBL:FALSE\r\n  GKO:FALSE\r\n  GM1:FALSE\r\n"
    "  GPT:FALSE\r\n  GPB:FALSE\r\n  TXT:FALSE\r\n  Name:\"\xD5\xC5\xC8\xFD\"\r\n  Tel:\"123\"\r\n"
    "  QQ:\"\"\r\n  PCard:\"\"\r\n  Addr:\"\"\r\n  Memo:\"a$N$Db\"\r\n  ZIP:TRUE\r\n"
    "  Path:\"/home/u/board\"\r\n%]\r\n";

TEST(Settings, ExampleIsWrittenByteForByteAndReadBack) {
  InitUpperTable();
  platform::testing::TempDir dir;
  TSettings s;
  s.layers[0] = s.layers[3] = true;
  s.name = "张三";
  s.tel = "123";
  s.memo = "a\r\nb";
  s.zip = true;
  s.path = "/home/u/board";
  SaveSettingsFile(dir / "t.ini", s);
  EXPECT_EQ(platform::ReadWholeFile(dir / "t.ini"), kExample);

  std::optional<TSettings> back = LoadSettingsFile(dir / "t.ini");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->layers, s.layers);
  EXPECT_EQ(back->name, "张三");
  EXPECT_EQ(back->memo, "a\r\nb");
  EXPECT_TRUE(back->zip);
  EXPECT_EQ(back->path, "/home/u/board");
}

TEST(Settings, NoFileOrNoBlockLoadsNothingAndSavingAddsTheBlockKeepingTheRest) {
  InitUpperTable();
  platform::testing::TempDir dir;
  EXPECT_FALSE(LoadSettingsFile(dir / "none.ini"));
  dir.Write("other.ini", "Other:[%RootKey%]\r\n[%\r\n  x:1\r\n%]\r\n");
  EXPECT_FALSE(LoadSettingsFile(dir / "other.ini"));
  SaveSettingsFile(dir / "other.ini", TSettings{});
  const std::string saved = platform::ReadWholeFile(dir / "other.ini");
  EXPECT_EQ(saved.rfind("Other:[%RootKey%]\r\n[%\r\n  x:1\r\n%]\r\n\r\nOption:[%RootKey%]\r\n", 0), 0u)
      << saved;
  ASSERT_TRUE(LoadSettingsFile(dir / "other.ini"));
}

TEST(Settings, SettingsFileAndMemoLines) {
  const std::string d(1, platform::kPathDelim);
  EXPECT_EQ(SettingsFileFor(d + "opt" + d + "my.tools" + d + "app"), d + "opt" + d + "my.tools" + d + "app.ini");
  EXPECT_EQ(SettingsFileFor(d + "bin" + d + "tavelo.exe"), d + "bin" + d + "tavelo.ini");
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n", {"a"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"\r\n", {""}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(MemoLinesOf(text), lines) << text;
}

}  // namespace
