#include "zip/FileListExpansion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/TempDir.h"

namespace {

using platform::testing::SystemPath;
using platform::testing::TempDir;
using Lines = std::vector<std::string>;

// Runs the expansion the way the zip run does, collecting the missing-file reports.
struct Expansion {
  TStringList files;
  TStringList exclude;
  TStoreNameOptions names;
  bool recurse = false;
  std::string zipName;
  Lines missing;

  int64_t Run(const Lines& lines) {
    files.lines = lines;
    TExpansionContext context{files, names, recurse, exclude, false, zipName,
                              [this](const std::string& name) { missing.push_back(name); },
                              nullptr};
    return ExpandFileList(context);
  }
};

// Changes the current folder for one test and changes it back.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolder() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

TEST(ExpandFileList, ExistingFilesAreKeptAndTheirSizesSummed) {
  TempDir dir;
  const std::string gtl = dir.Write("GTL", "12345");
  const std::string sheet = dir.Write("Contect.txt", "1234567");
  Expansion e;
  EXPECT_EQ(e.Run({gtl, sheet}), 12);
  EXPECT_EQ(e.files.lines, (Lines{gtl, sheet}));
  EXPECT_TRUE(e.missing.empty());

  std::string fileName, directory;
  StoredName(e.files[0], e.names, fileName, directory);
  EXPECT_EQ(fileName + "|" + directory, "GTL|");
  StoredName(e.files[1], e.names, fileName, directory);
  EXPECT_EQ(fileName + "|" + directory, "Contect.txt|");
}

TEST(ExpandFileList, MissingLinesAreRemovedInOrderAndReported) {
  TempDir dir;
  const std::string a = dir.Write("a.txt", "aa");
  const std::string b = dir.Write("b.txt", "bbb");
  const std::string c = dir.Write("c.txt", "c");
  Expansion e;
  EXPECT_EQ(e.Run({dir / "gone1", a, b, dir / "gone2", dir / "gone3", c}), 6);
  EXPECT_EQ(e.files.lines, (Lines{a, b, c}));
  EXPECT_EQ(e.missing, (Lines{dir / "gone1", dir / "gone2", dir / "gone3"}));
}

TEST(ExpandFileList, BareNamesAreTakenFromRootDirOrTheCurrentFolder) {
  TempDir dir;
  dir.Write("GTL", "123");
  dir.Write("sub/GBL", "4567");
  {
    CurrentFolder here(dir.Path());
    Expansion e;
    EXPECT_EQ(e.Run({"GTL", "GBL"}), 3);
    EXPECT_EQ(e.files.lines, (Lines{"GTL"}));  // stays a bare name
    EXPECT_EQ(e.missing, (Lines{"GBL"}));
  }
  Expansion e;
  e.names.RootDir = dir / "sub";  // the missing trailing "/" is supplied
  EXPECT_EQ(e.Run({"GBL"}), 4);
  EXPECT_EQ(e.files.lines, (Lines{dir / "sub/GBL"}));
}

TEST(ExpandFileList, AFolderLineIsKeptForTheZipRunToLeaveOut) {
  TempDir dir;
  dir.MakeDir("folder");
  Expansion e;
  EXPECT_EQ(e.Run({dir / "folder"}), 0);
  EXPECT_EQ(e.files.lines, (Lines{dir / "folder"}));
}

// A board folder with a sub-folder and the archive itself beside the layer files.
class PatternTree : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("board/Contect.txt", "1234");
    dir.Write("board/GTL", "12");
    dir.Write("board/Li-2024.zip", "PK");
    dir.Write("board/sub/drill.txt", "123");
    dir.Write("board/z.gbr", "1");
    dir.Write("plain.txt", "12345");
  }
  std::string P(const std::string& name) const { return dir / name; }
  TempDir dir;
};

TEST_F(PatternTree, StarDotStarGivesEveryFileOfTheFolderButTheArchive) {
  Expansion e;
  e.zipName = dir / "board/LI-2024.zip";  // compared ignoring ASCII case
  EXPECT_EQ(e.Run({P("board/*.*"), P("plain.txt")}), 5 + 4 + 2 + 1);
  // Plain lines first, then the pattern's files in listing order.
  EXPECT_EQ(e.files.lines,
            (Lines{P("plain.txt"), P("board/Contect.txt"), P("board/GTL"), P("board/z.gbr")}));
}

TEST_F(PatternTree, ArchiveIsRecognisedThroughARelativePatternFolder) {
  CurrentFolder here(dir.Path());
  Expansion e;
  e.zipName = P("board/Li-2024.zip");
  EXPECT_EQ(e.Run({SystemPath("board/*.zip")}), 0);
  EXPECT_TRUE(e.files.lines.empty());
}

