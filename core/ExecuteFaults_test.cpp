// Focus: an Execute that packs into an existing archive, with each of its file operations
// failing in turn: the failure reaches the caller or the report, the old archive is whole
// (or the new one is, once it has been put in place), and no temporary file is left.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/Execute.h"
#include "kztools/kzStrTools.h"
#include "platform/Exception.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/testing/FaultLoop.h"
#include "platform/testing/TempDir.h"
#include "zip/ZipReader.h"

namespace {

using platform::testing::FaultRun;

const platform::LocalDateTime kMinute{2024, 1, 2, 15, 7, 0};

void SetTemporaryFolder(const std::string& folder) {
#ifdef _WIN32
  _putenv_s("TMP", folder.c_str());
  _putenv_s("TEMP", folder.c_str());
#else
  setenv("TMPDIR", folder.c_str(), 1);
#endif
}

// Temporary and sibling files: "KPZ..." in the temporary folder, ".name..." beside the archive.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : platform::ListFolder(folder))
    if (e.name.rfind("KPZ", 0) == 0 || e.name.rfind(".", 0) == 0) names.push_back(e.name);
  return names;
}

int EntriesOf(const std::string& archive) {
  TZipReader reader;
  reader.SetZipName(archive);
  reader.OpenArchive();
  return reader.Count();
}

class ExecuteFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitUpperTable();
    board = dir.MakeDir("board") + platform::kPathDelim;
    temp = dir.MakeDir("temp") + platform::kPathDelim;
    SetTemporaryFolder(temp);
    archive = board + "p-2024-01-02-1507.zip";
  }

  // The folder as a user leaves it between two Executes of the same minute: an archive
  // holding GTL and the sheet, and the further layers GBL and TXT still to be renamed.
  void Restore(const std::string& oldArchive) {
    for (const auto& e : platform::ListFolder(board)) std::filesystem::remove(board + e.name);
    platform::WriteWholeFile(board + "amp.GBL", "G04 bottom*\n%FSLAX25Y25*%\n" + std::string(300000, 'b'));
    platform::WriteWholeFile(board + "amp.TXT", "M48\nMETRIC\nT1C0.8\n%\nM30\n");
    platform::WriteWholeFile(board + "GTL", "G04 top*\n");
    platform::WriteWholeFile(board + "Contect.txt", "old sheet\r\n");
    if (!oldArchive.empty()) platform::WriteWholeFile(archive, oldArchive);
  }

  TExecuteRequest Request() const {
    TExecuteRequest r;
    r.folder = board;
    r.ticked[7] = r.ticked[12] = true;  // GBL, TXT
    r.contact.person = "p";
    r.pack = true;
    r.clock = [] { return kMinute; };
    return r;
  }

  platform::testing::TempDir dir;
  std::string board, temp, archive;
};

TEST_F(ExecuteFaultTest, EveryFailingOperationLeavesAWholeArchiveAndNoTemporaryFile) {
  // The archive of the first Execute.
  Restore("");
  {
    TZipWriter writer;
    writer.FilesList.Add(board + "GTL");
    writer.FilesList.Add(board + "Contect.txt");
    writer.SetZipName(archive);
    ASSERT_EQ(writer.BuildArchive(), 2);
  }
  const std::string old = platform::ReadWholeFile(archive);
  Restore(old);
  int runs = 0, threw = 0;
  TExecuteReport report;
  const int64_t points = platform::testing::FailEachOperationInTurn(
      [&] {
        TZipWriter writer;
        RunExecute(Request(), writer, report);
      },
      [&](const FaultRun& r) {
        ++runs;
        threw += r.threw;
        const std::string now = platform::ReadWholeFile(archive);
        if (!r.threw && HasLayerMessages(report)) {
          // The report tells of the failure: a layer that could not be found or renamed is
          // not in the archive, every other one is.
          int renamed = 0;
          for (const TLayerResult& layer : report.layers) renamed += layer.outcome == TLayerOutcome::Renamed;
          EXPECT_LT(renamed, 2) << r.Describe();
          EXPECT_EQ(EntriesOf(archive), 2 + renamed) << r.Describe();
        } else if (!r.threw) {
          // A run that succeeds did all of its work: a failure it passed over was one with
          // a fallback (a candidate's head that cannot be read, a file time not known).
          EXPECT_EQ(EntriesOf(archive), 4) << "GTL, the sheet, GBL and TXT: " << r.Describe();
          EXPECT_TRUE(platform::FileExists(board + "GBL") && platform::FileExists(board + "TXT"))
              << r.Describe();
        } else if (now != old) {
          // Only a whole new archive may have taken the old one's place.
          EXPECT_NO_THROW(EXPECT_EQ(EntriesOf(archive), 4)) << r.Describe();
        }
        EXPECT_TRUE(Leftovers(temp).empty()) << r.Describe();
        EXPECT_TRUE(Leftovers(board).empty()) << r.Describe();
        Restore(old);  // the next run starts from the same folder, with the seam disarmed
      });
  EXPECT_GT(points, 10);
  EXPECT_EQ(runs, points + 1);
  EXPECT_GT(threw, 0);
}

}  // namespace
