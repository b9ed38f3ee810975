#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kztools/kzIniTestSupport.h"
#include "kztools/kzIniTools.h"
#include "platform/testing/TempDir.h"

using kztest::ChildCount;
using kztest::CrLf;
using kztest::ExpectError;
using namespace std::string_literals;

namespace {

class IniLoadTest : public ::testing::Test {
 protected:
  void Load(const std::string& bytes) {
    TStringList lines;
    lines.SetText(bytes);
    ini.LoadFromStrings(lines);
  }
  // The tree as the store renders it, one line per entry (no line ends).
  std::vector<std::string> Tree() {
    TSaveIniFile list;
    ini.SaveToStrings(list);
    return list.lines;
  }
  const TTreeListNode* RootKey(int index) {
    const TTreeListNode* node = ini.TreeRoot()->firstChild;
    while (node && index-- > 0) node = node->next;
    return node;
  }
  TKZIniFile ini;
};

const std::string kSixLines = CrLf({
    "Option:[%RootKey%]",
    "[%",
    "  GTO:TRUE",
    "  Name:\"plain text\"",
    "  Memo:\"line one$N$Dline two\"",
    "%]",
});

TEST_F(IniLoadTest, WorkedExampleKeepsValuesAsStored) {
  Load(kSixLines);
  ASSERT_EQ(ChildCount(ini.TreeRoot()), 1);
  const TTreeListNode* option = RootKey(0);
  EXPECT_EQ(TKZIniFile::NodeName(option), "Option");
  EXPECT_EQ(TKZIniFile::NodeValue(option), "RootKey");
  ASSERT_EQ(ChildCount(option), 1);
  const TTreeListNode* block = option->firstChild;
  ASSERT_EQ(ChildCount(block), 3);
  EXPECT_EQ(TKZIniFile::NodeName(block->firstChild), "GTO");
  EXPECT_EQ(TKZIniFile::NodeValue(block->firstChild), "TRUE");
  EXPECT_EQ(TKZIniFile::NodeValue(block->firstChild->next), "\"plain text\"");
  EXPECT_EQ(TKZIniFile::NodeValue(block->lastChild), "\"line one$N$Dline two\"");
  EXPECT_EQ(block->lastChild->level, 3);
  // The closer closed the block; the root key stays open.
  EXPECT_EQ(ini.OpenedRootKey(), option);
  EXPECT_FALSE(ini.SubKeyOpened());
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  ini.SetQuotedStrings(true);
  EXPECT_EQ(ini.ReadString("Memo"), "line one\r\nline two");
  EXPECT_TRUE(ini.ReadBool("gto"));
}

TEST_F(IniLoadTest, LineEndStylesLoadAlikeAndNulEndsTheText) {
  Load(kSixLines);
  const std::vector<std::string> expected = Tree();
  std::string lf, cr, mixed;
  for (const std::string& line : {"Option:[%RootKey%]"s, "[%"s, "  GTO:TRUE"s,
                                  "  Name:\"plain text\""s, "  Memo:\"line one$N$Dline two\""s,
                                  "%]"s}) {
    lf += line + "\n";
    cr += line + "\r";
    mixed += line + (mixed.size() % 2 ? "\r" : "\r\n");
  }
  for (const std::string& bytes : {lf, cr, mixed, lf.substr(0, lf.size() - 1)}) {
    Load(bytes);
    EXPECT_EQ(Tree(), expected);
  }
  Load("A:[%RootKey%]\r\n[%\r\n  a:1\0  b:2\r\n%]\r\nB:[%RootKey%]\r\n"s);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"A:[%RootKey%]", "[%", "  a:1", "%]"}));
  EXPECT_TRUE(ini.SubKeyOpened());  // the text ended inside the block
}

TEST_F(IniLoadTest, EmptyAndCommentOnlyFilesGiveAnEmptyTree) {
  for (const std::string& bytes :
       {""s, CrLf({"", "   ", "; comment", "// Option:[%RootKey%]", "  ;x:[%RootKey%]"})}) {
    Load(kSixLines);
    Load(bytes);  // replaces what the store held
    EXPECT_EQ(ChildCount(ini.TreeRoot()), 0);
    EXPECT_FALSE(ini.RootKeyOpened());
    EXPECT_FALSE(ini.SubKeyOpened());
  }
}

