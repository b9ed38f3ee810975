// Focus: an update never loses or changes what it keeps: names of other tools byte for
// byte, archives it cannot hold whole refused unchanged (Zip64, miscounted or overlapping
// directories), sources that change while read, links, and every file operation failing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/testing/FaultLoop.h"
#include "platform/testing/TempDir.h"
#include "zip/ZipTestTools.h"
#include "zip/ZipWriter.h"

using platform::FileOperation;
using platform::testing::FaultRun;
using platform::testing::TempDir;

namespace {

// One central record as the bytes say, with the local header's name it points to.
struct RawRecord {
  std::string fixed;  // the 46 fixed bytes
  std::string name, extra, comment, localName;
};

// The central records of an archive whose end record closes the file.
std::map<std::string, RawRecord> CentralRecords(const std::string& bytes) {
  std::map<std::string, RawRecord> records;
  const size_t end = bytes.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos) return records;
  size_t at = ziptest::Get32(bytes, end + 16);
  for (int i = 0; i < ziptest::Get16(bytes, end + 10); ++i) {
    RawRecord r;
    r.fixed = bytes.substr(at, 46);
    const size_t n = ziptest::Get16(r.fixed, 28), x = ziptest::Get16(r.fixed, 30),
                 c = ziptest::Get16(r.fixed, 32);
    r.name = bytes.substr(at + 46, n);
    r.extra = bytes.substr(at + 46 + n, x);
    r.comment = bytes.substr(at + 46 + n + x, c);
    const size_t local = ziptest::Get32(r.fixed, 42);
    r.localName = bytes.substr(local + 30, ziptest::Get16(bytes, local + 26));
    records[r.name] = r;
    at += 46 + n + x + c;
  }
  return records;
}

// Every entry of before that is not in replaced is in after with the same name bytes (in
// its central and local header), versions, method, time, CRC, sizes, attributes, extra
// field and comment. Only the data descriptor flag may go: the copy is written without it.
void ExpectKeptByteForByte(const std::string& before, const std::string& after,
                           const std::vector<std::string>& replaced) {
  const auto old = CentralRecords(before), now = CentralRecords(after);
  for (const auto& [name, r] : old) {
    if (std::find(replaced.begin(), replaced.end(), name) != replaced.end()) continue;
    auto it = now.find(name);
    ASSERT_NE(it, now.end()) << "lost: " << name;
    const RawRecord& n = it->second;
    EXPECT_EQ(n.localName, name);
    EXPECT_EQ(n.fixed.substr(4, 4), r.fixed.substr(4, 4)) << name;
    EXPECT_EQ(ziptest::Get16(n.fixed, 8), ziptest::Get16(r.fixed, 8) & ~8) << name;
    EXPECT_EQ(n.fixed.substr(10, 32), r.fixed.substr(10, 32)) << name;
    EXPECT_EQ(n.extra, r.extra) << name;
    EXPECT_EQ(n.comment, r.comment) << name;
  }
}

void Touch(const std::string& path, const std::string& bytes, int secondsLater) {
  ziptest::WriteBytes(path, bytes);
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(secondsLater));
}

// Names of the files in folder that an update may leave behind.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("KPZ", 0) == 0 || name.rfind(".", 0) == 0) names.push_back(name);
  }
  return names;
}

