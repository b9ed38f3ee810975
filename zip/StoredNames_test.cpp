#include "zip/StoredNames.h"

#include <gtest/gtest.h>

#include "platform/testing/TestPaths.h"

using platform::testing::SystemPath;

namespace {

struct NameCase {
  const char* fullName;
  bool storePaths, relativePaths, storeVolumes;
  const char* rootDir;
  const char* fileName;
  const char* directory;
};

void ExpectStoredNames(const NameCase& c) {
  TStoreNameOptions options;
  options.StorePaths = c.storePaths;
  options.RelativePaths = c.relativePaths;
  options.StoreVolumes = c.storeVolumes;
  options.RootDir = c.rootDir;
  std::string fileName = "stale", directory = "stale";
  StoredName(c.fullName, options, fileName, directory);
  EXPECT_EQ(fileName, c.fileName) << c.fullName;
  EXPECT_EQ(directory, c.directory) << c.fullName << " root " << c.rootDir;
}

// Paths written with "/" and taken in the system's form: the rules both systems share.
TEST(StoredName, TableOfOptions) {
  const NameCase cases[] = {
      // Defaults: the bare name, no folder.
      {"/home/u/boards/x/GTL", false, false, false, "", "GTL", ""},
      {"/home/u/boards/x/Contect.txt", false, true, false, "/home/u/", "Contect.txt", ""},
      // StorePaths alone: the folder without its leading delimiter, "/" in the archive.
      {"/home/u/boards/x/GTL", true, false, false, "", "GTL", "home/u/boards/x/"},
      {"/GTL", true, false, false, "", "GTL", ""},
      {"GTL", true, false, false, "", "GTL", ""},
      {"sub/GTL", true, false, false, "", "GTL", "sub/"},
      // RelativePaths: RootDir cut off, compared ignoring ASCII case.
      {"/home/u/boards/x/GTL", true, true, false, "/home/u/", "GTL", "boards/x/"},
      {"/HOME/U/boards/x/GTL", true, true, false, "/home/u/", "GTL", "boards/x/"},
      {"/home/u/boards/x/GTL", true, true, false, "/home/u", "GTL", "boards/x/"},
      {"/home/u/GTL", true, true, false, "/home/u/", "GTL", ""},
      {"/home/user/GTL", true, true, false, "/home/u/", "GTL", "home/user/"},
      // Outside RootDir the full folder is kept, but never as an absolute path.
      {"/other/GTL", true, true, false, "/home/u/", "GTL", "other/"},
  };
  for (NameCase c : cases) {
    const std::string full = SystemPath(c.fullName), root = SystemPath(c.rootDir);
    c.fullName = full.c_str();
    c.rootDir = root.c_str();
    ExpectStoredNames(c);
  }
}

#ifdef _WIN32
// Drives and network shares are left out unless StoreVolumes keeps them, a folder
// delimiter never leads, and the archive separates folders with "/".
TEST(StoredName, WindowsVolumes) {
  const NameCase cases[] = {
      {"D:\\boards\\x\\GTL", false, false, false, "", "GTL", ""},
      {"D:\\boards\\x\\GTL", true, false, false, "", "GTL", "boards/x/"},
      {"D:\\GTL", true, false, false, "", "GTL", ""},
      {"D:GTL", true, false, false, "", "GTL", ""},
      {"\\\\srv\\share\\x\\GTL", true, false, false, "", "GTL", "x/"},
      {"\\\\srv\\share\\GTL", true, false, false, "", "GTL", ""},
      {"D:\\boards\\x\\GTL", true, true, false, "d:\\BOARDS\\", "GTL", "x/"},
      {"E:\\other\\GTL", true, true, false, "D:\\boards\\", "GTL", "other/"},
      {"D:\\boards\\x\\GTL", true, false, true, "", "GTL", "D:/boards/x/"},
  };
  for (const NameCase& c : cases) ExpectStoredNames(c);
}
#else
TEST(StoredName, LinuxHasNoVolumes) {
  const NameCase cases[] = {
      {"//srv/GTL", true, false, false, "", "GTL", "srv/"},
      // StoreVolumes keeps nothing more, still no leading "/".
      {"/home/u/x/GTL", true, false, true, "", "GTL", "home/u/x/"},
  };
  for (const NameCase& c : cases) ExpectStoredNames(c);
}
#endif

TEST(StoredName, Store83NamesChangesNothingOnLinux) {
#ifdef _WIN32
  GTEST_SKIP() << "short 8.3 names are not taken from the Windows file system yet";
#endif
  TStoreNameOptions options;
  options.Store83Names = true;
  options.StorePaths = true;
  std::string fileName, directory;
  StoredName("/data/Long Folder Name/A very long file name.gerber", options, fileName, directory);
  EXPECT_EQ(fileName, "A very long file name.gerber");
  EXPECT_EQ(directory, "data/Long Folder Name/");
}

TEST(StoredPath, AgreesWithStoredNameIncludingFilesOutsideRootDir) {
  TStoreNameOptions options;
  options.StorePaths = true;
  options.RelativePaths = true;
  options.RootDir = SystemPath("/home/u/");
  for (const char* written : {"/home/u/boards/x/gtl", "/home/u/gtl", "/other/place/gtl", "/gtl"}) {
    const std::string name = SystemPath(written);
    std::string fileName, directory;
    StoredName(name, options, fileName, directory);
    EXPECT_EQ(StoredPath(name, options), directory) << name;
  }
  // The caller lower-cases the name; RootDir still matches ignoring case.
  options.RootDir = SystemPath("/Home/U/");
  EXPECT_EQ(StoredPath(SystemPath("/home/u/boards/gtl"), options), "boards/");
  options.StorePaths = false;
  EXPECT_EQ(StoredPath(SystemPath("/home/u/boards/gtl"), options), "");
}

TEST(NormalizeName, RoundTripsThroughTheArchiveCodePage) {
  // Chinese text that GBK holds comes back byte for byte; ASCII is untouched.
  const std::string chinese = "/tmp/\xE6\x9D\x8E\xE5\x9B\x9B-2024.zip";  // "李四"
  EXPECT_EQ(NormalizeName(chinese), chinese);
  EXPECT_EQ(NormalizeName("/a/B c.txt"), "/a/B c.txt");
  // A character GBK lacks is replaced, as storing the name would replace it.
  EXPECT_EQ(NormalizeName("a\xF0\x9F\x98\x80.txt"), "a?.txt");  // an emoji
  std::string fileName, directory;
  StoredName(SystemPath("/d/x\xF0\x9F\x98\x80.txt"), TStoreNameOptions{}, fileName, directory);
  EXPECT_EQ(fileName, "x?.txt");
}

}  // namespace
