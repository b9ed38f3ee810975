#include <sys/stat.h>

#include <QApplication>

#include "app/ZOR_form.h"
#include "app/testing/WindowFixture.h"
#include "platform/CodePage.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string G(const char* utf8) { return platform::Utf8ToGbk(utf8); }

std::vector<std::string> ZipWriterFiles(const TfrmZOR& w) { return w.ZipWriter1.FilesList.lines; }

}  // namespace

class ExecuteTest : public WindowTest {
 protected:
  void Tick(TfrmZOR& w, std::initializer_list<const char*> codes) {
    for (const char* c : codes)
      w.findChild<QCheckBox*>(QString("chk") + c)->setChecked(true);
  }
};

// A Protel export: several candidates for TXT, a hidden copy-tool file, a folder named
// after a layer, an existing GTL, a missing GTP.
TEST_F(ExecuteTest, BoardFolderGivesTheRenamesAndMessages) {
  std::string board = dir.MakeDir("board") + "/";
  dir.Write("board/PCB1.GTO", "G04 top overlay*\n%FSLAX25Y25*%\n");
  dir.Write("board/PCB1.GTL", "G04 new top*\n");
  dir.Write("board/GTL", "old top layer");
  dir.Write("board/PCB1.GBL", "%MOIN*%\n");
  dir.Write("board/._PCB1.GBO", "resource fork");
  dir.Write("board/PCB1.GBS", "G04*\n");
  dir.MakeDir("board/GBS");
  dir.Write("board/README.txt", "read me\n");
  dir.Write("board/Pick Place for PCB1.txt", "Designator,Mid X\n");
  dir.Write("board/PCB1.TXT", "M48\r\n;drill\r\nT1C0.8\r\n%\r\n");
  dir.Write("board/Status Report.Txt", "ok\n");
  dir.Write("board/untouched.GKO", "not ticked");
  auto w = OpenWindow();
  w->edtPath->SetPath(Q(board));
  Tick(*w, {"GTO", "GTP", "GTL", "GBO", "GBS", "GBL", "TXT"});
  w->chkZIP->setChecked(true);
  w->SetClock([] { return platform::LocalDateTime{2024, 1, 2, 15, 7, 0}; });
  w->edtGenerateClick();

  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "文件没有找到：*.GTP\r\n"
            "文件已经存在：GTL\r\n"
            "文件没有找到：*.GBO\r\n"
            "文件改名失败：GBS\r\n"
            "压缩文件名：-2024-01-02-1507.zip\r\n");  // no name typed: the name starts with "-"
  EXPECT_EQ(platform::ReadWholeFile(board + "GTO"), "G04 top overlay*\n%FSLAX25Y25*%\n");
  EXPECT_EQ(platform::ReadWholeFile(board + "GTL"), "old top layer");
  EXPECT_TRUE(platform::FileExists(board + "PCB1.GTL"));
  EXPECT_TRUE(platform::FileExists(board + "PCB1.GBS"));
  EXPECT_EQ(platform::ReadWholeFile(board + "TXT"), "M48\r\n;drill\r\nT1C0.8\r\n%\r\n");
  for (const char* kept : {"README.txt", "Pick Place for PCB1.txt", "Status Report.Txt",
                           "._PCB1.GBO", "untouched.GKO"})
    EXPECT_TRUE(platform::FileExists(board + kept)) << kept;
  const std::vector<std::string> packed = {board + "GTO", board + "GBL", board + "TXT",
                                           board + "Contect.txt"};
  EXPECT_EQ(ZipWriterFiles(*w), packed);
}

TEST_F(ExecuteTest, NothingTickedShowsSuccessAloneAndStillWritesTheSheet) {
  std::string board = dir.MakeDir("b") + "/";
  auto w = OpenWindow();
  w->edtPath->SetPath(Q(board));
  w->edtGenerateClick();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "执行成功。\r\n");
  EXPECT_EQ(platform::ReadWholeFile(board + "Contect.txt"),
            "Tavelo v1.0 / Program by dovan.ke\r\n" + std::string(40, '=') + "\r\n\r\n" +
                G("姓名：") + "\r\n" + G("电话：") + "\r\n" + G("地址：") + "\r\n");
}

TEST_F(ExecuteTest, PackingOffKeepsTheFileListEmptyAndAFirstCandidateIsTaken) {
  std::string board = dir.MakeDir("b") + "/";
  dir.Write("b/b.GTL", "two");
  dir.Write("b/a.GTL", "one");
  auto w = OpenWindow();
  w->edtPath->SetPath(Q(board));
  Tick(*w, {"GTL"});
  w->ZipWriter1.FilesList.Add("left over from an earlier run");
  w->edtGenerateClick();
  EXPECT_EQ(messages.at(0), "执行成功。\r\n");
  EXPECT_EQ(platform::ReadWholeFile(board + "GTL"), "one");  // first in listing order
  EXPECT_TRUE(platform::FileExists(board + "b.GTL"));
  EXPECT_EQ(w->ZipWriter1.FilesList.Count(), 0);
}

