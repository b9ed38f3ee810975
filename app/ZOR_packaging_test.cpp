#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <thread>

#include "app/ZOR_form.h"
#include "app/testing/WindowFixture.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/UiHooks.h"

namespace {

// Runs a shell command, returning its exit status and what it printed.
int RunCommand(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Python's zipfile opens the archive, tests every CRC and compares every entry with the
// file of its name in folder; prints the entry names one per line.
const char kCheckScript[] = R"(import sys, zipfile, os
z = zipfile.ZipFile(sys.argv[1])
bad = z.testzip()
if bad is not None:
    print("BAD", bad); sys.exit(1)
for i in z.infolist():
    data = z.read(i)
    if data != open(os.path.join(sys.argv[2], i.filename), "rb").read():
        print("DIFFERS", i.filename); sys.exit(1)
    print(i.filename)
)";

}  // namespace

class PackagingTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    board = dir.MakeDir("board") + "/";
    dir.Write("check.py", kCheckScript);
  }

  std::unique_ptr<TfrmZOR> BoardWindow(int minute) {
    auto w = OpenWindow();
    w->edtPath->SetPath(QString::fromStdString(board));
    w->SetClock([minute] { return platform::LocalDateTime{2024, 1, 2, 15, minute, 33}; });
    w->edtPerson->setText(QString::fromUtf8("张三"));
    w->edtTel->setText("13800000000");
    w->edtAddress->setText(QString::fromUtf8("深圳市某路1号"));
    w->SetMemoText(QString::fromUtf8("两块板，沉金"));
    w->chkZIP->setChecked(true);
    for (QCheckBox* c : {w->chkGTO, w->chkGTP, w->chkGTL, w->chkGBL, w->chkTXT}) c->setChecked(true);
    return w;
  }

  // The entry names as Python's zipfile reads them, after checking every entry's bytes.
  std::string PythonEntries(const std::string& archive) {
    std::string out;
    EXPECT_EQ(RunCommand("python3 " + dir / "check.py" + " '" + archive + "' '" + board + "'", &out), 0) << out;
    return out;
  }

  std::string board;
};

TEST_F(PackagingTest, ExecutePacksExactlyTheRenamedLayersAndTheSheet) {
  dir.Write("board/PCB1.GTO", "G04 overlay*\n%FSLAX25Y25*%\nX100Y200D01*\n");
  dir.Write("board/PCB1.GTL", std::string(100000, 'L'));
  dir.Write("board/PCB1.GBL", "G04 bottom*\n");
  dir.Write("board/PCB1.TXT", "M48\nT1C0.8\n%\nX1Y1\nM30\n");
  dir.Write("board/README.txt", "not a layer");
  auto w = BoardWindow(7);
  w->edtGenerateClick();

  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "文件没有找到：*.GTP\r\n压缩文件名：张三-2024-01-02-1507.zip\r\n");
  const std::string archive = board + "张三-2024-01-02-1507.zip";  // UTF-8 on disk
  ASSERT_TRUE(platform::FileExists(archive));
  EXPECT_EQ(PythonEntries(archive), "GTO\nGTL\nGBL\nTXT\nContect.txt\n");
  std::string out;
  EXPECT_EQ(RunCommand("7z t '" + archive + "'", &out), 0) << out;
  EXPECT_NE(out.find("Everything is Ok"), std::string::npos);
  EXPECT_EQ(RunCommand("bsdtar -tf '" + archive + "'", &out), 0) << out;
  EXPECT_EQ(out, "GTO\nGTL\nGBL\nTXT\nContect.txt\n");
  EXPECT_LT(platform::ReadWholeFile(archive).size(), 100000u);  // deflated, not stored
}

