#include "zip/DirSearch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/TempDir.h"

namespace {

using platform::testing::TempDir;

std::vector<std::string> All(TDirSearch& search) {
  std::vector<std::string> names;
  for (std::string name = search.Next(); !name.empty(); name = search.Next()) names.push_back(name);
  EXPECT_EQ(search.Next(), "");  // stays exhausted
  return names;
}

// A small tree: files with and without extension, a hidden file, a hidden folder and
// nested sub-folders, so listing order and depth-first entry show.
class DirSearchTree : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("A.txt", "a");
    dir.Write("b/b1.txt", "b1");
    dir.Write("b/deep/d1.txt", "d1");
    dir.Write("C", "c");
    dir.Write(".dotfile", ".");
    dir.Write(".hidden/h.txt", "h");
    dir.Write("z.txt", "zz");
  }
  std::string P(const std::string& name) const { return dir / name; }
  TempDir dir;
};

TEST_F(DirSearchTree, WithoutRecursionListsTheFolderOnlyIncludingHiddenFiles) {
  TDirSearch search(dir.Path(), false, "*.*");
  EXPECT_EQ(All(search), (std::vector<std::string>{P(".dotfile"), P("A.txt"), P("C"), P("z.txt")}));
}

TEST_F(DirSearchTree, RecursionEntersSubFoldersWhereTheyAreMetButNeverDotFolders) {
  TDirSearch search(dir.Path(), true, "*.*");
  EXPECT_EQ(All(search), (std::vector<std::string>{P(".dotfile"), P("A.txt"), P("b/b1.txt"),
                                                   P("b/deep/d1.txt"), P("C"), P("z.txt")}));
}

TEST_F(DirSearchTree, FolderWithoutTrailingSlashAndSizeOfLastEntry) {
  std::string folder = dir.Path();
  folder.pop_back();
  TDirSearch search(folder, false, "Z*");
  EXPECT_EQ(search.Next(), P("z.txt"));
  EXPECT_EQ(search.LastEntry().size, 2u);
  EXPECT_EQ(search.Next(), "");
}

TEST_F(DirSearchTree, NamesWithoutExtensionMatchWithAndWithoutTheAppendedDot) {
  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"*.", {P("C")}},
      {"c", {P("C")}},
      {"?", {P("C")}},
      {"*.TXT", {P("A.txt"), P("z.txt")}},
      {"<a-c>*", {P("A.txt"), P("C")}},
      {"nothing*", {}},
  };
  for (const Case& c : cases) {
    TDirSearch search(dir.Path(), false, c.pattern);
    EXPECT_EQ(All(search), c.names) << c.pattern;
  }
}

TEST(DirSearch, FolderPatternsLimitTheSubFoldersEnteredAtEachLevel) {
  TempDir dir;
  dir.Write("p1/x/f.txt", "");
  dir.Write("p1/x/sub/k.txt", "");
  dir.Write("p1/y/no.txt", "");
  dir.Write("p2/x/g.txt", "");
  dir.Write("q/x/no.txt", "");
  dir.Write("p3", "a file, not a folder");
  dir.Write(".p4/x/no.txt", "");

  TDirSearch flat(dir / "p*/x", false, "*.txt");
  EXPECT_EQ(All(flat), (std::vector<std::string>{dir / "p1/x/f.txt", dir / "p2/x/g.txt"}));

  TDirSearch deep(dir / "p<0-9>/x/", true, "*.txt");
  EXPECT_EQ(All(deep), (std::vector<std::string>{dir / "p1/x/f.txt", dir / "p1/x/sub/k.txt",
                                                 dir / "p2/x/g.txt"}));

  EXPECT_EQ(TDirSearch::OpenedFolder(dir / "p*/x"), dir.Path());
  EXPECT_EQ(TDirSearch::OpenedFolder(dir / "p1"), dir / "p1/");
}

TEST(DirSearch, LinksBackIntoTheWalkAreNotFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "folder links need a privilege on Windows, and Wine makes none";
#endif
  TempDir dir;
  dir.Write("a/f.txt", "");
  dir.Write("other/g.txt", "");
  // Two links back up the tree would multiply the walk without end; a link to a folder
  // outside the walk is followed like a folder.
  std::filesystem::create_directory_symlink(dir.Path(), dir / "a/up1");
  std::filesystem::create_directory_symlink(dir / "a", dir / "a/up2");
  std::filesystem::create_directory_symlink(dir / "other", dir / "a/side");
  TDirSearch search(dir.Path(), true, "*.txt");
  EXPECT_EQ(All(search), (std::vector<std::string>{dir / "a/f.txt", dir / "a/side/g.txt",
                                                   dir / "other/g.txt"}));
}

TEST(DirSearch, MissingFolderGivesNothing) {
  TempDir dir;
  TDirSearch search(dir / "missing", true, "*");
  EXPECT_EQ(search.Next(), "");
}

}  // namespace
