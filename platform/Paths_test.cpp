#include "platform/Paths.h"

#include <gtest/gtest.h>

#include "platform/testing/TestPaths.h"

using platform::testing::SystemPath;

TEST(ChangeFileExt, ReplacesTheNamePartsExtensionOnly) {
  struct Case { const char* path; const char* result; };
  const Case cases[] = {
      {"/opt/tools/app.exe", "/opt/tools/app.ini"},
      {"/opt/my.tools/app", "/opt/my.tools/app.ini"},
      {"/opt/tools/tavelo", "/opt/tools/tavelo.ini"},
      {"/a/b.c.d", "/a/b.c.ini"},
      {"app", "app.ini"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::ChangeFileExt(SystemPath(c.path), ".ini"), SystemPath(c.result)) << c.path;
}

TEST(Paths, SplitAtTheLastDelimiter) {
  EXPECT_EQ(platform::ExtractFilePath(SystemPath("/a/b/c.txt")), SystemPath("/a/b/"));
  EXPECT_EQ(platform::ExtractFileName(SystemPath("/a/b/c.txt")), "c.txt");
  EXPECT_EQ(platform::ExtractFilePath("c.txt"), "");
  EXPECT_EQ(platform::ExtractFileExt(SystemPath("/a.b/c")), "");
  EXPECT_EQ(platform::IncludeTrailingDelimiter(""), SystemPath("/"));
  EXPECT_EQ(platform::IncludeTrailingDelimiter(SystemPath("/x/")), SystemPath("/x/"));
  EXPECT_EQ(platform::ExpandFileName("rel").back(), 'l');
#ifndef _WIN32
  // Windows adds the drive; its rules are tested in win32/.
  EXPECT_EQ(platform::ExpandFileName("/abs"), "/abs");
  EXPECT_EQ(platform::ExpandFileName("rel").front(), '/');
#endif
}

TEST(ApplicationTitle, NameUpToFirstDotWithLaterLettersLowered) {
  EXPECT_EQ(platform::ApplicationTitle(SystemPath("/usr/bin/tavelo")), "tavelo");
  EXPECT_EQ(platform::ApplicationTitle(SystemPath("/x/TAVELO.bin.exe")), "Tavelo");
  EXPECT_EQ(platform::ApplicationTitle(SystemPath("/x/zOR")), "zor");
}
