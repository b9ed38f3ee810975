#include <unistd.h>

#include <QApplication>

#include "app/ZOR_form.h"
#include "app/testing/WindowFixture.h"
#include "platform/CodePage.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

std::string G(const char* utf8) { return platform::Utf8ToGbk(utf8); }

std::string Block(const std::string& values) {
  return "Option:[%RootKey%]\r\n[%\r\n" + values + "%]\r\n";
}

std::string DefaultValues(const std::string& path = "") {
  std::string v;
  for (const char* c : {"GTO", "GTP", "GTS", "GTL", "GBO", "GBP", "GBS", "GBL", "GKO", "GM1",
                        "GPT", "GPB", "TXT"})
    v += std::string("  ") + c + ":FALSE\r\n";
  v += "  Name:\"\"\r\n  Tel:\"\"\r\n  QQ:\"\"\r\n  PCard:\"\"\r\n  Addr:\"\"\r\n  Memo:\"\"\r\n";
  v += "  ZIP:FALSE\r\n  Path:\"" + path + "\"\r\n";
  return v;
}

}  // namespace

class SettingsTest : public WindowTest {
 protected:
  std::string Ini() const { return dir / "tavelo.ini"; }
  std::string IniBytes() const { return platform::ReadWholeFile(Ini()); }
};

TEST_F(SettingsTest, FirstRunStartsWithDefaultsAndClosingWritesTheBlock) {
  auto w = OpenWindow();
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(platform::FileExists(Ini()));
  CloseWindow(w);
  EXPECT_EQ(IniBytes(), Block(DefaultValues()));
}

TEST_F(SettingsTest, TheExampleFileIsWrittenByteForByteAndReadBack) {
  std::string board = dir.MakeDir("board");
  {
    auto w = OpenWindow();
    w->chkGTO->setChecked(true);
    w->chkGTL->setChecked(true);
    w->edtPerson->setText("张三");
    w->edtTel->setText("123");
    w->SetMemoText("a\r\nb");
    w->chkZIP->setChecked(true);
    w->edtPath->SetPath(QString::fromStdString(board));  // chosen, never executed
    CloseWindow(w);
  }
  std::string expected =
      "Option:[%RootKey%]\r\n[%\r\n  GTO:TRUE\r\n  GTP:FALSE\r\n  GTS:FALSE\r\n  GTL:TRUE\r\n"
      "  GBO:FALSE\r\n  GBP:FALSE\r\n  GBS:FALSE\r\n  GBL:FALSE\r\n  GKO:FALSE\r\n  GM1:FALSE\r\n"
      "  GPT:FALSE\r\n  GPB:FALSE\r\n  TXT:FALSE\r\n  Name:\"\xD5\xC5\xC8\xFD\"\r\n  Tel:\"123\"\r\n"
      "  QQ:\"\"\r\n  PCard:\"\"\r\n  Addr:\"\"\r\n  Memo:\"a$N$Db\"\r\n  ZIP:TRUE\r\n"
      "  Path:\"" + board + "\"\r\n%]\r\n";
  EXPECT_EQ(IniBytes(), expected);

  auto w = OpenWindow();  // the second start shows what the first one chose
  EXPECT_TRUE(w->chkGTO->isChecked());
  EXPECT_TRUE(w->chkGTL->isChecked());
  EXPECT_FALSE(w->chkGTP->isChecked());
  EXPECT_EQ(w->edtPerson->text(), QString::fromUtf8("张三"));
  EXPECT_EQ(w->edtTel->text(), "123");
  EXPECT_EQ(w->MemoText(), "a\r\nb");
  EXPECT_EQ(w->MemoLines(), QStringList({"a", "b"}));
  EXPECT_TRUE(w->chkZIP->isChecked());
  EXPECT_EQ(w->edtPath->Path().toStdString(), board);
  CloseWindow(w);
  EXPECT_EQ(IniBytes(), expected);  // loaded and saved again: the same bytes
  EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsTest, HandEditedFileComesBackNormalisedWithEverythingElseKept) {
  dir.Write("tavelo.ini",
            "; written by hand\n"
            "Other:[%RootKey%]\n"
            "[%\n"
            "    Left :  100  \n"
            "%]\n"
            "\n\n"
            "  option  :[%rootkey%]\n"
            "[%\n"
            "gto:TRUE\n"
            "// a comment\n"
            "  Extra: kept   \n"
            "  Name:\"" + G("李四") + "\"\n"
            "%]\n"
            "[%\n"
            "  GTO:FALSE\n"
            "%]\n"
            "Empty:[%RootKey%]\n");
  auto w = OpenWindow();
  EXPECT_TRUE(w->chkGTO->isChecked());  // names match whatever their case
  EXPECT_EQ(w->edtPerson->text(), QString::fromUtf8("李四"));
  EXPECT_FALSE(w->chkZIP->isChecked());
  CloseWindow(w);
  // Values the block held keep their places (and their names' case); the others follow.
  std::string values = "  gto:TRUE\r\n  Extra:kept\r\n  Name:\"" + G("李四") + "\"\r\n";
  std::string rest = DefaultValues();
  rest.erase(rest.find("  GTO:FALSE\r\n"), 13);
  rest.erase(rest.find("  Name:\"\"\r\n"), 11);
  values += rest;
  EXPECT_EQ(IniBytes(),
            "Other:[%RootKey%]\r\n[%\r\n  Left:100\r\n%]\r\n\r\n"
            "option:[%RootKey%]\r\n[%\r\n" + values + "%]\r\n[%\r\n  GTO:FALSE\r\n%]\r\n\r\n"
            "Empty:[%RootKey%]\r\n");
}