std::string ErrorOf(TZipWriter& writer) {
  try {
    writer.BuildArchive();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

ziptest::CommandResult MakeWithPython(const std::string& script, const std::string& archive) {
  return ziptest::Python(script, ziptest::ShellQuote(archive));
}

// An archive of A, B, C written by us, and a writer set up to update it.
struct Board {
  TempDir dir;
  std::string temp = dir.MakeDir("temp");
  std::string archive = dir / "board.zip";
  std::string a = dir.Write("A", "alpha"), b = dir.Write("B", "bravo"), c = dir.Write("C", "charlie");

  Board() {
    TZipWriter w;
    w.SetPackLevel(0);
    for (const std::string& f : {a, b, c}) w.FilesList.Add(f);
    w.SetZipName(archive);
    w.BuildArchive();
  }
  void Prepare(TZipWriter& w, const std::vector<std::string>& files) const {
    w.TempPath = temp;
    w.DoProcessMessages = false;
    w.FilesList.Clear();
    for (const std::string& f : files) w.FilesList.Add(f);
    w.SetZipName(archive);
  }
  // The update is refused with message, and the old archive and both folders are as before.
  void ExpectRefused(const std::string& bytes, const std::string& message) {
    ziptest::WriteBytes(archive, bytes);
    TZipWriter w;
    Prepare(w, {dir.Write("D", "delta")});
    EXPECT_EQ(ErrorOf(w), message);
    EXPECT_TRUE(ziptest::ReadBytes(archive) == bytes) << message;
    EXPECT_TRUE(Leftovers(temp).empty() && Leftovers(dir.Path()).empty()) << message;
  }
};

}  // namespace

// bsdtar in the C locale stores UTF-8 names without the UTF-8 flag; the entry kept by an
// update keeps those bytes (they once came back as the GBK bytes of the same characters).
TEST(ZipUpdateSafety, KeptEntriesKeepTheirNameBytesAndFields) {
#ifdef _WIN32
  GTEST_SKIP() << "its archives come from Python's zipfile and bsdtar, which Windows here lacks";
#endif
  TempDir dir;
  const std::string src = dir.MakeDir("src");
  const std::string archive = dir / "other.zip";
  const ziptest::CommandResult made =
      ziptest::Run("cd " + ziptest::ShellQuote(src) + " && printf zh > '中文.txt' && printf abc > plain.txt && " +
                   "LC_ALL=C bsdtar --format zip -cf " + ziptest::ShellQuote(archive) + " '中文.txt' plain.txt");
  ASSERT_EQ(made.status, 0) << made.output;
  const std::string before = ziptest::ReadBytes(archive);
  ASSERT_EQ(CentralRecords(before).count("\xE4\xB8\xAD\xE6\x96\x87.txt"), 1u);

  TZipWriter w;
  w.TempPath = dir.Path();
  w.FilesList.Add(dir.Write("D", "delta"));
  w.SetZipName(archive);
  ASSERT_EQ(w.BuildArchive(), 1);
  const std::string after = ziptest::ReadBytes(archive);
  ExpectKeptByteForByte(before, after, {});
  EXPECT_EQ(CentralRecords(after).size(), 3u);
  // bsdtar reads the kept entry back under the name it wrote.
  const ziptest::CommandResult bytes = ziptest::Run(
      "LC_ALL=C bsdtar -xOf " + ziptest::ShellQuote(archive) + " '中文.txt'");
  EXPECT_EQ(bytes.status, 0) << bytes.output;
  EXPECT_EQ(bytes.output, "zh");
}

// A Zip64 archive of 70,000 entries was cut to 65,535 by an update that reported success;
// it is refused whole and stays as it was. A Zip64 end record whose values fit the classic
// one (some tools always write it) is read as it is.
TEST(ZipUpdateSafety, Zip64ArchivesAreRefusedUnchanged) {
#ifdef _WIN32
  GTEST_SKIP() << "its archives come from Python's zipfile and bsdtar, which Windows here lacks";
#endif
  Board board;
  std::string bytes = ziptest::ReadBytes(board.archive);
  const ziptest::CommandResult made = MakeWithPython(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:
    for i in range(70000):
        z.writestr(zipfile.ZipInfo('e%05d' % i, (2000, 1, 1, 0, 0, 0)), b'')
)", board.dir / "many.zip");
  ASSERT_EQ(made.status, 0) << made.output;
  board.ExpectRefused(ziptest::ReadBytes(board.dir / "many.zip"),
                      "Zip file needs Zip64 records (more than 65535 entries or beyond 4 GiB); "
                      "it cannot be updated");

  // Our archive of A, B, C with a Zip64 end record and locator that repeat its values.
  const size_t endAt = bytes.size() - 22;
  const uint32_t centralSize = ziptest::Get32(bytes, endAt + 12), centralAt = ziptest::Get32(bytes, endAt + 16);
  std::string zip64(56 + 20, '\0');
  ziptest::Put32(zip64, 0, 0x06064B50);
  ziptest::Put32(zip64, 4, 44);  // size of the rest of the record
  ziptest::Put16(zip64, 12, 45);
  ziptest::Put32(zip64, 24, 3);
  ziptest::Put32(zip64, 32, 3);
  ziptest::Put32(zip64, 40, centralSize);
  ziptest::Put32(zip64, 48, centralAt);
  ziptest::Put32(zip64, 56, 0x07064B50);
  ziptest::Put32(zip64, 56 + 8, static_cast<uint32_t>(endAt));
  ziptest::Put32(zip64, 56 + 16, 1);
  bytes.insert(endAt, zip64);
  ziptest::WriteBytes(board.archive, bytes);
  TZipWriter w;
  board.Prepare(w, {board.dir.Write("D", "delta")});
  ASSERT_EQ(w.BuildArchive(), 1);
  ExpectKeptByteForByte(bytes, ziptest::ReadBytes(board.archive), {});
}

// An end record that counts fewer entries than its directory holds (0, or one less) made
// the update drop the uncounted ones; so did a record whose entries share their bytes.
TEST(ZipUpdateSafety, MiscountedOrOverlappingDirectoriesAreRefusedUnchanged) {
#ifdef _WIN32
  GTEST_SKIP() << "its archives come from Python's zipfile and bsdtar, which Windows here lacks";
#endif
  Board board;
  const std::string good = ziptest::ReadBytes(board.archive);
  const size_t endAt = good.size() - 22;
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
  } cases[] = {
      {"count 0", [&](std::string& s) { ziptest::Put16(s, endAt + 8, 0); ziptest::Put16(s, endAt + 10, 0); }},
      {"count one less", [&](std::string& s) { ziptest::Put16(s, endAt + 8, 2); ziptest::Put16(s, endAt + 10, 2); }},
      {"count one less, size to match",
       [&](std::string& s) {
         ziptest::Put16(s, endAt + 8, 2);
         ziptest::Put16(s, endAt + 10, 2);
         ziptest::Put32(s, endAt + 12, ziptest::Get32(s, endAt + 12) - 47);  // C's record
       }},
      {"A's data claims B's header", [&](std::string& s) {
         const size_t central = ziptest::Get32(s, endAt + 16);
         ziptest::Put32(s, central + 20, 20);  // compressed size of A: 5 -> 20
       }},
      // The central records agree, but A's local header has an extra field that pushes its
      // data into B: only the copy, which reads the local header, sees it.
      {"A's local extra field", [&](std::string& s) { ziptest::Put16(s, 28, 10); }},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    c.damage(bytes);
    SCOPED_TRACE(c.what);
    board.ExpectRefused(bytes, "Not a valid zip file!");
  }

  // 300 stored entries, each of whose data runs over all the ones after it and a 100 KB
  // tail: copying each whole made the archive 300 times the size.
  const ziptest::CommandResult made = MakeWithPython(R"(
import sys, struct, zlib
tail = b'x' * 100000
n = 300
names = [b'f%03d' % i for i in range(n)]
offsets, at = [], 0
for name in names:
    offsets.append(at); at += 30 + len(name)
end = at + len(tail)
local = b''
for name, off in zip(names, offsets):
    size = end - (off + 30 + len(name))
    local += struct.pack('<IHHHHHIIIHH', 0x04034B50, 20, 0, 0, 0, 0x2821, 0, size, size, len(name), 0) + name
central = b''
for name, off in zip(names, offsets):
    size = end - (off + 30 + len(name))
    central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014B50, 20, 20, 0, 0, 0, 0x2821, 0, size, size,
                           len(name), 0, 0, 0, 0, 0x20, off) + name
data = local + tail
eocd = struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, n, n, len(central), len(data), 0)
open(sys.argv[1], 'wb').write(data + central + eocd)
)", board.dir / "overlap.zip");
  ASSERT_EQ(made.status, 0) << made.output;
  board.ExpectRefused(ziptest::ReadBytes(board.dir / "overlap.zip"), "Not a valid zip file!");
}

