#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kztools/kzIniTestSupport.h"
#include "kztools/kzIniTools.h"
#include "platform/FileStream.h"
#include "platform/testing/FaultLoop.h"
#include "platform/testing/TempDir.h"

using kztest::CrLf;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string Render(TKZIniFile& ini) {
  TSaveIniFile list;
  ini.SaveToStrings(list);
  return list.Text();
}

void LoadBytes(TKZIniFile& ini, const std::string& bytes) {
  TStringList lines;
  lines.SetText(bytes);
  ini.LoadFromStrings(lines);
}

// The store's content of the first worked example, written through the store.
void WriteOption(TKZIniFile& ini) {
  ini.SetQuotedStrings(true);
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  if (!ini.SubKeyOpened()) ini.AddSubKey();
  ini.WriteBool("GTO", true);
  ini.WriteString("Name", "plain text");
  ini.WriteString("Memo", "line one\r\nline two");
  ini.CloseSubKey();
}

const std::string kOption = CrLf({
    "Option:[%RootKey%]",
    "[%",
    "  GTO:TRUE",
    "  Name:\"plain text\"",
    "  Memo:\"line one$N$Dline two\"",
    "%]",
});

const std::string kThreeRootKeys = kOption + CrLf({
    "",
    "Second:[%RootKey%]",
    "Third:[%RootKey%]",
    "[%",
    "  Left:100",
    "%]",
    "[%",
    "  Top:20",
    "%]",
});

TEST(IniSave, WorkedExamples) {
  TKZIniFile ini;
  WriteOption(ini);
  EXPECT_EQ(Render(ini), kOption);
  ini.OpenRootKey("Second");
  ini.OpenRootKey("Third");
  ini.AddSubKey();
  ini.WriteValue("Left", "100");
  ini.AddSubKey();
  ini.WriteValue("Top", "20");
  EXPECT_EQ(Render(ini), kThreeRootKeys);
  EXPECT_EQ(Render(ini), kThreeRootKeys);  // saving changes nothing
  EXPECT_EQ(TKZIniFile::NodeName(ini.OpenedRootKey()), "Third");
  EXPECT_TRUE(ini.SubKeyOpened());
}

