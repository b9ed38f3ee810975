// Focus: the folder questions behind the settings location: writability (the real access
// check, which root always passes), environment values and making a chain of folders.
#include "platform/FolderAccess.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/testing/TempDir.h"

using platform::testing::TempDir;

TEST(FolderWritable, WritableFolderPassesAMissingFolderAndAFileDoNot) {
  TempDir dir;
  EXPECT_TRUE(platform::FolderWritable(dir.Path()));
  EXPECT_FALSE(platform::FolderWritable(dir / "missing"));
  EXPECT_FALSE(platform::FolderWritable(dir.Write("file", "x")));
}

TEST(FolderWritable, ReadOnlyFolderFailsForANormalUser) {
  if (geteuid() == 0)
    GTEST_SKIP() << "running as root: access(W_OK) ignores mode bits, so a read-only folder "
                    "is writable for root; the decision itself is tested with an injected answer";
  TempDir dir;
  const std::string folder = dir.MakeDir("readonly");
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  EXPECT_FALSE(platform::FolderWritable(folder));
}

TEST(EnvironmentValue, SetAndUnset) {
  setenv("TAVELO_TEST_VALUE", "/some/where", 1);
  EXPECT_EQ(platform::EnvironmentValue("TAVELO_TEST_VALUE"), "/some/where");
  unsetenv("TAVELO_TEST_VALUE");
  EXPECT_EQ(platform::EnvironmentValue("TAVELO_TEST_VALUE"), "");
}

TEST(MakeFolders, MakesEveryMissingParentAndAcceptsAnExistingFolder) {
  TempDir dir;
  const std::string deep = dir / "a/b/c";
  ASSERT_TRUE(platform::MakeFolders(deep));
  EXPECT_TRUE(platform::DirectoryExists(deep));
  struct stat st;
  ASSERT_EQ(stat((dir / "a").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(platform::MakeFolders(deep));  // already there
  const std::string file = dir.Write("plain", "x");
  EXPECT_FALSE(platform::MakeFolders(file));
  EXPECT_FALSE(platform::MakeFolders(file + "/below"));
}
