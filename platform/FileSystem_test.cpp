#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "platform/FileStream.h"
#include "platform/testing/TempDir.h"

using platform::testing::TempDir;

TEST(WildcardMatch, Cases) {
  struct Case { const char* pattern; const char* name; bool match; };
  const Case cases[] = {
      {"*.GTL", "top.gtl", true},   {"*.GTL", "a.b.GTL", true}, {"*.GTL", ".GTL", true},
      {"*.GTL", "GTL", false},      {"*.GTL", "top.gtl2", false}, {"*", "", true},
      {"?", "", false},             {"a?c", "ABC", true},        {"*a*a*", "banana", true},
      {"*.txt", "Contect.txt", true}, {"x*", "y", false},        {"**", "anything", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
}

TEST(ListFolder, SortedIgnoringCaseWithAttributes) {
  TempDir dir;
  dir.Write("b.GTL", "1");
  dir.Write("A.gtl", "22");
  dir.Write(".hidden.GTL", "");
  dir.Hide(".hidden.GTL");
  dir.MakeDir("c.GTL");
  auto entries = platform::ListFolder(dir.Path(), "*.gtl");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, ".hidden.GTL");
  EXPECT_TRUE(entries[0].isHidden);
  EXPECT_EQ(entries[1].name, "A.gtl");
  EXPECT_EQ(entries[1].size, 2u);
  EXPECT_TRUE(entries[1].IsPlainFile());
  EXPECT_EQ(entries[2].name, "b.GTL");
  EXPECT_EQ(entries[3].name, "c.GTL");
  EXPECT_TRUE(entries[3].isDir);
  EXPECT_FALSE(entries[3].IsPlainFile());
  EXPECT_TRUE(platform::ListFolder(dir / "missing", "*").empty());
}

TEST(ListFolder, SocketIsASystemEntry) {
#ifdef _WIN32
  GTEST_SKIP() << "Linux form of the system mark; Windows' system attribute is tested in win32/";
#else
  TempDir dir;
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string path = dir / "s.GTL";
  if (path.size() >= sizeof addr.sun_path) GTEST_SKIP() << "temporary path too long for a socket";
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  auto entries = platform::ListFolder(dir.Path(), "*");
  close(fd);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].isSystem);
  EXPECT_FALSE(entries[0].IsPlainFile());
#endif
}

TEST(RenameNoReplace, NeverReplacesAnExistingEntry) {
  TempDir dir;
  dir.Write("a", "new");
  dir.Write("b", "old");
  EXPECT_FALSE(platform::RenameNoReplace(dir / "a", dir / "b"));
  EXPECT_EQ(platform::ReadWholeFile(dir / "b"), "old");
  EXPECT_EQ(platform::ReadWholeFile(dir / "a"), "new");
  dir.MakeDir("d");
  EXPECT_FALSE(platform::RenameNoReplace(dir / "a", dir / "d"));
  EXPECT_TRUE(platform::RenameNoReplace(dir / "a", dir / "c"));
  EXPECT_FALSE(platform::FileExists(dir / "a"));
  EXPECT_EQ(platform::ReadWholeFile(dir / "c"), "new");
}

TEST(Existence, FilesAndFoldersAreTold) {
  TempDir dir;
  dir.Write("f", "x");
  dir.MakeDir("d");
  EXPECT_TRUE(platform::FileExists(dir / "f"));
  EXPECT_FALSE(platform::FileExists(dir / "d"));
  EXPECT_TRUE(platform::DirectoryExists(dir / "d"));
  EXPECT_FALSE(platform::DirectoryExists(dir / "f"));
  uint64_t size = 99;
  EXPECT_TRUE(platform::PathExists(dir / "f", &size));
  EXPECT_EQ(size, 1u);
  EXPECT_TRUE(platform::PathExists(dir / "d"));
  EXPECT_FALSE(platform::PathExists(dir / "none"));
  EXPECT_FALSE(platform::FileExists(""));
}
