// Focus: Execute and its plan without a window: renames, messages, the contact sheet's
// bytes, the archive's file list, a plan that matches the run and touches nothing, and the
// report that an error leaves behind.
#include "core/Execute.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/Exception.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/testing/TempDir.h"

namespace {

const platform::LocalDateTime kMinute{2024, 1, 2, 15, 7, 0};

// Every entry of a folder with its bytes (folders as "<dir>").
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : platform::ListFolder(folder))
    files[e.name] = e.isDir ? "<dir>" : platform::ReadWholeFile(folder + e.name);
  return files;
}

std::array<bool, kLayerCount> Ticks(std::initializer_list<const char*> codes) {
  std::array<bool, kLayerCount> ticked{};
  for (const char* c : codes)
    for (size_t i = 0; i < kLayerCount; ++i)
      if (std::string(c) == kLayerCodes[i].code) ticked[i] = true;
  return ticked;
}

class ExecuteCoreTest : public ::testing::Test {
 protected:
  // A Protel export with a README and a report beside the drill file, an existing GTL, a
  // missing GTP and a folder that takes the name GBS.
  std::string MakeBoard() {
    std::string board = dir.MakeDir("board") + platform::kPathDelim;
    dir.Write("board/PCB1.GTO", "G04 top overlay*\n");
    dir.Write("board/PCB1.GTL", "G04 new top*\n");
    dir.Write("board/GTL", "old top layer");
    dir.Write("board/PCB1.GBL", "%MOIN*%\n");
    dir.Write("board/PCB1.GBS", "G04*\n");
    dir.MakeDir("board/GBS");
    dir.Write("board/README.txt", "read me\n");
    dir.Write("board/Status Report.Txt", "ok\n");
    dir.Write("board/PCB1.TXT", "M48\r\nT1C0.8\r\n%\r\n");
    return board;
  }

  TExecuteRequest Request(const std::string& folder) {
    TExecuteRequest r;
    r.folder = folder;
    r.ticked = Ticks({"GTO", "GTP", "GTL", "GBS", "GBL", "TXT"});
    r.contact = {"张三", "123", "", "", "某路1号", {"first", "second"}};
    r.pack = true;
    r.clock = [] { return kMinute; };
    return r;
  }

  platform::testing::TempDir dir;
};

TEST_F(ExecuteCoreTest, BoardFolderIsRenamedReportedAndPacked) {
  const std::string board = MakeBoard();
  TZipWriter writer;
  TExecuteReport report;
  RunExecute(Request(board), writer, report);

  const std::vector<std::string> messages = {"文件没有找到：*.GTP", "文件已经存在：GTL",
                                             "文件改名失败：GBS",
                                             "压缩文件名：张三-2024-01-02-1507.zip"};
  EXPECT_EQ(report.messages, messages);
  EXPECT_EQ(ResultText(report.messages), "文件没有找到：*.GTP\r\n文件已经存在：GTL\r\n"
                                         "文件改名失败：GBS\r\n压缩文件名：张三-2024-01-02-1507.zip\r\n");
  ASSERT_EQ(report.layers.size(), 6u);
  const std::vector<std::pair<std::string, TLayerOutcome>> outcomes = {
      {"PCB1.GTO", TLayerOutcome::Renamed},      {"", TLayerOutcome::NotFound},
      {"PCB1.GTL", TLayerOutcome::AlreadyExists}, {"PCB1.GBS", TLayerOutcome::RenameFailed},
      {"PCB1.GBL", TLayerOutcome::Renamed},      {"PCB1.TXT", TLayerOutcome::Renamed}};
  for (size_t i = 0; i < outcomes.size(); ++i) {
    EXPECT_EQ(report.layers[i].file, outcomes[i].first) << i;
    EXPECT_EQ(report.layers[i].outcome, outcomes[i].second) << i;
  }
  EXPECT_TRUE(HasLayerMessages(report));
  const std::vector<std::string> packed = {board + "GTO", board + "GBL", board + "TXT",
                                           board + "Contect.txt"};
  EXPECT_EQ(report.packed, packed);
  EXPECT_EQ(report.archive, "张三-2024-01-02-1507.zip");
  EXPECT_TRUE(platform::FileExists(board + "张三-2024-01-02-1507.zip"));
  EXPECT_EQ(platform::ReadWholeFile(board + "TXT"), "M48\r\nT1C0.8\r\n%\r\n");
  EXPECT_TRUE(platform::FileExists(board + "README.txt"));
  EXPECT_TRUE(platform::FileExists(board + "Status Report.Txt"));
  // The sheet in GBK: 姓名：张三, 电话：123, 地址：某路1号, 备注：first, three ideographic
  // spaces before the second memo line.
  EXPECT_EQ(platform::ReadWholeFile(board + "Contect.txt"),
            "Tavelo v1.0 / Program by dovan.ke\r\n" + std::string(40, '=') + "\r\n\r\n"
            "\xD0\xD5\xC3\xFB\xA3\xBA\xD5\xC5\xC8\xFD\r\n"
            "\xB5\xE7\xBB\xB0\xA3\xBA" "123\r\n"
            "\xB5\xD8\xD6\xB7\xA3\xBA\xC4\xB3\xC2\xB7" "1\xBA\xC5\r\n"
            "\xB1\xB8\xD7\xA2\xA3\xBA" "first\r\n"
            "\xA1\xA1\xA1\xA1\xA1\xA1" "second\r\n");
}