// A file cut (or grown) while it is packed became an entry of neither content with
// success reported; now the run fails naming the file, and nothing partial is left.
TEST(ZipUpdateSafety, SourceThatChangesWhileReadFailsTheRun) {
  struct Case {
    const char* what;
    bool update;
    int level;
    size_t sizeAtRead;  // what the file becomes after the first read
  } cases[] = {
      {"new archive, stored, cut", false, 0, 100000},
      {"new archive, deflated, cut", false, 6, 100000},
      {"update, deflated, grown", true, 6, 2500000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Board board;
    const std::string before = ziptest::ReadBytes(board.archive);
    if (!c.update) std::filesystem::remove(board.archive);
    const std::string big = board.dir.Write("big.bin", std::string(2000000, 'g'));
    TZipWriter w;
    board.Prepare(w, {big});
    w.SetPackLevel(c.level);
    bool changed = false;
    w.OnFilePercentDone = [&](TZipWriter&, int) {
      if (!changed) std::filesystem::resize_file(big, c.sizeAtRead);
      changed = true;
    };
    const std::string error = ErrorOf(w);
    EXPECT_EQ(error.rfind("Cannot add \"" + big + "\": the file changed while it was read (it had "
                          "2000000 bytes when opened, but ", 0), 0u) << error;
    if (c.update) {
      EXPECT_TRUE(ziptest::ReadBytes(board.archive) == before);
    } else {
      EXPECT_FALSE(std::filesystem::exists(board.archive));
    }
    EXPECT_TRUE(Leftovers(board.temp).empty() && Leftovers(board.dir.Path()).empty());
  }
}

// An update through a symbolic link replaces the link's target, and the link stays.
TEST(ZipUpdateSafety, UpdateThroughALinkWritesTheTarget) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need special rights on Windows, where a path stands for itself";
#else
  Board board;
  const std::string real = board.dir.MakeDir("real") + "/board.zip";
  std::filesystem::rename(board.archive, real);
  ASSERT_EQ(symlink("real/board.zip", board.archive.c_str()), 0);
  const std::string before = ziptest::ReadBytes(real);
  Touch(board.b, "BRAVO", 10);
  TZipWriter w;
  board.Prepare(w, {board.b});
  ASSERT_EQ(w.BuildArchive(), 1);
  struct stat st {};
  ASSERT_EQ(lstat(board.archive.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  const std::string after = ziptest::ReadBytes(real);
  ExpectKeptByteForByte(before, after, {"B"});
  const ziptest::CommandResult b = ziptest::Run("bsdtar -xOf " + ziptest::ShellQuote(real) + " B");
  EXPECT_EQ(b.output, "BRAVO");
  EXPECT_TRUE(Leftovers(board.dir / "real").empty() && Leftovers(board.dir.Path()).empty());
#endif
}

namespace {

// "sizes 120 and 120, 3 bytes differ from offset 14" and the bytes there, for a failure's
// message.
std::string DescribeDifference(const std::string& a, const std::string& b) {
  size_t first = std::string::npos, count = 0;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) {
      if (first == std::string::npos) first = i;
      ++count;
    }
  std::string hex;
  for (const std::string* z : {&a, &b}) {
    hex += "\n";
    for (size_t i = first == std::string::npos ? 0 : first - first % 16, n = 0; i < z->size() && n < 48; ++i, ++n) {
      char h[4];
      snprintf(h, sizeof h, "%02x ", static_cast<unsigned char>((*z)[i]));
      hex += h;
    }
  }
  return "; sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", " +
         std::to_string(count) + " bytes differ from offset " + std::to_string(first) + hex;
}

// Runs the writer's run with every file operation failing in turn. After each run: a
// failure reached the caller (a file that cannot be opened may instead be left out, with
// OnSkippingFile told); a failed run left the archive as it was (or, once the archive has
// been renamed into place, as expected) and no temporary or partial file; a successful
// run wrote exactly the expected archive. Returns the operations in the order they came.
std::vector<FileOperation> FailEveryOperation(Board& board, const std::vector<std::string>& files,
                                              const std::string& before, const std::string& expected) {
  std::vector<FileOperation> order;
  int64_t renameAt = 0;
  bool skipped = false;
  // Every run starts from the old archive, or none; set up with the seam disarmed.
  auto restore = [&] {
    if (before.empty()) {
      std::filesystem::remove(board.archive);
    } else {
      ziptest::WriteBytes(board.archive, before);
    }
  };
  auto check = [&](const FaultRun& r) {
    const bool exists = std::filesystem::exists(board.archive);
    const std::string now = exists ? ziptest::ReadBytes(board.archive) : std::string();
    if (r.fired) {
      order.push_back(r.operation);
      if (r.operation == FileOperation::Rename) renameAt = r.failAt;
    }
    const bool renamed = renameAt != 0 && r.failAt > renameAt;
    if (r.threw) {
      EXPECT_TRUE(r.fired) << r.Describe();
      EXPECT_TRUE(now == (renamed ? expected : before)) << r.Describe();
    } else if (r.fired && skipped) {
      EXPECT_EQ(r.operation, FileOperation::Open) << r.Describe();
      EXPECT_FALSE(now == before || now == expected) << r.Describe();
      TZipReader back;
      back.SetZipName(board.archive);
      EXPECT_NO_THROW(back.OpenArchive()) << r.Describe();
    } else {
      // Failures that may pass unseen, each with a designed fallback: the open that reads
      // a replacing file's time (the file is then taken as newer, which it is here), and,
      // after the archive is complete, the open and stat that note its time for the held
      // directory (which is then read again next time).
      if (r.fired) {
        EXPECT_TRUE(r.operation == FileOperation::Open ||
                    ((renamed || before.empty()) && r.operation == FileOperation::Stat))
            << r.Describe();
      }
      EXPECT_TRUE(now == expected) << r.Describe() << DescribeDifference(now, expected);
    }
    EXPECT_TRUE(Leftovers(board.temp).empty() && Leftovers(board.dir.Path()).empty()) << r.Describe();
    restore();
  };
  restore();
  const int64_t points = platform::testing::FailEachOperationInTurn(
      [&] {
        skipped = false;
        TZipWriter w;
        board.Prepare(w, files);
        w.OnSkippingFile = [&](TZipWriter&, TSkipReason reason, const std::string&, int) {
          skipped = reason == TSkipReason::srFileOpenError;
        };
        w.BuildArchive();
      },
      check);
  EXPECT_GT(points, 0);
  return order;
}

bool Contains(const std::vector<FileOperation>& order, const std::vector<FileOperation>& run) {
  return std::search(order.begin(), order.end(), run.begin(), run.end()) != order.end();
}

}  // namespace

TEST(ZipUpdateSafety, NewArchiveSurvivesEveryFailingOperation) {
  Board board;
  std::filesystem::remove(board.archive);
  const std::string big = board.dir.Write("big", std::string(70000, 'b'));
  const std::vector<std::string> files = {board.a, big, board.c};
  {
    TZipWriter w;
    board.Prepare(w, files);
    ASSERT_EQ(w.BuildArchive(), 3);
  }
  const std::string expected = ziptest::ReadBytes(board.archive);
  const auto order = FailEveryOperation(board, files, "", expected);
  // The archive is on the disk, and its folder entry too, before success is reported.
  EXPECT_TRUE(Contains(order, {FileOperation::Write, FileOperation::Sync, FileOperation::Close,
                               FileOperation::Sync}));
}

TEST(ZipUpdateSafety, UpdateSurvivesEveryFailingOperation) {
  Board board;
  const std::string before = ziptest::ReadBytes(board.archive);
  Touch(board.b, "BRAVO", 10);
  const std::vector<std::string> files = {board.b, board.dir.Write("D", "delta")};
  std::string expected;
  {
    TZipWriter w;
    board.Prepare(w, files);
    ASSERT_EQ(w.BuildArchive(), 2);
    expected = ziptest::ReadBytes(board.archive);
    ziptest::WriteBytes(board.archive, before);
  }
  const auto order = FailEveryOperation(board, files, before, expected);
  // The new archive is flushed before it is renamed over the old one, the folder after.
  EXPECT_TRUE(Contains(order, {FileOperation::Delete, FileOperation::Sync, FileOperation::Close,
                               FileOperation::Rename, FileOperation::Sync}));
}