TEST_F(PackagingTest, SecondExecuteInTheSameMinuteUpdatesTheArchive) {
  dir.Write("board/PCB1.GTO", "G04 overlay*\n");
  dir.Write("board/PCB1.GTL", "G04 top*\n");
  auto w = BoardWindow(7);
  w->ZipWriter1.TempPath = dir.MakeDir("tmp");  // where the update's temporary file goes
  w->edtGenerateClick();
  const std::string archive = board + "张三-2024-01-02-1507.zip";
  ASSERT_EQ(PythonEntries(archive), "GTO\nGTL\nContect.txt\n");

  // New layer files arrive; the sheet is rewritten more than one DOS time step later.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  dir.Write("board/PCB1.GBL", "G04 bottom*\n");
  dir.Write("board/PCB1.TXT", "M48\nM30\n");
  w->edtTel->setText("999");
  messages.clear();
  w->edtGenerateClick();
  ASSERT_TRUE(errors.empty()) << errors[0];
  EXPECT_EQ(messages.at(0),
            "文件没有找到：*.GTO\r\n文件没有找到：*.GTP\r\n文件没有找到：*.GTL\r\n"
            "压缩文件名：张三-2024-01-02-1507.zip\r\n");
  // Kept entries keep their order, the newer sheet replaces its entry in place, and the
  // new layers follow; every entry's bytes are the files' current bytes.
  EXPECT_EQ(PythonEntries(archive), "GTO\nGTL\nContect.txt\nGBL\nTXT\n");
  std::string out;
  EXPECT_EQ(RunCommand("7z t '" + archive + "'", &out), 0) << out;
  EXPECT_TRUE(platform::ListFolder(dir / "tmp", "KPZ*").empty());  // temporary file gone

  // A later minute makes a new archive beside the old one.
  w->SetClock([] { return platform::LocalDateTime{2024, 1, 2, 15, 8, 0}; });
  messages.clear();
  w->edtGenerateClick();  // nothing renamed now: no archive at all
  EXPECT_FALSE(platform::FileExists(board + "张三-2024-01-02-1508.zip"));
  dir.Write("board/PCB1.GBO", "G04 bottom overlay*\n");
  w->chkGBO->setChecked(true);
  w->edtGenerateClick();
  EXPECT_TRUE(platform::FileExists(board + "张三-2024-01-02-1508.zip"));
  EXPECT_EQ(PythonEntries(board + "张三-2024-01-02-1508.zip"), "GBO\nContect.txt\n");
  EXPECT_EQ(PythonEntries(archive), "GTO\nGTL\nContect.txt\nGBL\nTXT\n");
}

TEST_F(PackagingTest, NameThatCannotBeAFileNameEndsExecuteWithTheError) {
  dir.Write("board/PCB1.GTL", "G04*\n");
  auto w = BoardWindow(7);
  w->edtPerson->setText("no/such");  // a folder that does not exist
  w->edtGenerateClick();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot create file \"" + board + "no/such-2024-01-02-1507.zip\"", 0), 0u)
      << errors[0];
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(platform::FileExists(board + "GTL"));
  EXPECT_TRUE(platform::FileExists(board + "Contect.txt"));
  EXPECT_EQ(platform::ListFolder(board, "*.zip").size(), 0u);
}

TEST_F(PackagingTest, ButtonsAreIgnoredAndCloseWaitsWhileTheArchiveIsWritten) {
  dir.Write("board/PCB1.GTL", std::string(300000, 'x'));
  auto w = BoardWindow(7);
  int pumped = 0;
  platform::Hooks().processEvents = [&] {
    if (pumped++ == 0) {
      w->edtGenerateClick();  // a second click during the run
      w->close();             // and the window's close command
      EXPECT_TRUE(w->isVisible());
    }
    QCoreApplication::processEvents();
  };
  bool busyCursor = false;
  platform::Hooks().waitCursor = [&](bool on) { busyCursor = busyCursor || on; };
  w->edtGenerateClick();
  EXPECT_GT(pumped, 0);
  EXPECT_TRUE(busyCursor);
  EXPECT_EQ(messages.size(), 1u);  // one report: the second click did nothing
  QApplication::processEvents();   // the delayed close happens now
  EXPECT_FALSE(w->isVisible());
}