TEST_F(PatternTree, GreaterThanRecursesAndBarNeverDoes) {
  Expansion e;
  e.zipName = P("board/Li-2024.zip");
  e.Run({">" + P("board/*.*")});
  EXPECT_EQ(e.files.lines, (Lines{P("board/Contect.txt"), P("board/GTL"), P("board/sub/drill.txt"),
                                  P("board/z.gbr")}));
  e.recurse = true;
  e.Run({"|" + P("board/*.*")});
  EXPECT_EQ(e.files.lines, (Lines{P("board/Contect.txt"), P("board/GTL"), P("board/z.gbr")}));
  e.Run({P("board/*.txt")});  // no prefix: Recurse decides
  EXPECT_EQ(e.files.lines, (Lines{P("board/Contect.txt"), P("board/sub/drill.txt")}));
}

TEST_F(PatternTree, BareOrFolderWildcardPatternsSearchFromRootDir) {
  Expansion e;
  e.names.RootDir = P("board/");
  EXPECT_EQ(e.Run({"*.gbr", "GT?"}), 1 + 2);
  EXPECT_EQ(e.files.lines, (Lines{P("board/z.gbr"), P("board/GTL")}));
  // A wildcard in the folder part: the folders matching it are searched.
  EXPECT_EQ(e.Run({P("b*/s*/*.txt")}), 3);
  EXPECT_EQ(e.files.lines, (Lines{P("board/sub/drill.txt")}));
}

TEST_F(PatternTree, ExcludePatternWithoutSlashMatchesNamePartsInAnyFolder) {
  Expansion e;
  e.recurse = true;
  e.exclude.Add("*.TXT");
  e.Run({P("plain.txt"), P("board/*"), P("board/GTL")});
  EXPECT_EQ(e.files.lines, (Lines{P("board/GTL"), P("board/GTL"), P("board/Li-2024.zip"),
                                  P("board/z.gbr")}));
  EXPECT_TRUE(e.missing.empty());  // excluded lines are not reported as missing

  e.exclude.Clear();
  e.exclude.Add(SystemPath("*/sub/*"));  // with a delimiter: matched against the whole name
  e.Run({P("board/*.txt")});
  EXPECT_EQ(e.files.lines, (Lines{P("board/Contect.txt")}));
}

TEST_F(PatternTree, PatternsThatFindNothingAddNothingAndRaiseNothing) {
  Expansion e;
  e.recurse = true;
  const Lines lines = {P("missing/*.*"), P("missing*/x/*.*"), P("board/<a-c"), P("board/*.none"),
                       "*.txt" /* no folder, no RootDir: no folder to search */};
  EXPECT_EQ(e.Run(lines), 0);
  EXPECT_TRUE(e.files.lines.empty());
  EXPECT_TRUE(e.missing.empty());
}

TEST_F(PatternTree, FreshenKeepsOnlyFilesWhoseStoredNameTheArchiveHolds) {
  TStringList files, exclude;
  files.lines = {P("plain.txt"), P("board/GTL"), P("board/*.*")};
  std::vector<std::string> asked;
  TStoreNameOptions names;
  names.StorePaths = true;
  names.RelativePaths = true;
  names.RootDir = dir.Path();
  TExpansionContext context{files, names, false, exclude, true, P("board/Li-2024.zip"), nullptr,
                            [&](const std::string& fileName, const std::string& directory) {
                              asked.push_back(directory + fileName);
                              return fileName == "GTL" || fileName == "z.gbr";
                            }};
  EXPECT_EQ(ExpandFileList(context), 2 + 2 + 1);
  EXPECT_EQ(files.lines, (Lines{P("board/GTL"), P("board/GTL"), P("board/z.gbr")}));
  EXPECT_EQ(asked, (Lines{"plain.txt", "board/GTL", "board/Contect.txt", "board/GTL",
                          "board/z.gbr"}));
}

TEST_F(PatternTree, SkipIfArchiveBitNotSetLeavesEveryFileOut) {
  TStringList files, exclude;
  files.lines = {P("plain.txt"), P("gone"), P("board/*.*")};
  Lines missing;
  TExpansionContext context{files, TStoreNameOptions{}, false, exclude, false, "",
                            [&](const std::string& name) { missing.push_back(name); }, nullptr,
                            true};
  EXPECT_EQ(ExpandFileList(context), 0);
  EXPECT_TRUE(files.lines.empty());
  EXPECT_EQ(missing, (Lines{P("gone")}));
}

}  // namespace