TEST_F(ExecuteCoreTest, PlanTouchesNothingAndForetellsTheRun) {
  const std::string board = MakeBoard();
  const auto before = Snapshot(board);
  const TExecuteReport plan = PlanExecute(Request(board));
  EXPECT_EQ(Snapshot(board), before);

  TZipWriter writer;
  TExecuteReport run;
  RunExecute(Request(board), writer, run);
  EXPECT_EQ(plan.messages, run.messages);
  EXPECT_EQ(plan.packed, run.packed);
  EXPECT_EQ(plan.archive, run.archive);
  EXPECT_EQ(plan.contactSheet, run.contactSheet);
  ASSERT_EQ(plan.layers.size(), run.layers.size());
  for (size_t i = 0; i < plan.layers.size(); ++i) {
    EXPECT_EQ(plan.layers[i].file, run.layers[i].file);
    const TLayerOutcome expected = run.layers[i].outcome == TLayerOutcome::Renamed
                                       ? TLayerOutcome::Planned
                                       : run.layers[i].outcome;
    EXPECT_EQ(plan.layers[i].outcome, expected) << plan.layers[i].code;
  }
}

TEST_F(ExecuteCoreTest, ErrorEndsTheRunAndTheReportKeepsWhatWasDone) {
  TExecuteRequest request = Request(dir / "no such folder");
  TZipWriter writer;
  TExecuteReport report;
  try {
    RunExecute(request, writer, report);
    FAIL() << "the contact sheet cannot be created";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + dir / "no such folder/Contect.txt\". ", 0), 0u)
        << e.what();
  }
  EXPECT_EQ(report.workingFolder, dir / "no such folder" + platform::kPathDelim);
  EXPECT_EQ(report.layers.size(), 6u);
  EXPECT_EQ(report.messages.size(), 6u);
  EXPECT_FALSE(report.contactSheet.has_value());
  EXPECT_FALSE(report.archive.has_value());
}

TEST(ExecuteText, ResultTextWorkingFolderAndArchiveName) {
  EXPECT_EQ(ResultText({}), "执行成功。\r\n");
  EXPECT_EQ(ResultText({"a", "b"}), "a\r\nb\r\n");
  const std::string d(1, platform::kPathDelim);
  EXPECT_EQ(WorkingFolderOf(""), d);  // the root (of the current drive, on Windows)
  EXPECT_EQ(WorkingFolderOf(d), d);
  EXPECT_EQ(WorkingFolderOf(d + "b"), d + "b" + d);
  EXPECT_EQ(WorkingFolderOf(d + "b" + d), d + "b" + d);
  EXPECT_EQ(ArchiveNameOf("", {2024, 12, 31, 0, 5, 59}), "-2024-12-31-0005.zip");
  TExecuteReport onlyArchive;
  onlyArchive.layers = {{"GTL", "a.GTL", TLayerOutcome::Renamed}};
  onlyArchive.messages = {"压缩文件名：x.zip"};
  EXPECT_FALSE(HasLayerMessages(onlyArchive));
}

}  // namespace
