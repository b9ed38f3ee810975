// Focus: saving at closing over a settings file that cannot be loaded: the file kept aside
// byte for byte under a free ".bad" name, the choices in a fresh file, the error naming the
// kept file; and the designed outcomes everywhere else.
#include "core/SettingsRescue.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kztools/kzStrTools.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/testing/TempDir.h"

namespace {

// Bytes that the loader rejects: a block without a root key, with GBK and a stray NUL.
const char kBrokenBytes[] = "[%\r\n  GTO:TRUE\r\n  Name:\"\xD5\xC5\"\r\n%]\r\n\0x";
const std::string kBroken(kBrokenBytes, sizeof kBrokenBytes - 1);

TSettings Choices() {
  TSettings s;
  s.layers[3] = true;
  s.name = "张三";
  s.zip = true;
  s.path = "/home/u/board";
  return s;
}

class SettingsRescueTest : public ::testing::Test {
 protected:
  void SetUp() override { InitUpperTable(); }
  std::string Ini() const { return dir / "tavelo.ini"; }
  // The error that saving raises, or "" when it raises none.
  std::string SaveError(const TSettings& s) {
    try {
      SaveSettingsKeepingBrokenFile(Ini(), s);
    } catch (const Exception& e) {
      return e.what();
    }
    return "";
  }
  platform::testing::TempDir dir;
};

TEST_F(SettingsRescueTest, BrokenFileIsKeptAsideNeverOverAnEarlierOneAndTheChoicesAreSaved) {
  const std::string expectedFresh = [&] {
    platform::testing::TempDir other;
    SaveSettingsFile(other / "t.ini", Choices());
    return platform::ReadWholeFile(other / "t.ini");
  }();
  const char* keptNames[] = {"tavelo.ini.bad", "tavelo.ini.bad.1", "tavelo.ini.bad.2"};
  for (int round = 0; round < 3; ++round) {
    const std::string broken = kBroken + std::to_string(round);  // each round its own bytes
    dir.Write("tavelo.ini", broken);
    const std::string kept = dir / keptNames[round];
    EXPECT_EQ(SaveError(Choices()),
              "RootKey not Open. The settings file could not be loaded and was kept as \"" +
                  kept + "\"; the current choices were saved to a new \"" + Ini() + "\".");
    EXPECT_EQ(platform::ReadWholeFile(kept), broken) << round;
    EXPECT_EQ(platform::ReadWholeFile(Ini()), expectedFresh) << round;
  }
  // The earlier kept files are untouched.
  EXPECT_EQ(platform::ReadWholeFile(dir / "tavelo.ini.bad"), kBroken + "0");
  EXPECT_EQ(platform::ReadWholeFile(dir / "tavelo.ini.bad.1"), kBroken + "1");
  // The fresh file loads with the choices.
  std::optional<TSettings> back = LoadSettingsFile(Ini());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->name, "张三");
  EXPECT_TRUE(back->layers[3]);
}

TEST_F(SettingsRescueTest, LoadableFileAndNoFileAreSavedAsDesigned) {
  EXPECT_EQ(SaveError(Choices()), "");  // no file yet
  const std::string first = platform::ReadWholeFile(Ini());
  dir.Write("tavelo.ini", "Other:[%RootKey%]\r\n" + first);
  EXPECT_EQ(SaveError(Choices()), "");
  EXPECT_EQ(platform::ReadWholeFile(Ini()), "Other:[%RootKey%]\r\n" + first);
  EXPECT_FALSE(platform::PathExists(dir / "tavelo.ini.bad"));
}

TEST_F(SettingsRescueTest, TooLongMemoOverABrokenFileLeavesTheBrokenFileWhereItWas) {
  dir.Write("tavelo.ini", kBroken);
  TSettings s = Choices();
  s.memo = std::string(70000, 'm');
  EXPECT_EQ(SaveError(s), "Invalid value (length > 65535).");
  EXPECT_EQ(platform::ReadWholeFile(Ini()), kBroken);
  EXPECT_FALSE(platform::PathExists(dir / "tavelo.ini.bad"));
}

TEST_F(SettingsRescueTest, BrokenFileThatCannotBeMovedGivesTheLoadErrorAndStays) {
  const std::string folder = dir.MakeDir("locked");
  dir.Write("locked/tavelo.ini", kBroken);
#ifdef _WIN32
  GTEST_SKIP() << "a folder's mode bits do not keep Windows from renaming in it";
#else
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  if (geteuid() == 0) {
    chmod(folder.c_str(), 0755);
    GTEST_SKIP() << "running as root: a read-only folder still takes renames";
  }
#endif
  try {
    SaveSettingsKeepingBrokenFile(folder + "/tavelo.ini", Choices());
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "RootKey not Open.");
  }
  EXPECT_EQ(platform::ReadWholeFile(folder + "/tavelo.ini"), kBroken);
}

}  // namespace
