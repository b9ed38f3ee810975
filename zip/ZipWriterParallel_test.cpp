// Entries compressed ahead on worker threads: the archive's bytes and the events (progress,
// window-event processing, end of entry, skips) are those of a one-thread run, a failure in
// any entry ends the run with nothing left behind, and the thread setting.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "deflate/testing/Corpus.h"
#include "platform/UiHooks.h"
#include "platform/testing/TempDir.h"
#include "zip/ZipTestTools.h"
#include "zip/ZipWriter.h"

using platform::testing::TempDir;

namespace {

// A board folder's worth of files: entries larger than a worker's queue (random bytes do
// not shrink), text and binary, a stored-whole one, an empty one, a no-compress one and a
// second file of an already stored name, which is left out.
std::vector<std::string> WriteBoardFiles(const TempDir& dir) {
  using namespace deflate_testing;
  return {dir.Write("board.GTL", GerberText(400000, 1)),
          dir.Write("random.bin", RandomBytes(1100000, 2)),
          dir.Write("abc.txt", "abc"),
          dir.Write("empty.GBL", ""),
          dir.Write("notes.txt", Text(200000, 3)),
          dir.Write("sub/board.GTL", GerberText(1000, 4)),
          dir.Write("photo.jpg", BinaryMix(150000, 5)),
          dir.Write("drill.TXT", BinaryMix(300000, 6))};
}

struct TRunRecord {
  std::string archive;        // the archive's bytes; empty when the run failed
  std::string error;          // the failure's message
  std::vector<std::string> events;  // every hook and window-event call, in order
  int result = -1;
};

// Runs one zip run with every event recorded; configure sets up the writer beyond the files.
template <class F>
TRunRecord RecordRun(const TempDir& dir, const std::string& zipName,
                     const std::vector<std::string>& files, int threads, F configure) {
  TRunRecord record;
  TZipWriter w;
  w.SetThreads(threads);
  for (const std::string& f : files) w.FilesList.Add(f);
  w.NoCompressList.Add("*.jpg");
  // Every event is recorded with the thread it came on (all must come on the caller's).
  w.OnFilePercentDone = [&](TZipWriter&, int p) { record.events.push_back("file " + std::to_string(p)); };
  w.OnTotalPercentDone = [&](TZipWriter&, int p) { record.events.push_back("total " + std::to_string(p)); };
  w.OnEndZip = [&](TZipWriter&, const std::string& name, uint32_t u, uint32_t c, int64_t z) {
    record.events.push_back("end " + name + " " + std::to_string(u) + " " + std::to_string(c) +
                            " " + std::to_string(z));
  };
  w.OnSkippingFile = [&](TZipWriter&, TSkipReason reason, const std::string& name, int) {
    record.events.push_back("skip " + std::to_string(static_cast<int>(reason)) + " " + name);
  };
  configure(w, record);
  const auto saved = platform::Hooks().processEvents;
  const std::thread::id caller = std::this_thread::get_id();
  platform::Hooks().processEvents = [&] {
    record.events.push_back(std::this_thread::get_id() == caller ? "events" : "events elsewhere");
  };
  w.SetZipName(dir / zipName);
  try {
    record.result = w.BuildArchive();
  } catch (const Exception& e) {
    record.error = e.what();
  }
  platform::Hooks().processEvents = saved;
  if (std::filesystem::exists(dir / zipName)) record.archive = ziptest::ReadBytes(dir / zipName);
  return record;
}

const auto kNoChange = [](TZipWriter&, TRunRecord&) {};

TEST(ZipWriterParallel, ThreadsSetting) {
  TZipWriter w;
  EXPECT_EQ(w.Threads(), 1);
  w.SetThreads(TZipWriter::kAllCores);
  EXPECT_EQ(w.Threads(), 0);
  w.SetThreads(8);
  EXPECT_EQ(w.Threads(), 8);
  EXPECT_THROW(w.SetThreads(-1), Exception);
  EXPECT_EQ(w.Threads(), 8);
}

// At several levels and thread counts, new archives and updates of an existing one come out
// byte for byte as from one thread, with the same events in the same order.
TEST(ZipWriterParallel, SameArchiveAndEventsAsOneThread) {
  TempDir dir;
  const std::vector<std::string> files = WriteBoardFiles(dir);
  const std::vector<std::pair<int, std::vector<int>>> cases = {
      {6, {2, 3, TZipWriter::kAllCores}}, {1, {2}}, {9, {2}}};
  for (const auto& [level, threadCounts] : cases) {
    auto atLevel = [level = level](TZipWriter& w, TRunRecord&) { w.SetPackLevel(level); };
    const TRunRecord one = RecordRun(dir, "one.zip", files, 1, atLevel);
    ASSERT_EQ(one.result, 7) << one.error;
    for (int threads : threadCounts) {
      const std::string name = "n" + std::to_string(level) + "-" + std::to_string(threads) + ".zip";
      const TRunRecord many = RecordRun(dir, name, files, threads, atLevel);
      EXPECT_EQ(many.result, one.result) << many.error;
      EXPECT_TRUE(many.archive == one.archive) << "level " << level << ", " << threads << " threads";
      EXPECT_EQ(many.events, one.events) << "level " << level << ", " << threads << " threads";
    }
    std::filesystem::remove(dir / "one.zip");
  }
  // An update: the old archive holds the first three files; the run replaces none of them
  // (they are as new as the entries) and adds the rest.
  const std::vector<std::string> firstThree(files.begin(), files.begin() + 3);
  RecordRun(dir, "update1.zip", firstThree, 1, kNoChange);
  std::filesystem::copy_file(dir / "update1.zip", dir / "update2.zip");
  const TRunRecord one = RecordRun(dir, "update1.zip", files, 1, kNoChange);
  const TRunRecord many = RecordRun(dir, "update2.zip", files, 2, kNoChange);
  ASSERT_EQ(one.result, 4) << one.error;
  EXPECT_TRUE(many.archive == one.archive);
  EXPECT_EQ(many.events, one.events);
  // With an OnStartZip handler (which may change how a file is stored) the run keeps to
  // one thread, and nothing differs either.
  auto withStartZip = [](TZipWriter& w, TRunRecord& r) {
    w.OnStartZip = [&r](TZipWriter&, const std::string& name, TZipHeaderInfo&, bool&) {
      r.events.push_back("start " + name);
    };
  };
  const TRunRecord serial = RecordRun(dir, "start1.zip", files, 1, withStartZip);
  const TRunRecord asked = RecordRun(dir, "start2.zip", files, 2, withStartZip);
  EXPECT_TRUE(asked.archive == serial.archive);
  EXPECT_EQ(asked.events, serial.events);
}

// A file whose reads fail (the process's own memory file opens but cannot be read at
// offset 0), and an event handler that raises: the run ends with the error, the events
// before it are those of a one-thread run, and no archive is left.
TEST(ZipWriterParallel, FailureInAnyEntryEndsTheRunWithNothingLeft) {
  TempDir dir;
  std::vector<std::string> files = WriteBoardFiles(dir);
  files.insert(files.begin() + 2, "/proc/self/mem");
  const TRunRecord one = RecordRun(dir, "bad1.zip", files, 1, kNoChange);
  EXPECT_EQ(one.error, "Stream read error");
  for (int threads : {2, 4}) {
    const TRunRecord many = RecordRun(dir, "bad2.zip", files, threads, kNoChange);
    EXPECT_EQ(many.error, "Stream read error");
    EXPECT_EQ(many.events, one.events);
  }

  const std::vector<std::string> good = WriteBoardFiles(dir);
  auto raiseAtThirdEnd = [](TZipWriter& w, TRunRecord& r) {
    w.OnEndZip = [&r, ends = 0](TZipWriter&, const std::string& name, uint32_t, uint32_t,
                                int64_t) mutable {
      r.events.push_back("end " + name);
      if (++ends == 3) throw Exception("stopped by a handler");
    };
  };
  const TRunRecord stopped1 = RecordRun(dir, "stop1.zip", good, 1, raiseAtThirdEnd);
  const TRunRecord stopped2 = RecordRun(dir, "stop2.zip", good, 2, raiseAtThirdEnd);
  EXPECT_EQ(stopped1.error, "stopped by a handler");
  EXPECT_EQ(stopped2.error, "stopped by a handler");
  EXPECT_EQ(stopped2.events, stopped1.events);
  for (const auto& item : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_NE(item.path().extension(), ".zip") << item.path() << " was left behind";
  }
}

}  // namespace
