#include "kztools/kzIniTools.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kztools/kzIniTestSupport.h"
#include "kztools/kzStrTools.h"

using kztest::ChildCount;
using kztest::ExpectError;
using namespace std::string_literals;

namespace {

const char kSubitemOption[] = "RootKey \"Option\" - subitem key not open.";

class IniStoreTest : public ::testing::Test {
 protected:
  // Option with one open block.
  void OpenBlock() {
    ini.OpenRootKey("Option");
    ini.AddSubKey();
  }
  TKZIniFile ini;
};

TEST_F(IniStoreTest, ValueAccessNeedsAnOpenSubitemKey) {
  const std::vector<std::function<void()>> operations = {
      [&] { TTreeListNode* n = nullptr; ini.FindValue("GTO", n); },
      [&] { std::string v; ini.TryReadValue("GTO", v); },
      [&] { ini.ReadValue("GTO"); },
      [&] { ini.WriteValue("GTO", "x"); },
      [&] { ini.ReadBool("GTO"); },
      [&] { ini.WriteBool("GTO", true); },
      [&] { ini.ReadString("GTO"); },
      [&] { ini.WriteString("GTO", "x"); },
  };
  for (const auto& op : operations) ExpectError(op, "RootKey \"\" - subitem key not open.");
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  EXPECT_TRUE(ini.RootKeyOpened());
  EXPECT_FALSE(ini.SubKeyOpened());
  for (const auto& op : operations) ExpectError(op, kSubitemOption);
  ini.AddSubKey();
  ini.CloseSubKey();
  EXPECT_TRUE(ini.RootKeyOpened());
  for (const auto& op : operations) ExpectError(op, kSubitemOption);
  EXPECT_EQ(ChildCount(ini.OpenedRootKey()->firstChild), 0);  // nothing was written
}

TEST_F(IniStoreTest, AutoCreateSubKeyAddsTheMissingBlock) {
  ini.SetAutoCreateSubKey(true);
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  ASSERT_TRUE(ini.SubKeyOpened());
  EXPECT_FALSE(ini.ReadBool("GTO"));
  ini.OpenFirstSubKey();  // a block exists now: opens it, adds none
  EXPECT_EQ(ChildCount(ini.OpenedRootKey()), 1);
}

TEST_F(IniStoreTest, OpenFirstSubKeyWithoutRootKeyDoesNothing) {
  ini.SetAutoCreateSubKey(true);
  ini.OpenFirstSubKey();
  EXPECT_FALSE(ini.SubKeyOpened());
  ExpectError([&] { ini.AddSubKey(); }, "RootKey not Open.");
}

TEST_F(IniStoreTest, RootKeyNamesMatchIgnoringAsciiCaseAndBlanks) {
  ini.OpenRootKey("Option");
  const TTreeListNode* option = ini.OpenedRootKey();
  EXPECT_EQ(TKZIniFile::NodeName(option), "Option");
  EXPECT_EQ(TKZIniFile::NodeValue(option), "RootKey");
  for (const char* name : {"option", "OPTION", " option ", "Option"}) {
    ini.OpenRootKey(name);
    EXPECT_EQ(ini.OpenedRootKey(), option) << name;
  }
  EXPECT_EQ(TKZIniFile::NodeName(option), "Option");  // keeps its first spelling
  // The message shows the name as passed last, blanks included.
  ini.OpenRootKey(" option ");
  ExpectError([&] { ini.ReadBool("GTO"); }, "RootKey \" option \" - subitem key not open.");
  TTreeListNode* found = nullptr;
  EXPECT_FALSE(ini.FindRootKey("\tOption", found));
  EXPECT_EQ(found, nullptr);
  ini.OpenRootKey("\tOption");  // a tab is part of the name: a second root key
  EXPECT_EQ(ChildCount(ini.TreeRoot()), 2);
  // GBK bytes compare as they are.
  ini.OpenRootKey("\xD5\xC5");
  ini.OpenRootKey("\xD5\xE5");
  EXPECT_EQ(ChildCount(ini.TreeRoot()), 4);
}

TEST_F(IniStoreTest, SubitemKeysByIndex) {
  ini.OpenRootKey("Option");
  TTreeListNode* first = ini.AddSubKey();
  TTreeListNode* second = ini.AddSubKey();
  EXPECT_EQ(ini.OpenedSubKey(), second);
  ini.OpenFirstSubKey();
  EXPECT_EQ(ini.OpenedSubKey(), first);
  TTreeListNode* found = nullptr;
  EXPECT_TRUE(ini.FindSubKey(1, found));
  EXPECT_EQ(found, second);
  EXPECT_TRUE(ini.FindSubKey(0, found));
  EXPECT_EQ(found, first);
  EXPECT_FALSE(ini.FindSubKey(2, found));
  EXPECT_FALSE(ini.FindSubKey(-1, found));
  EXPECT_EQ(ini.OpenedSubKey(), first);  // the selection did not change
  ini.OpenRootKey("Other");             // switching root keys closes the block
  EXPECT_FALSE(ini.SubKeyOpened());
  EXPECT_FALSE(ini.FindSubKey(0, found));
}

TEST_F(IniStoreTest, ReadingAbsentAndEmptyValues) {
  OpenBlock();
  EXPECT_EQ(ini.ReadValue("Missing"), "");
  std::string value = "kept";
  EXPECT_FALSE(ini.TryReadValue("Missing", value));
  EXPECT_EQ(value, "kept");
  ini.WriteValue("Empty", "");
  EXPECT_FALSE(ini.TryReadValue("Empty", value));
  EXPECT_EQ(value, "");
  ini.WriteValue("Full", "x");
  EXPECT_TRUE(ini.TryReadValue("Full", value));
  EXPECT_EQ(value, "x");
}

TEST_F(IniStoreTest, WriteValueReplacesByIdentityAndKeepsTheFirstName) {
  OpenBlock();
  ini.WriteValue("Name", "a");
  ini.WriteValue("NAME", "b");
  ini.WriteValue(" name ", "c");
  const TTreeListNode* block = ini.OpenedSubKey();
  ASSERT_EQ(ChildCount(block), 1);
  EXPECT_EQ(TKZIniFile::NodeName(block->firstChild), "Name");
  EXPECT_EQ(ini.ReadValue("name"), "c");
  ini.WriteValue("Other", "d");
  EXPECT_EQ(TKZIniFile::NodeName(block->lastChild), "Other");  // appended after the last
  // AQ and BA hash alike, so they are one name.
  ini.WriteValue("AQ", "1");
  EXPECT_EQ(ini.ReadValue("BA"), "1");
  ini.WriteValue("BA", "2");
  EXPECT_EQ(ini.ReadValue("AQ"), "2");
  EXPECT_EQ(TKZIniFile::NodeName(block->lastChild), "AQ");
  EXPECT_EQ(ChildCount(block), 3);
}

TEST_F(IniStoreTest, Booleans) {
  OpenBlock();
  ini.SetQuotedStrings(true);
  ini.WriteBool("ZIP", true);
  EXPECT_EQ(ini.ReadValue("ZIP"), "TRUE");  // never quoted
  ini.WriteBool("ZIP", false);
  EXPECT_EQ(ini.ReadValue("ZIP"), "FALSE");
  const std::pair<const char*, bool> stored[] = {
      {"TRUE", true}, {"true", true}, {"True", true}, {"FALSE", false},
      {"1", false},   {"yes", false}, {"\"TRUE\"", false}, {"", false}, {" TRUE", false},
  };
  for (const auto& [text, expected] : stored) {
    ini.WriteValue("B", text);
    EXPECT_EQ(ini.ReadBool("B"), expected) << text;
  }
  EXPECT_FALSE(ini.ReadBool("Absent"));
}

TEST_F(IniStoreTest, QuotedStrings) {
  OpenBlock();
  ini.SetQuotedStrings(true);
  ini.WriteString("Empty", "");
  EXPECT_EQ(ini.ReadValue("Empty"), "\"\"");
  EXPECT_EQ(ini.ReadString("Empty"), "");
  const std::string awkward = "  a \"b\" $c\r\nd  ";
  ini.WriteString("Awkward", awkward);
  EXPECT_EQ(ini.ReadValue("Awkward"), "\"  a $Qb$Q $#c$N$Dd  \"");
  EXPECT_EQ(ini.ReadString("Awkward"), awkward);
  ini.WriteValue("Raw", "a$b");  // unquoted with a dollar sign
  EXPECT_EQ(ini.ReadString("Raw"), "");
  EXPECT_EQ(ini.ReadString("Absent"), "");
  ini.SetQuotedStrings(false);
  EXPECT_EQ(ini.ReadString("Awkward"), "\"  a $Qb$Q $#c$N$Dd  \"");
  ini.WriteString("Plain", "x\"y");
  EXPECT_EQ(ini.ReadValue("Plain"), "x\"y");
}

TEST_F(IniStoreTest, LengthLimitsOfNamesAndValues) {
  OpenBlock();
  const TTreeListNode* block = ini.OpenedSubKey();
  ini.WriteValue(std::string(255, 'n'), "x");
  ini.WriteValue("V", std::string(65535, 'v'));
  EXPECT_EQ(ini.ReadValue("V").size(), 65535u);
  ASSERT_EQ(ChildCount(block), 2);
  struct Refused {
    std::string name, value, message;
  };
  const Refused refused[] = {
      {std::string(256, 'n'), "x", "Invaild field (length > 255)."},
      {"   ", "x", "Invaild field name"},
      {"", "x", "Invaild field name"},
      {"New", std::string(65536, 'v'), "Invalid value (length > 65535)."},
      {"", std::string(65536, 'v'), "Invaild field name"},  // the name is tested first
      {std::string(256, 'n'), std::string(65536, 'v'), "Invaild field (length > 255)."},
      {"V", std::string(65536, 'v'), "Invalid value (length > 65535)."},  // replacing
  };
  for (const auto& r : refused) {
    ExpectError([&] { ini.WriteValue(r.name, r.value); }, r.message);
  }
  EXPECT_EQ(ChildCount(block), 2);  // nothing was added
  EXPECT_EQ(ini.ReadValue("V"), std::string(65535, 'v'));  // nor changed
  // A name that counts 255 bytes only once trimmed is accepted.
  ini.WriteValue("  " + std::string(255, 'm') + "  ", "");
  EXPECT_EQ(TKZIniFile::NodeName(block->lastChild), std::string(255, 'm'));
}

TEST_F(IniStoreTest, QuotedLimitAppliesToTheEncodedText) {
  OpenBlock();
  ini.SetQuotedStrings(true);
  ExpectError([&] { ini.WriteString("Memo", std::string(65534, 'a')); },
              "Invalid value (length > 65535).");
  EXPECT_EQ(ChildCount(ini.OpenedSubKey()), 0);
  ini.WriteString("Memo", std::string(65533, 'a'));
  EXPECT_EQ(ini.ReadValue("Memo").size(), 65535u);
  // Escapes count double: 32767 line feeds encode to 65536 bytes.
  ExpectError([&] { ini.WriteString("Memo", std::string(32767, '\n')); },
              "Invalid value (length > 65535).");
  EXPECT_EQ(ini.ReadString("Memo"), std::string(65533, 'a'));
}

TEST_F(IniStoreTest, RefusedRootKeyNameChangesNothingButTheMessageName) {
  OpenBlock();
  const TTreeListNode* block = ini.OpenedSubKey();
  ExpectError([&] { ini.OpenRootKey("  "); }, "Invaild field name");
  ExpectError([&] { ini.OpenRootKey(std::string(256, 'r')); }, "Invaild field (length > 255).");
  EXPECT_EQ(ChildCount(ini.TreeRoot()), 1);
  EXPECT_EQ(ini.OpenedSubKey(), block);
  ini.CloseSubKey();
  ExpectError([&] { ini.ReadValue("x"); },
              "RootKey \"" + std::string(256, 'r') + "\" - subitem key not open.");
}

TEST_F(IniStoreTest, NodeDataBlock) {
  OpenBlock();
  ini.WriteValue("  Value  ", "abc");
  TTreeListNode* node = ini.OpenedSubKey()->firstChild;
  const uint32_t hash = TKZIniFile::NodeHash(node);
  EXPECT_EQ(hash, NameHash("VALUE"));
  EXPECT_EQ(TKZIniFile::NodeName(node), "Value");
  const std::string big(300, 'x');
  ini.SetNodeValue(node, big);
  EXPECT_EQ(TKZIniFile::NodeValue(node), big);
  ini.SetNodeValue(node, "\0z"s);  // any byte, zero included
  EXPECT_EQ(TKZIniFile::NodeValue(node), "\0z"s);
  ini.SetNodeValue(node, TKZIniFile::NodeValue(node).substr(1));
  EXPECT_EQ(TKZIniFile::NodeValue(node), "z");
  EXPECT_EQ(TKZIniFile::NodeName(node), "Value");
  EXPECT_EQ(TKZIniFile::NodeHash(node), hash);
  ExpectError([&] { ini.SetNodeValue(node, std::string(65536, 'v')); },
              "Invalid value (length > 65535).");
  EXPECT_EQ(TKZIniFile::NodeValue(node), "z");
  // Nodes without data: a subitem key, and no node at all.
  EXPECT_EQ(TKZIniFile::NodeHash(ini.OpenedSubKey()), 0u);
  EXPECT_EQ(TKZIniFile::NodeName(ini.OpenedSubKey()), "");
  EXPECT_EQ(TKZIniFile::NodeValue(nullptr), "");
  ini.SetNodeData(nullptr, "x", "y");
  ini.SetNodeValue(nullptr, "y");
}

TEST_F(IniStoreTest, ClearDropsKeysAndSelection) {
  OpenBlock();
  ini.WriteValue("a", "1");
  ini.OpenRootKey("Second");
  ini.AddSubKey();
  ini.Clear();
  EXPECT_EQ(ChildCount(ini.TreeRoot()), 0);
  EXPECT_FALSE(ini.RootKeyOpened());
  EXPECT_FALSE(ini.SubKeyOpened());
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  EXPECT_FALSE(ini.SubKeyOpened());
}

}  // namespace