TEST(IniSave, SettingsFileOfTheMainWindow) {
  platform::testing::TempDir dir;
  const std::string path = dir / "tavelo.ini";
  {
    TKZIniFile ini;
    ini.SetQuotedStrings(true);
    ini.OpenRootKey("Option");
    ini.OpenFirstSubKey();
    if (!ini.SubKeyOpened()) ini.AddSubKey();
    for (const char* layer : {"GTO", "GTP", "GTS", "GTL", "GBO", "GBP", "GBS", "GBL", "GKO",
                              "GM1", "GPT", "GPB", "TXT"}) {
      ini.WriteBool(layer, layer == "GTO"s || layer == "GTL"s);
    }
    ini.WriteString("Name", "\xD5\xC5\xC8\xFD");  // 张三 in GBK
    ini.WriteString("Tel", "123");
    ini.WriteString("QQ", "");
    ini.WriteString("PCard", "");
    ini.WriteString("Addr", "");
    ini.WriteString("Memo", "a\r\nb");
    ini.WriteBool("ZIP", true);
    ini.WriteString("Path", "D:\\board");
    ini.CloseSubKey();
    ini.SaveToFile(path);
  }
  const std::string expected = CrLf({
      "Option:[%RootKey%]", "[%",           "  GTO:TRUE",    "  GTP:FALSE",
      "  GTS:FALSE",        "  GTL:TRUE",   "  GBO:FALSE",   "  GBP:FALSE",
      "  GBS:FALSE",        "  GBL:FALSE",  "  GKO:FALSE",   "  GM1:FALSE",
      "  GPT:FALSE",        "  GPB:FALSE",  "  TXT:FALSE",   "  Name:\"\xD5\xC5\xC8\xFD\"",
      "  Tel:\"123\"",      "  QQ:\"\"",    "  PCard:\"\"",  "  Addr:\"\"",
      "  Memo:\"a$N$Db\"",  "  ZIP:TRUE",   "  Path:\"D:\\board\"", "%]",
  });
  EXPECT_EQ(platform::ReadWholeFile(path), expected);
  // And it reads back as written.
  TKZIniFile ini;
  ini.LoadFromFile(path);
  ini.SetQuotedStrings(true);
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  EXPECT_EQ(ini.ReadString("Name"), "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(ini.ReadString("Memo"), "a\r\nb");
  EXPECT_TRUE(ini.ReadBool("GTL"));
  EXPECT_FALSE(ini.ReadBool("GTP"));
}

TEST(IniSave, ShapesOfTheTree) {
  struct Case {
    const char* what;
    std::string input;
    std::string output;
  };
  const Case cases[] = {
      {"an empty tree writes nothing", "", ""},
      {"a root key without blocks", CrLf({"A:[%RootKey%]", "B:[%RootKey%]"}),
       CrLf({"A:[%RootKey%]", "B:[%RootKey%]"})},
      {"a block without values", CrLf({"A:[%RootKey%]", "[%", "%]"}),
       CrLf({"A:[%RootKey%]", "[%", "%]"})},
      {"a file ending inside a block gets its closer", CrLf({"A:[%RootKey%]", "[%", "  a:1"}),
       CrLf({"A:[%RootKey%]", "[%", "  a:1", "%]"})},
      {"duplicates are written in order", CrLf({"A:[%RootKey%]", "[%", "  a:1", "  A:2", "%]"}),
       CrLf({"A:[%RootKey%]", "[%", "  a:1", "  A:2", "%]"})},
  };
  for (const auto& c : cases) {
    TKZIniFile ini;
    LoadBytes(ini, c.input);
    EXPECT_EQ(Render(ini), c.output) << c.what;
  }
}

TEST(IniSave, UnquotedLineBreaksGoIntoTheFile) {
  TKZIniFile ini;
  ini.OpenRootKey("A");
  ini.AddSubKey();
  ini.WriteString("Memo", "one\r\ntwo:x");
  EXPECT_EQ(Render(ini), CrLf({"A:[%RootKey%]", "[%", "  Memo:one\r\ntwo:x", "%]"}));
  TKZIniFile again;
  LoadBytes(again, Render(ini));
  // The second line of the value became a value of its own.
  EXPECT_EQ(Render(again), CrLf({"A:[%RootKey%]", "[%", "  Memo:one", "  two:x", "%]"}));
}

TEST(IniSave, RoundTripGivesIdenticalBytes) {
  TKZIniFile ini;
  LoadBytes(ini, kThreeRootKeys);
  EXPECT_EQ(Render(ini), kThreeRootKeys);
  // Awkward but faithful names and values.
  const std::string awkward = CrLf({
      "\xD5\xC5:[%RootKey%]",
      "[%",
      "  a\tb:x:y:[%rootkey%] z",
      "  /n://",
      "  e:",
      "  q:\"  $Q$N$D$# \"",
      "%]",
  });
  LoadBytes(ini, awkward);
  EXPECT_EQ(Render(ini), awkward);
}

TEST(IniSave, HandEditedFileIsNormalised) {
  const std::string edited =
      "; settings, edited by hand\r\n"
      "\r\n"
      "  option :[%ROOTKEY%]  \n"
      "free text outside a block\n"
      "[%\n"
      "\tGTO : TRUE\n"
      "      Name   :   \"x\"   \r"
      "// a comment\r"
      "    no colon\r\n"
      "%]\n"
      "\n"
      "\n"
      "Other:[%RootKey%]\n"
      "OPTION:[%RootKey%]\n"
      "[%\n"
      "name:y\n"
      "%]\n";
  TKZIniFile ini;
  LoadBytes(ini, edited);
  EXPECT_EQ(Render(ini), CrLf({
                             "option:[%RootKey%]",
                             "[%",
                             "  \tGTO:TRUE",
                             "  Name:\"x\"",
                             "%]",
                             "[%",
                             "  name:y",
                             "%]",
                             "",
                             "Other:[%RootKey%]",
                         }));
}

TEST(IniSave, WritingOverALoadedFileKeepsEverythingElse) {
  const std::string before = CrLf({
      "Before:[%RootKey%]",
      "[%",
      "  k:v",
      "%]",
      "",
      "Option:[%RootKey%]",
      "[%",
      "  gto:TRUE",
      "  Extra:kept",
      "%]",
      "[%",
      "  GTO:FALSE",
      "%]",
  });
  TKZIniFile ini;
  LoadBytes(ini, before);
  WriteOption(ini);
  EXPECT_EQ(Render(ini), CrLf({
                             "Before:[%RootKey%]",
                             "[%",
                             "  k:v",
                             "%]",
                             "",
                             "Option:[%RootKey%]",
                             "[%",
                             "  gto:TRUE",
                             "  Extra:kept",
                             "  Name:\"plain text\"",
                             "  Memo:\"line one$N$Dline two\"",
                             "%]",
                             "[%",
                             "  GTO:FALSE",
                             "%]",
                         }));
}

int EntriesIn(const std::string& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++n;
  return n;
}

TEST(IniSaveToFile, ReplacesTheFileAndKeepsItsPermissions) {
  platform::testing::TempDir dir;
  const std::string path = dir.Write("tavelo.ini", "old content that is longer than the new");
#ifndef _WIN32
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
  // A second name for the old file's bytes: writing in place would change them too,
  // while a new file renamed over the old name leaves them alone.
  const std::string oldBytes = dir / "old-bytes";
  fs::create_hard_link(path, oldBytes);
  TKZIniFile ini;
  WriteOption(ini);
  ini.SaveToFile(path);
  EXPECT_EQ(platform::ReadWholeFile(path), kOption);
  EXPECT_EQ(platform::ReadWholeFile(oldBytes), "old content that is longer than the new");
  fs::remove(oldBytes);
#ifndef _WIN32  // Windows has attributes instead, kept as platform/win32 tests show
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
  EXPECT_EQ(EntriesIn(dir.Path()), 1);  // no temporary file left behind
  // An empty store writes a file of zero bytes.
  TKZIniFile empty;
  empty.SaveToFile(path);
  EXPECT_EQ(fs::file_size(path), 0u);
  const std::string fresh = dir / "fresh.ini";
  ini.SaveToFile(fresh);
  EXPECT_EQ(platform::ReadWholeFile(fresh), kOption);
}

TEST(IniSaveToFile, FailureLeavesTheOldFileAndPassesTheFileError) {
  platform::testing::TempDir dir;
  TKZIniFile ini;
  WriteOption(ini);
  // The folder does not exist: the file layer's create error reaches the caller.
  try {
    ini.SaveToFile(dir / "missing/tavelo.ini");
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"", 0), 0u) << e.Message();
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));
  // The target is a folder with content: the rename fails after the temporary file was
  // written, and the old entry stays as it was with nothing left beside it.
  const std::string occupied = dir.MakeDir("tavelo.ini");
  const std::string inside = dir.Write("tavelo.ini/keep", "keep");
  EXPECT_THROW(ini.SaveToFile(occupied), Exception);
  EXPECT_TRUE(fs::is_directory(occupied));
  EXPECT_EQ(platform::ReadWholeFile(inside), "keep");
  EXPECT_EQ(EntriesIn(dir.Path()), 1);
  // The tree is unchanged and can still be saved elsewhere.
  ini.SaveToFile(dir / "ok.ini");
  EXPECT_EQ(platform::ReadWholeFile(dir / "ok.ini"), kOption);
}

}  // namespace