TEST_F(IniLoadTest, RootKeyLineRecognition) {
  struct Case {
    std::string line;
    std::string name;  // empty: no root key line
  };
  const Case cases[] = {
      {"Option:[%RootKey%]", "Option"},
      {"option:[%rootkey%]", "option"},
      {"Option :[%RootKey%]", "Option"},
      {"   Option:[%ROOTKEY%]   ", "Option"},
      {"Option: [%RootKey%]", ""},
      {"Option:[%RootKey%] x", ""},
      {"Option:[% RootKey%]", ""},
      {"Option[%RootKey%]", ""},
      {"a:b:[%RootKey%]", ""},  // only the text after the first colon counts
      {"\tOption:[%RootKey%]", "\tOption"},
      {"\xD5\xC5:[%RootKey%]", "\xD5\xC5"},
  };
  for (const auto& c : cases) {
    Load(CrLf({c.line}));
    if (c.name.empty()) {
      EXPECT_EQ(ChildCount(ini.TreeRoot()), 0) << c.line;
    } else {
      ASSERT_EQ(ChildCount(ini.TreeRoot()), 1) << c.line;
      EXPECT_EQ(TKZIniFile::NodeName(RootKey(0)), c.name) << c.line;
      EXPECT_TRUE(ini.RootKeyOpened());
    }
  }
}

TEST_F(IniLoadTest, LinesInsideABlock) {
  struct Case {
    std::string line;
    std::vector<std::string> values;  // name=value of every value the line makes
  };
  const Case cases[] = {
      {"  Name:x", {"Name=x"}},
      {"\tName:x", {"\tName=x"}},
      {"  ;Name:x", {}},
      {"  //Name:x", {}},
      {"  /Name:x", {"/Name=x"}},
      {"  Name://x", {"Name=//x"}},
      {"  Path:C:\\dir", {"Path=C:\\dir"}},
      {"  Name :   spaced   ", {"Name=spaced"}},
      {"  Name:", {"Name="}},
      {"  no colon here", {}},
      {"  x:[%RootKeyX%]", {"x=[%RootKeyX%]"}},
  };
  for (const auto& c : cases) {
    Load(CrLf({"Option:[%RootKey%]", "[%", c.line, "%]"}));
    std::vector<std::string> values;
    for (const TTreeListNode* v = RootKey(0)->firstChild->firstChild; v; v = v->next) {
      values.push_back(TKZIniFile::NodeName(v) + "=" + TKZIniFile::NodeValue(v));
    }
    EXPECT_EQ(values, c.values) << c.line;
  }
}

TEST_F(IniLoadTest, BlockStructure) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::vector<std::string> tree;
  };
  const Case cases[] = {
      {"values outside blocks are ignored",
       {"a:1", "Option:[%RootKey%]", "b:2", "[%", "  c:3", "%]", "d:4", "%]"},
       {"Option:[%RootKey%]", "[%", "  c:3", "%]"}},
      {"a tab before the opener leaves the block closed",
       {"Option:[%RootKey%]", "\t[%", "  c:3", "%]"},
       {"Option:[%RootKey%]"}},
      {"two openers in a row make two blocks",
       {"Option:[%RootKey%]", "[%", "  a:1", "[%", "  b:2", "%]"},
       {"Option:[%RootKey%]", "[%", "  a:1", "%]", "[%", "  b:2", "%]"}},
      {"a root key named twice is merged",
       {"Option:[%RootKey%]", "[%", "  a:1", "%]", "Other:[%RootKey%]", "OPTION:[%RootKey%]",
        "[%", "  b:2", "%]"},
       {"Option:[%RootKey%]", "[%", "  a:1", "%]", "[%", "  b:2", "%]", "", "Other:[%RootKey%]"}},
      {"duplicate value names are all kept",
       {"Option:[%RootKey%]", "[%", "  a:1", "  A:2", "%]"},
       {"Option:[%RootKey%]", "[%", "  a:1", "  A:2", "%]"}},
      {"values after a root key line inside a block are dropped",
       {"Option:[%RootKey%]", "[%", "  a:1", "Next:[%RootKey%]", "  b:2", "[%", "  c:3"},
       {"Option:[%RootKey%]", "[%", "  a:1", "%]", "", "Next:[%RootKey%]", "[%", "  c:3", "%]"}},
      {"a closer without a block has no effect",
       {"%]", "Option:[%RootKey%]", "%]", "[%", "%]", "%]"},
       {"Option:[%RootKey%]", "[%", "%]"}},
  };
  for (const auto& c : cases) {
    TStringList lines;
    lines.lines = c.lines;
    ini.LoadFromStrings(lines);
    EXPECT_EQ(Tree(), c.tree) << c.what;
  }
}