TEST_F(SettingsTest, FileWithoutOptionOrWithoutBlockLoadsNothingAndGetsTheBlockAdded) {
  struct Case { std::string before, after; };
  const Case cases[] = {
      {"Other:[%RootKey%]\r\n[%\r\n  GTO:TRUE\r\n%]\r\n",
       "Other:[%RootKey%]\r\n[%\r\n  GTO:TRUE\r\n%]\r\n\r\n" + Block(DefaultValues())},
      {"Option:[%RootKey%]\r\n  GTO:TRUE\r\n", Block(DefaultValues())},
  };
  for (const auto& c : cases) {
    dir.Write("tavelo.ini", c.before);
    auto w = OpenWindow();
    EXPECT_FALSE(w->chkGTO->isChecked());
    CloseWindow(w);
    EXPECT_EQ(IniBytes(), c.after);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsTest, RejectedFileStartsWithDefaultsAndAtClosingIsKeptAsideWithTheChoicesSaved) {
  const std::string bad = "[%\r\n  GTO:TRUE\r\n%]\r\n";
  dir.Write("tavelo.ini", bad);
  dir.Write("tavelo.ini.bad", "kept at an earlier closing");
  auto w = OpenWindow();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "RootKey not Open.");
  EXPECT_FALSE(w->chkGTO->isChecked());  // the defaults, as designed
  w->chkGTL->setChecked(true);
  w->edtPerson->setText("张三");
  CloseWindow(w);
  ASSERT_EQ(errors.size(), 2u);  // the box still tells, and names the kept file
  EXPECT_EQ(errors[1], "RootKey not Open. The settings file could not be loaded and was kept as \"" +
                           dir / "tavelo.ini.bad.1" + "\"; the current choices were saved to a new \"" +
                           Ini() + "\".");
  EXPECT_EQ(platform::ReadWholeFile(dir / "tavelo.ini.bad.1"), bad);
  EXPECT_EQ(platform::ReadWholeFile(dir / "tavelo.ini.bad"), "kept at an earlier closing");
  auto again = OpenWindow();  // the next start finds the choices
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_TRUE(again->chkGTL->isChecked());
  EXPECT_EQ(again->edtPerson->text(), QString::fromUtf8("张三"));
}

TEST_F(SettingsTest, MemoTooLongForTheFileKeepsTheOldFileWhole) {
  dir.Write("tavelo.ini", Block(DefaultValues()));
  const std::string before = IniBytes();
  auto w = OpenWindow();
  w->chkGTO->setChecked(true);
  w->SetMemoText(QString(70000, 'm'));
  CloseWindow(w);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Invalid value (length > 65535).");
  EXPECT_EQ(IniBytes(), before);
}

TEST_F(SettingsTest, UnwritableFolderAtClosingShowsTheFileError) {
  std::string sub = dir.MakeDir("gone");
  auto w = std::make_unique<TfrmZOR>(sub + "/tavelo");
  platform::DeleteFile(sub);  // not a file: rmdir below
  ASSERT_EQ(::rmdir(sub.c_str()), 0);
  w.reset();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot create file \"" + sub + "/tavelo.ini\"", 0), 0u) << errors[0];
}

TEST_F(SettingsTest, EmptyStoredPathLeavesTheFolderBoxEmpty) {
  dir.Write("tavelo.ini", Block(DefaultValues("")));
  auto w = OpenWindow();
  EXPECT_TRUE(w->edtPath->Path().isEmpty());
}
