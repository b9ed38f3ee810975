// Focus: the Windows path rules: "\" and the drive's colon split names, a drive root keeps
// one backslash, an empty path is the root of the current drive.
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/TempFiles.h"

TEST(Win32Paths, DelimitersAndDriveRoots) {
  struct Case { const char* path; const char* folder; const char* name; };
  const Case cases[] = {
      {"D:\\boards\\x\\GTL", "D:\\boards\\x\\", "GTL"},
      {"D:\\GTL", "D:\\", "GTL"},
      {"D:GTL", "D:", "GTL"},
      {"\\\\server\\share\\GTL", "\\\\server\\share\\", "GTL"},
      {"boards/x.GTL", "", "boards/x.GTL"},  // "/" is no delimiter of the designed rules
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::ExtractFilePath(c.path), c.folder) << c.path;
    EXPECT_EQ(platform::ExtractFileName(c.path), c.name) << c.path;
  }
  EXPECT_EQ(platform::IncludeTrailingDelimiter("D:\\"), "D:\\");
  EXPECT_EQ(platform::IncludeTrailingDelimiter("D:\\boards"), "D:\\boards\\");
  EXPECT_EQ(platform::IncludeTrailingDelimiter(""), "\\");
  EXPECT_TRUE(platform::IsRootFolder("D:\\"));
  EXPECT_TRUE(platform::IsRootFolder("\\"));
  EXPECT_FALSE(platform::IsRootFolder("D:\\x\\"));
  EXPECT_EQ(platform::ChangeFileExt("C:\\Tools\\tavelo.exe", ".ini"), "C:\\Tools\\tavelo.ini");
}

// The working folder of an empty path is "\": the root of the current drive, which lists
// what that drive's root holds.
TEST(Win32Paths, EmptyPathIsTheRootOfTheCurrentDrive) {
  const std::string cwd = platform::ExpandFileName(".");
  ASSERT_GE(cwd.size(), 3u);
  ASSERT_EQ(cwd[1], ':');
  const std::string driveRoot = cwd.substr(0, 3);
  EXPECT_EQ(platform::ExpandFileName(platform::IncludeTrailingDelimiter("")), driveRoot);
  EXPECT_EQ(platform::ExpandFileName("\\GTL"), driveRoot + "GTL");
  EXPECT_TRUE(platform::DirectoryExists("\\"));
  std::vector<std::string> fromEmpty, fromRoot;
  for (const auto& e : platform::ListFolder("")) fromEmpty.push_back(e.name);
  for (const auto& e : platform::ListFolder(driveRoot)) fromRoot.push_back(e.name);
  EXPECT_FALSE(fromRoot.empty());
  EXPECT_EQ(fromEmpty, fromRoot);
}

TEST(Win32Paths, ExpandResolvesAndTheExecutableIsKnown) {
  EXPECT_EQ(platform::ExpandFileName("C:\\a\\b\\..\\c/d.txt"), "C:\\a\\c\\d.txt");
  const std::string exe = platform::ExecutablePath();
  EXPECT_EQ(platform::ExtractFileName(exe), "platform_test.exe");
  EXPECT_EQ(platform::ApplicationTitle(exe), "platform_test");
  EXPECT_TRUE(platform::FileExists(exe));
}
