#include "platform/Paths.h"

#include <gtest/gtest.h>

TEST(ChangeFileExt, ReplacesTheNamePartsExtensionOnly) {
  struct Case { const char* path; const char* result; };
  const Case cases[] = {
      {"/opt/tools/app.exe", "/opt/tools/app.ini"},
      {"/opt/my.tools/app", "/opt/my.tools/app.ini"},
      {"/opt/tools/tavelo", "/opt/tools/tavelo.ini"},
      {"/a/b.c.d", "/a/b.c.ini"},
      {"app", "app.ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ChangeFileExt(c.path, ".ini"), c.result) << c.path;
}

TEST(Paths, SplitAtTheLastDelimiter) {
  EXPECT_EQ(platform::ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(platform::ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(platform::ExtractFilePath("c.txt"), "");
  EXPECT_EQ(platform::ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(platform::IncludeTrailingDelimiter(""), "/");
  EXPECT_EQ(platform::IncludeTrailingDelimiter("/x/"), "/x/");
  EXPECT_EQ(platform::ExpandFileName("/abs"), "/abs");
  EXPECT_EQ(platform::ExpandFileName("rel").back(), 'l');
  EXPECT_EQ(platform::ExpandFileName("rel").front(), '/');
}

TEST(ApplicationTitle, NameUpToFirstDotWithLaterLettersLowered) {
  EXPECT_EQ(platform::ApplicationTitle("/usr/bin/tavelo"), "tavelo");
  EXPECT_EQ(platform::ApplicationTitle("/x/TAVELO.bin.exe"), "Tavelo");
  EXPECT_EQ(platform::ApplicationTitle("/x/zOR"), "zor");
}