// The settings save with every file operation failing in turn: each failure reaches the
// caller, the settings file holds the old bytes (or, once renamed into place, the new
// ones whole) and no sibling file is left; the complete save writes exactly the rendering.
TEST(IniSaveToFile, EveryFailingFileOperationLeavesAWholeFile) {
  platform::testing::TempDir dir;
  const std::string old = "Option:[%RootKey%]\r\n[%\r\n  GTO:FALSE\r\n%]\r\n";
  const std::string path = dir.Write("tavelo.ini", old);
  TKZIniFile ini;
  WriteOption(ini);
  int64_t renameAt = 0;
  const int64_t points = platform::testing::FailEachOperationInTurn(
      [&] { ini.SaveToFile(path); },
      [&](const platform::testing::FaultRun& run) {
        if (run.fired && run.operation == platform::FileOperation::Rename) renameAt = run.failAt;
        const bool renamed = renameAt != 0 && run.failAt > renameAt;
        EXPECT_EQ(run.threw, run.fired) << run.Describe();
        EXPECT_EQ(platform::ReadWholeFile(path), run.fired && !renamed ? old : kOption)
            << run.Describe();
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
            << run.Describe();
        platform::WriteWholeFile(path, old);
      });
  EXPECT_GT(points, 0);
  EXPECT_NE(renameAt, 0);
}