TEST_F(IniLoadTest, FirstOfDuplicateValuesIsRead) {
  Load(CrLf({"Option:[%RootKey%]", "[%", "  a:1", "  A:2"}));
  ASSERT_TRUE(ini.SubKeyOpened());  // the file ended inside the block
  EXPECT_EQ(ini.ReadValue("a"), "1");
}

TEST_F(IniLoadTest, SelectionLeftByTheLastLines) {
  Load(CrLf({"A:[%RootKey%]", "[%", "%]", "B:[%RootKey%]", "[%", "  x:1"}));
  EXPECT_EQ(TKZIniFile::NodeName(ini.OpenedRootKey()), "B");
  ASSERT_TRUE(ini.SubKeyOpened());
  EXPECT_EQ(ini.ReadValue("x"), "1");
  Load(CrLf({"A:[%RootKey%]", "[%", "  x:1", "B:[%RootKey%]"}));
  EXPECT_EQ(TKZIniFile::NodeName(ini.OpenedRootKey()), "B");
  EXPECT_FALSE(ini.SubKeyOpened());
}

TEST_F(IniLoadTest, ErrorsStopTheLoadAndKeepWhatEarlierLinesBuilt) {
  struct Case {
    std::vector<std::string> lines;
    std::string message;
    std::vector<std::string> tree;
  };
  const std::string longName(256, 'n');
  const std::string longValue(65536, 'v');
  const Case cases[] = {
      {{"; header", "[%", "A:[%RootKey%]"}, "RootKey not Open.", {}},
      {{":[%RootKey%]"}, "Invaild field name", {}},
      {{"  :[%RootKey%]"}, "Invaild field name", {}},
      {{"A:[%RootKey%]", "[%", "  a:1", "  :x", "  b:2"},
       "Invaild field name",
       {"A:[%RootKey%]", "[%", "  a:1", "%]"}},
      {{"A:[%RootKey%]", "[%", "  " + longName + ":x"}, "Invaild field (length > 255).",
       {"A:[%RootKey%]", "[%", "%]"}},
      {{"A:[%RootKey%]", longName + ":[%RootKey%]"}, "Invaild field (length > 255).",
       {"A:[%RootKey%]"}},
      {{"A:[%RootKey%]", "[%", "  a:" + longValue}, "Invalid value (length > 65535).",
       {"A:[%RootKey%]", "[%", "%]"}},
      // A value line while no subitem key is open is checked, then dropped.
      {{"A:[%RootKey%]", "[%", "B:[%RootKey%]", "  :x"}, "Invaild field name",
       {"A:[%RootKey%]", "[%", "%]", "", "B:[%RootKey%]"}},
      {{"A:[%RootKey%]", "[%", "B:[%RootKey%]", "  b:" + longValue},
       "Invalid value (length > 65535).",
       {"A:[%RootKey%]", "[%", "%]", "", "B:[%RootKey%]"}},
  };
  for (const auto& c : cases) {
    TStringList lines;
    lines.lines = c.lines;
    ExpectError([&] { ini.LoadFromStrings(lines); }, c.message);
    EXPECT_EQ(Tree(), c.tree) << c.message;
  }
  // The selection is what the lines before the failing one left.
  TStringList lines;
  lines.lines = {"A:[%RootKey%]", "[%", "  a:1", "  :x"};
  EXPECT_THROW(ini.LoadFromStrings(lines), Exception);
  ASSERT_TRUE(ini.SubKeyOpened());
  EXPECT_EQ(ini.ReadValue("a"), "1");
}

TEST(IniLoadFromFile, ReadsTheFileAndNamesAMissingOne) {
  platform::testing::TempDir dir;
  TKZIniFile ini;
  const std::string path = dir.Write("board.ini", kSixLines);
  ini.LoadFromFile(path);
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  EXPECT_EQ(ini.ReadValue("Name"), "\"plain text\"");
  // A missing file, or a folder of that name, is "not found" and leaves the tree alone.
  for (const std::string& missing : {dir / "none.ini", dir.MakeDir("folder.ini")}) {
    ExpectError([&] { ini.LoadFromFile(missing); }, "Ini file:" + missing + " not found.");
    EXPECT_TRUE(ini.SubKeyOpened());
    EXPECT_EQ(ini.ReadValue("GTO"), "TRUE");
  }
}

}  // namespace