TEST_F(ExecuteTest, ContactSheetHoldsTheDetailsAndTheMemoAsDisplayed) {
  std::string board = dir.MakeDir("b") + "/";
  dir.Write("b/Contect.txt", std::string(5000, 'x'));  // an older, longer sheet
  auto w = OpenWindow();
  w->edtPath->SetPath(Q(board));
  w->edtPerson->setText("张三");
  w->edtTel->setText("123");
  w->edtQQ->setText(" ");
  w->edtAddress->setText("某路1号");
  const QString paragraph = QString("word ").repeated(60).trimmed();
  w->SetMemoText("first\r\n\r\n" + paragraph + "\r\n");
  QStringList shown = w->MemoLines();
  ASSERT_GT(shown.size(), 3);  // the paragraph wraps into several lines
  EXPECT_EQ(shown[0], "first");
  EXPECT_EQ(shown[1], "");
  w->edtGenerateClick();

  std::string expected = "Tavelo v1.0 / Program by dovan.ke\r\n" + std::string(40, '=') +
                         "\r\n\r\n" + G("姓名：张三") + "\r\n" + G("电话：123") + "\r\n" +
                         G("QQ： ") + "\r\n" + G("地址：某路1号") + "\r\n" + G("备注：first") +
                         "\r\n" + G("　　　") + "\r\n";
  QString joined;
  for (int i = 2; i < shown.size(); ++i) {
    expected += G("　　　") + shown[i].toStdString() + "\r\n";
    joined += shown[i];
  }
  EXPECT_EQ(joined, paragraph + QString());  // the wrapped lines are the paragraph itself
  EXPECT_EQ(platform::ReadWholeFile(board + "Contect.txt"), expected);
}

TEST_F(ExecuteTest, MissingFolderReportsEveryLayerThenFailsOnTheSheet) {
  auto w = OpenWindow();
  const std::string missing = dir / "no-such-folder";
  w->edtPath->SetPath(Q(missing));
  Tick(*w, {"GTL", "TXT"});
  w->edtGenerateClick();
  EXPECT_TRUE(messages.empty());  // the error ends Execute before the report
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Cannot create file \"" + missing +
                           "/Contect.txt\". No such file or directory.");
  EXPECT_FALSE(w->Busy());
  // The window stays usable: the next Execute runs.
  w->edtPath->SetPath(Q(dir.Path()));
  w->edtGenerateClick();
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ExecuteTest, SheetThatCannotBeCreatedEndsExecuteButRenamesStay) {
  std::string board = dir.MakeDir("b") + "/";
  dir.MakeDir("b/Contect.txt");  // a folder in the sheet's place
  dir.Write("b/x.GTL", "g");
  auto w = OpenWindow();
  w->edtPath->SetPath(Q(board));
  Tick(*w, {"GTL"});
  w->edtGenerateClick();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot create file \"" + board + "Contect.txt\". ", 0), 0u);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(platform::FileExists(board + "GTL"));
}

TEST_F(ExecuteTest, WorkingFolderGetsOneTrailingDelimiter) {
  auto w = OpenWindow();
  std::string board = dir.MakeDir("b");
  w->edtPath->SetPath(Q(board));
  w->edtGenerateClick();
  EXPECT_EQ(w->WorkingFolder(), board + "/");
  EXPECT_TRUE(platform::FileExists(board + "/Contect.txt"));
}

// The search comes before the existence test, the sheet is never a drill file, and the
// extension matches in any case after the last dot.
TEST_F(ExecuteTest, OnlyMatchingPlainFilesOtherThanTheSheetAreLayerCandidates) {
  std::string board = dir.MakeDir("b") + "/";
  dir.Write("b/GTO", "named after the code, but no *.GTO beside it");
  dir.Write("b/Contect.txt", "sheet of an earlier run");
  dir.Write("b/top.v2.gtl", "G04*\n");
  auto w = OpenWindow();
  w->edtPath->SetPath(Q(board));
  Tick(*w, {"GTO", "GTL", "TXT"});
  w->chkZIP->setChecked(true);
  w->SetClock([] { return platform::LocalDateTime{2024, 1, 2, 15, 7, 0}; });
  w->edtGenerateClick();
  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "文件没有找到：*.GTO\r\n文件没有找到：*.TXT\r\n压缩文件名：-2024-01-02-1507.zip\r\n");
  EXPECT_EQ(platform::ReadWholeFile(board + "GTO"),
            "named after the code, but no *.GTO beside it");
  EXPECT_EQ(platform::ReadWholeFile(board + "GTL"), "G04*\n");
  EXPECT_FALSE(platform::FileExists(board + "TXT"));
  EXPECT_EQ(ZipWriterFiles(*w),
            (std::vector<std::string>{board + "GTL", board + "Contect.txt"}));
}
