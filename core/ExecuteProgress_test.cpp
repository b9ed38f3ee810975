// Focus: the progress callback of an Execute that packs: percentages of the whole run that
// climb to 100 while the archive is written, and the writer left without a handler afterwards.
#include <gtest/gtest.h>

#include <vector>

#include "core/Execute.h"
#include "kztools/kzStrTools.h"
#include "platform/FileStream.h"
#include "platform/testing/TempDir.h"

namespace {

// Bytes that compress poorly, so that every layer takes many blocks to write.
std::string Noise(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// Runs one Execute over three large layers; the archive's size.
size_t PackOnce(const std::function<void(int)>& progress) {
  InitUpperTable();
  platform::testing::TempDir dir;
  const std::string board = dir.MakeDir("board") + "/";
  dir.Write("board/b.GTL", Noise(700000, 1));
  dir.Write("board/b.GBL", Noise(500000, 2));
  dir.Write("board/b.GTO", std::string(300000, 'G'));
  TExecuteRequest request;
  request.folder = board;
  request.ticked[3] = request.ticked[7] = request.ticked[0] = true;  // GTL, GBL, GTO
  request.pack = true;
  request.clock = [] { return platform::LocalDateTime{2024, 1, 2, 15, 7, 0}; };
  request.progress = progress;
  TZipWriter writer;
  TExecuteReport report;
  RunExecute(request, writer, report);
  EXPECT_FALSE(writer.OnTotalPercentDone);  // the writer keeps no handler of the run
  return platform::ReadWholeFile(board + *report.archive).size();
}

TEST(ExecuteProgress, PercentagesOfTheWholeRunClimbToAHundred) {
  std::vector<int> seen;
  EXPECT_GT(PackOnce([&](int percent) { seen.push_back(percent); }), 1000000u);
  EXPECT_GT(PackOnce(nullptr), 1000000u);  // no callback: packs as ever
  ASSERT_GT(seen.size(), 10u);
  EXPECT_LT(seen.front(), 50);
  EXPECT_EQ(seen.back(), 100);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LE(seen[i - 1], seen[i]) << i;
}

}  // namespace
