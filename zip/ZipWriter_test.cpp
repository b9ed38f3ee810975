#include "zip/ZipWriter.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <random>

#include "platform/CodePage.h"
#include "platform/FileStream.h"
#include "platform/Paths.h"
#include "platform/UiHooks.h"
#include "platform/testing/TempDir.h"
#include "zip/ZipTestTools.h"

using platform::testing::Cause;
using platform::testing::TempDir;

namespace {

// Checks an archive with Python's zipfile: testzip(), the names in order, and each
// entry's bytes and CRC against its source file. Arguments: archive, then name=source.
const char* kPythonCheck = R"(
import sys, zipfile, zlib
z = zipfile.ZipFile(sys.argv[1])
bad = z.testzip()
if bad is not None:
    print('BAD', bad); sys.exit(1)
pairs = [p.split('=', 1) for p in sys.argv[2:]]
names = [i.filename for i in z.infolist()]
if names != [n for n, s in pairs]:
    print('NAMES', names); sys.exit(2)
for n, s in pairs:
    data = open(s, 'rb').read()
    if z.read(n) != data or z.getinfo(n).CRC != zlib.crc32(data):
        print('DATA', n); sys.exit(3)
print('OK')
)";

struct Source {
  std::string name, path;  // stored name, source file
};

// Python's zipfile, 7z and bsdtar each open the archive and find every entry's bytes.
void CheckWithClients(const std::string& archive, const std::vector<Source>& entries) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();
  std::string args = ziptest::ShellQuote(archive);
  for (const Source& e : entries) args += " " + ziptest::ShellQuote(e.name + "=" + e.path);
  const ziptest::CommandResult python = ziptest::Python(kPythonCheck, args);
  EXPECT_EQ(python.status, 0) << python.output;
  const ziptest::CommandResult sevenZip = ziptest::Run("7z t " + ziptest::ShellQuote(archive));
  EXPECT_EQ(sevenZip.status, 0) << sevenZip.output;
  EXPECT_NE(sevenZip.output.find("Everything is Ok"), std::string::npos) << sevenZip.output;
  const ziptest::CommandResult listing = ziptest::Run("bsdtar -tvf " + ziptest::ShellQuote(archive));
  EXPECT_EQ(listing.status, 0) << listing.output;
  for (const Source& e : entries) {
    EXPECT_NE(listing.output.find(e.name), std::string::npos) << listing.output;
    const ziptest::CommandResult bytes = ziptest::Run(
        "bsdtar -xOf " + ziptest::ShellQuote(archive) + " " + ziptest::ShellQuote(e.name));
    EXPECT_EQ(bytes.output, ziptest::ReadBytes(e.path)) << e.name;
  }
}

// The records of an archive as the bytes say, read without our reader.
struct RawEntry {
  size_t offset;
  std::string local, central;  // the fixed parts
  std::string localName, centralName;
};
struct RawArchive {
  std::vector<RawEntry> entries;
  std::string end;
  size_t centralOffset = 0;
};

RawArchive ParseArchive(const std::string& bytes) {
  RawArchive a;
  const size_t endAt = bytes.size() - 22;
  a.end = bytes.substr(endAt);
  EXPECT_EQ(ziptest::Get32(a.end, 0), 0x06054B50u);
  a.centralOffset = ziptest::Get32(a.end, 16);
  size_t at = a.centralOffset;
  for (int i = 0; i < ziptest::Get16(a.end, 10); ++i) {
    RawEntry e;
    e.central = bytes.substr(at, 46);
    EXPECT_EQ(ziptest::Get32(e.central, 0), 0x02014B50u);
    e.centralName = bytes.substr(at + 46, ziptest::Get16(e.central, 28));
    at += 46 + e.centralName.size() + ziptest::Get16(e.central, 30) + ziptest::Get16(e.central, 32);
    e.offset = ziptest::Get32(e.central, 42);
    e.local = bytes.substr(e.offset, 30);
    EXPECT_EQ(ziptest::Get32(e.local, 0), 0x04034B50u);
    e.localName = bytes.substr(e.offset + 30, ziptest::Get16(e.local, 26));
    a.entries.push_back(e);
  }
  EXPECT_EQ(at, endAt);
  EXPECT_EQ(ziptest::Get32(a.end, 12), endAt - a.centralOffset);
  return a;
}

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen());
  return s;
}

uint32_t FileDosTime(const std::string& path) {
  return platform::FileStream(path, platform::FileStream::Mode::OpenRead).DosDateTime();
}

#ifndef _WIN32
// Runs body in a child process (so limits set there stay there) and returns its exit code.
template <class Body>
int InChild(Body body) {
  fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}
#endif

// Gives the protected parts to the tests: the record limits, a small enough reach.
class TestWriter : public TZipWriter {
 public:
  using TZipWriter::entryLimit_;
  using TZipWriter::offsetLimit_;
};

std::string ErrorOf(TZipWriter& writer) {
  try {
    writer.BuildArchive();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

TEST(ZipWriter, DefaultsAndCoupledSettings) {
  TZipWriter w;
  EXPECT_EQ(w.PackLevel(), 6);
  EXPECT_EQ(w.ZipAction, TZipAction::zaUpdate);
  EXPECT_FALSE(w.StorePaths() || w.RelativePaths() || w.StoreVolumes() || w.Store83Names ||
               w.Recurse() || w.Dispose || w.KeepZipOpen);
  EXPECT_TRUE(w.DoProcessMessages);
  EXPECT_EQ(w.MultiZipInfo.MultiMode, TMultiMode::mmNone);
  EXPECT_EQ(w.MultiZipInfo.BlockSize, 1457600);
  EXPECT_EQ(w.MultiZipInfo.FirstBlockSize, 1457600);
  EXPECT_TRUE(w.RootDir.empty() && w.TempPath.empty() && w.ZipName().empty());
  EXPECT_EQ(w.FilesList.Count() + w.ExcludeList.Count() + w.NoCompressList.Count(), 0);

  w.SetRelativePaths(true);
  EXPECT_TRUE(w.StorePaths() && w.Recurse());
  w.SetStoreVolumes(true);
  w.SetStorePaths(false);
  EXPECT_FALSE(w.StoreVolumes() || w.RelativePaths());
  EXPECT_TRUE(w.Recurse());
  w.SetStoreVolumes(true);
  EXPECT_TRUE(w.StorePaths());
  w.SetStoreVolumes(false);
  EXPECT_TRUE(w.StorePaths());

  w.SetPackLevel(0);
  EXPECT_EQ(w.PackLevel(), 0);
  EXPECT_THROW(w.SetPackLevel(10), Exception);
  EXPECT_THROW(w.SetPackLevel(-1), Exception);
  EXPECT_EQ(w.PackLevel(), 0);
}

// Ten files become ten entries in list order, each record exactly as the format says, and
// the archive opens in every client with the right bytes.
TEST(ZipWriter, FilesBecomeEntriesInListOrder) {
  TempDir dir;
  const std::vector<std::pair<std::string, std::string>> files = {
      {"GTO", "silk top"},        {"GTL", std::string(70000, 'L')}, {"empty.txt", ""},
      {"abc", "abc"},             {"GBL", RandomBytes(100000, 1)},  {"GKO", RandomBytes(8191, 2)},
      {"GTS", RandomBytes(8192, 3)}, {"GBS", RandomBytes(4097, 4)}, {"Contect.txt", "name: x\r\n"},
      {"big.bin", RandomBytes(300000, 5)},
  };
  TZipWriter w;
  std::vector<Source> sources;
  for (const auto& [name, bytes] : files) {
    sources.push_back({name, dir.Write("board/" + name, bytes)});
    w.FilesList.Add(sources.back().path);
  }
  const std::string archive = dir / "board.zip";
  w.SetPackLevel(0);  // stored: the data bytes can be compared in place
  w.SetZipName(archive);
  EXPECT_EQ(w.BuildArchive(), 10);

  const std::string bytes = ziptest::ReadBytes(archive);
  const RawArchive raw = ParseArchive(bytes);
  ASSERT_EQ(raw.entries.size(), 10u);
  EXPECT_EQ(ziptest::Get16(raw.end, 8), 10);
  EXPECT_EQ(ziptest::Get16(raw.end, 10), 10);
  EXPECT_EQ(ziptest::Get16(raw.end, 4) + ziptest::Get16(raw.end, 6) + ziptest::Get16(raw.end, 20), 0);
  size_t expectedOffset = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const RawEntry& e = raw.entries[i];
    const std::string& data = files[i].second;
    EXPECT_EQ(e.offset, expectedOffset) << files[i].first;
    EXPECT_EQ(e.localName, files[i].first);
    EXPECT_EQ(e.centralName, files[i].first);
    // Local header: version 20, flags 0, method 0 (stored), time, sizes, no extra field.
    EXPECT_EQ(ziptest::Get16(e.local, 4), 20);
    EXPECT_EQ(ziptest::Get16(e.local, 6), 0);
    EXPECT_EQ(ziptest::Get16(e.local, 8), 0);
    EXPECT_EQ(ziptest::Get32(e.local, 10), FileDosTime(sources[i].path));
    EXPECT_EQ(ziptest::Get32(e.local, 18), data.size());
    EXPECT_EQ(ziptest::Get32(e.local, 22), data.size());
    EXPECT_EQ(ziptest::Get16(e.local, 28), 0);
    // The central header repeats them and adds the attributes and the offset.
    EXPECT_EQ(e.central.substr(6, 26), e.local.substr(4, 26));
    EXPECT_EQ(ziptest::Get16(e.central, 4), 20);
    EXPECT_EQ(ziptest::Get16(e.central, 30), 0);  // extra
    EXPECT_EQ(ziptest::Get16(e.central, 32), 0);  // comment
    EXPECT_EQ(ziptest::Get16(e.central, 34), 0);  // disk
    EXPECT_EQ(ziptest::Get16(e.central, 36), 0);  // internal attributes of a stored entry
    EXPECT_EQ(ziptest::Get32(e.central, 38), 0x20u);
    EXPECT_EQ(bytes.substr(e.offset + 30 + e.localName.size(), data.size()), data);
    expectedOffset = e.offset + 30 + e.localName.size() + data.size();
  }
  EXPECT_EQ(raw.centralOffset, expectedOffset);
  CheckWithClients(archive, sources);

  // The new archive is the held directory: no need to read the file.
  std::filesystem::remove(archive);
  EXPECT_EQ(w.Count(), 10);
  EXPECT_EQ(w.Entry(9).FileName(), "big.bin");
  EXPECT_EQ(w.ZipName(), archive);
}

TEST(ZipWriter, StoredNamesAreGbkInTheArchive) {
  TempDir dir;
  TZipWriter w;
  w.FilesList.Add(dir.Write("张三.txt", "contact"));
  w.SetZipName(dir / "名字.zip");
  ASSERT_EQ(w.BuildArchive(), 1);
  const RawArchive raw = ParseArchive(ziptest::ReadBytes(dir / "名字.zip"));
  ASSERT_EQ(raw.entries.size(), 1u);
  EXPECT_EQ(raw.entries[0].localName, platform::Utf8ToGbk("张三.txt"));
  EXPECT_EQ(raw.entries[0].centralName, platform::Utf8ToGbk("张三.txt"));
  TZipReader back;
  back.SetZipName(dir / "名字.zip");
  back.OpenArchive();
  EXPECT_EQ(back.Entry(0).FileName(), "张三.txt");
  // 7z reads the GBK name and the CRC.
  SKIP_WITHOUT_ARCHIVE_CLIENTS();
  const ziptest::CommandResult t = ziptest::Run("7z t " + ziptest::ShellQuote(dir / "名字.zip"));
  EXPECT_EQ(t.status, 0) << t.output;
}

// An empty list, or one whose files are all missing, gives the 22-byte empty archive.
TEST(ZipWriter, NothingToAddGivesTheEmptyArchive) {
  TempDir dir;
  for (bool withMissing : {false, true}) {
    TZipWriter w;
    std::vector<std::string> missing;
    w.OnNoSuchFile = [&](TZipWriter&, const std::string& name) { missing.push_back(name); };
    if (withMissing) {
      w.FilesList.Add(dir / "no-such-file");
      w.FilesList.Add(dir / "nor/this");
    }
    const std::string archive = dir / (withMissing ? "missing.zip" : "empty.zip");
    w.SetZipName(archive);
    EXPECT_EQ(w.BuildArchive(), 0);
    EXPECT_EQ(ziptest::ReadBytes(archive), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    EXPECT_EQ(missing.size(), withMissing ? 2u : 0u);
    EXPECT_EQ(w.Count(), 0);
    CheckWithClients(archive, {});
  }
}

// Files that cannot become entries are left out; the others still do.
TEST(ZipWriter, FilesLeftOut) {
  TempDir dir;
  const std::string a = dir.Write("a/GTL", "first");
  const std::string b = dir.Write("b/GTL", "second, same name");
  const std::string c = dir.Write("b/gtl.txt", "other");
  const std::string folder = dir.MakeDir("folder");
#ifdef _WIN32
  const std::string fifo = folder;  // Windows has no FIFO to list; the folder stands in
#else
  const std::string fifo = dir / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
#endif
  struct Case {
    const char* what;
    std::vector<std::string> list;
    int result;
    std::vector<Source> entries;
    std::vector<std::string> noOverwrite;
  } cases[] = {
      {"same path twice", {a, a}, 1, {{"GTL", a}}, {a}},
      {"one name in two folders", {a, b, c}, 2, {{"GTL", a}, {"gtl.txt", c}}, {b}},
      {"a folder and a FIFO", {folder, fifo, c}, 1, {{"gtl.txt", c}}, {}},
  };
  for (const Case& k : cases) {
    TZipWriter w;
    std::vector<std::string> skipped;
    w.OnSkippingFile = [&](TZipWriter&, TSkipReason reason, const std::string& name, int index) {
      EXPECT_EQ(reason, TSkipReason::srNoOverwrite);
      EXPECT_EQ(index, -1);
      skipped.push_back(name);
    };
    for (const std::string& f : k.list) w.FilesList.Add(f);
    const std::string archive = dir / "out.zip";
    std::filesystem::remove(archive);
    w.SetZipName(archive);
    EXPECT_EQ(w.BuildArchive(), k.result) << k.what;
    EXPECT_EQ(skipped, k.noOverwrite) << k.what;
    CheckWithClients(archive, k.entries);
  }
}

// A file that exists but cannot be opened is left out with srFileOpenError. As root every
// file can be read, so here the process runs out of descriptors after the archive's own.
TEST(ZipWriter, FileThatCannotBeOpenedIsLeftOut) {
#ifdef _WIN32
  GTEST_SKIP() << "needs fork and a descriptor limit (setrlimit), which Windows lacks";
#else
  TempDir dir;
  const std::string file = dir.Write("GTL", "layer");
  const std::string archive = dir / "out.zip";
  const int code = InChild([&] {
    TZipWriter w;
    int events = 0;
    w.OnSkippingFile = [&](TZipWriter&, TSkipReason reason, const std::string& name, int) {
      if (reason == TSkipReason::srFileOpenError && name == file) ++events;
    };
    // One full run first, so that the sanitizer runtime has looked up every type it checks
    // while it can still open files; under the descriptor limit it could not.
    {
      TZipWriter warmUp;
      warmUp.FilesList.Add(file);
      warmUp.SetZipName(archive + ".warm");
      warmUp.BuildArchive();
    }
    w.FilesList.Add(file);
    w.SetZipName(archive);
    const int lowestFree = dup(0);
    close(lowestFree);
    struct rlimit limit = {static_cast<rlim_t>(lowestFree + 1), static_cast<rlim_t>(lowestFree + 1)};
    setrlimit(RLIMIT_NOFILE, &limit);
    int result = -1;
    try {
      result = w.BuildArchive();
    } catch (const Exception&) {
      return 3;
    }
    return result == 0 && events == 1 ? 0 : 4;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(std::filesystem::file_size(archive), 22u);
#endif
}

TEST(ZipWriter, ArchiveThatCannotBeCreated) {
  TempDir dir;
  const std::string file = dir.Write("GTL", "layer");
  const std::string missingFolder = dir / "no/such/folder/a.zip";
  struct Case {
    std::string zipName, message;
  } cases[] = {
      {missingFolder, "Cannot create file \"" + missingFolder + "\". " + Cause(platform::testing::kNoSuchPath)},
      {"", "Cannot create file \"" + platform::ExpandFileName("") + "\". " + Cause(platform::testing::kNoSuchPath)},
      {dir.MakeDir("a-folder.zip"),
       "Cannot create file \"" + dir.Path() + "a-folder.zip\". " + Cause(platform::testing::kIsAFolder)},
  };
  for (const Case& c : cases) {
    TZipWriter w;
    w.FilesList.Add(file);
    w.SetZipName(c.zipName);
    try {
      w.BuildArchive();
      ADD_FAILURE() << c.zipName;
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
  EXPECT_TRUE(std::filesystem::exists(file));
}

// A write that the disk refuses fails the run with "Stream write error" and removes the
// partial archive: in the middle of the data, and in the last flush when it is closed.
TEST(ZipWriter, RefusedWriteFailsTheRunAndRemovesTheArchive) {
#ifdef _WIN32
  GTEST_SKIP() << "needs fork and a file-size limit (setrlimit), which Windows lacks";
#else
  TempDir dir;
  struct Case {
    const char* what;
    size_t fileSize, nameLength;
    rlim_t limit;
  } cases[] = {
      {"in the data", 200000, 3, 50000},
      {"at the header rewrite", 3000, 3, 1000},
      {"in the closing flush", 0, 20, 100},
  };
  for (const Case& c : cases) {
    const std::string file = dir.Write(std::string(c.nameLength, 'n'), RandomBytes(c.fileSize, 7));
    const std::string archive = dir / "out.zip";
    const int code = InChild([&] {
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {c.limit, c.limit};
      setrlimit(RLIMIT_FSIZE, &limit);
      TZipWriter w;
      w.FilesList.Add(file);
      w.SetZipName(archive);
      try {
        w.BuildArchive();
      } catch (const EWriteError& e) {
        return e.Message() == "Stream write error" ? 0 : 2;
      } catch (const Exception&) {
        return 3;
      }
      return 1;
    });
    EXPECT_EQ(code, 0) << c.what;
    EXPECT_FALSE(std::filesystem::exists(archive)) << c.what;
    std::filesystem::remove(file);
  }
#endif
}

// What the records cannot hold is refused, naming the file, before a wrong record is
// written, and the partial archive is removed.
TEST(ZipWriter, RecordLimits) {
  TempDir dir;
  const std::string huge = dir / "huge.bin";
  { platform::FileStream f(huge, platform::FileStream::Mode::Create); f.SetSize(int64_t(1) << 32); }
  const std::string small = dir.Write("small", RandomBytes(600, 11));
  const std::string other = dir.Write("other", RandomBytes(600, 12));
  const std::string third = dir.Write("third", "3");
  struct Case {
    std::vector<std::string> files;
    uint64_t offsetLimit;
    int entryLimit;
    int packLevel;
    std::string message;
  } cases[] = {
      {{small, huge}, 0xFFFFFFFF, 0xFFFF, 6,
       "Cannot add \"" + huge + "\": a file of 4 GiB or more does not fit a zip entry"},
      {{small, other, third}, 0xFFFFFFFF, 2, 6,
       "Cannot add \"" + third + "\": a zip archive holds at most 2 entries"},
      // Stored: refused before its data; deflated: refused once its size is known.
      {{small, other}, 1000, 0xFFFF, 0,
       "Cannot add \"" + other + "\": the archive would pass 4 GiB, the reach of zip offsets"},
      {{small, other}, 1000, 0xFFFF, 6,
       "Cannot add \"" + other + "\": the archive would pass 4 GiB, the reach of zip offsets"},
  };
  for (const Case& c : cases) {
    TestWriter w;
    w.SetPackLevel(c.packLevel);
    w.offsetLimit_ = c.offsetLimit;
    w.entryLimit_ = c.entryLimit;
    for (const std::string& f : c.files) w.FilesList.Add(f);
    w.SetZipName(dir / "out.zip");
    try {
      w.BuildArchive();
      ADD_FAILURE() << c.message;
    } catch (const EZipLimitError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.zip")) << c.message;
  }
}

TEST(ZipWriter, HooksSeeAndSteerTheRun) {
  TempDir dir;
  const std::string gtl = dir.Write("GTL", std::string(600000, 'x'));
  const std::string gbl = dir.Write("GBL", std::string(5000, 'y'));
  const std::string txt = dir.Write("Contect.txt", "sheet");
  {
    // StopNow cancels the run and removes the archive.
    TZipWriter w;
    w.FilesList.Add(gtl);
    int64_t seenTotal = 0;
    w.OnStartZipInfo = [&](TZipWriter&, int numFiles, int64_t total, TEndCentral&, bool& stop) {
      EXPECT_EQ(numFiles, 1);
      seenTotal = total;
      stop = true;
    };
    w.SetZipName(dir / "stopped.zip");
    EXPECT_EQ(ErrorOf(w), "User canceled Zip operation.");
    EXPECT_EQ(seenTotal, 600000);
    EXPECT_FALSE(std::filesystem::exists(dir / "stopped.zip"));
  }
  TZipWriter w;
  w.SetPackLevel(0);  // sizes and reads as in the file
  w.FilesList.Add(gtl);
  w.FilesList.Add(gbl);
  w.FilesList.Add(txt);
  w.Dispose = true;
  std::vector<std::string> started, ended, disposed;
  std::vector<int> filePercents, totalPercents;
  w.OnStartZip = [&](TZipWriter&, const std::string& name, TZipHeaderInfo& header, bool& skip) {
    started.push_back(name);
    skip = name == gbl;
    header.ExternalAttributes = 0x21;  // a handler may change the record
  };
  w.OnEndZip = [&](TZipWriter&, const std::string& name, uint32_t usize, uint32_t csize, int64_t zipSize) {
    ended.push_back(name + ":" + std::to_string(usize) + ":" + std::to_string(csize) + ":" +
                    std::to_string(zipSize));
  };
  w.OnFilePercentDone = [&](TZipWriter&, int p) { filePercents.push_back(p); };
  w.OnTotalPercentDone = [&](TZipWriter&, int p) { totalPercents.push_back(p); };
  w.OnDisposeFile = [&](TZipWriter&, const std::string& name, bool& skip) {
    disposed.push_back(name);
    skip = name == txt;
  };
  w.SetZipName(dir / "hooks.zip");
  EXPECT_EQ(w.BuildArchive(), 2);
  EXPECT_EQ(started, (std::vector<std::string>{gtl, gbl, txt}));
  EXPECT_EQ(ended, (std::vector<std::string>{gtl + ":600000:600000:600033",
                                             txt + ":5:5:600079"}));
  // 600000 bytes in reads of 262144, then 5 bytes. The total starts at 605005 and loses the
  // skipped file's 5000 bytes when it is skipped.
  EXPECT_EQ(filePercents, (std::vector<int>{44, 87, 100, 100}));
  EXPECT_EQ(totalPercents, (std::vector<int>{43, 87, 99, 100}));
  EXPECT_EQ(w.TotalBytes(), 600005);
  EXPECT_EQ(disposed, (std::vector<std::string>{gtl, txt}));
  EXPECT_FALSE(std::filesystem::exists(gtl));
  EXPECT_TRUE(std::filesystem::exists(gbl));
  EXPECT_TRUE(std::filesystem::exists(txt));
  const RawArchive raw = ParseArchive(ziptest::ReadBytes(dir / "hooks.zip"));
  ASSERT_EQ(raw.entries.size(), 2u);
  EXPECT_EQ(ziptest::Get32(raw.entries[0].central, 38), 0x21u);
}

// Window events are processed after each block written while DoProcessMessages is on;
// a zip run started from such an event is refused instead of corrupting the one running.
TEST(ZipWriter, ProcessesWindowEventsWhileWriting) {
  TempDir dir;
  const std::string file = dir.Write("GTL", std::string(800000, 'x'));
  for (bool on : {true, false}) {
    TZipWriter w;
    w.SetPackLevel(0);  // one write per block read
    w.DoProcessMessages = on;
    int calls = 0;
    std::string nested;
    auto saved = platform::Hooks().processEvents;
    platform::Hooks().processEvents = [&] {
      if (calls++ == 0) nested = ErrorOf(w);
    };
    w.FilesList.Add(file);
    w.SetZipName(dir / (on ? "on.zip" : "off.zip"));
    EXPECT_EQ(w.BuildArchive(), 1);
    platform::Hooks().processEvents = saved;
    EXPECT_EQ(calls, on ? 4 : 0);  // 800000 bytes in blocks of 262144
    EXPECT_EQ(nested, on ? "The archive writer is already running a zip run" : "");
    CheckWithClients(dir / (on ? "on.zip" : "off.zip"), {{"GTL", file}});
  }
}

TEST(ZipWriter, SortModeSurvivesTheRun) {
  TempDir dir;
  TZipWriter w;
  w.FilesList.Add(dir.Write("b", "1"));
  w.FilesList.Add(dir.Write("C", "22"));
  w.FilesList.Add(dir.Write("a", "333"));
  const std::pair<TZipSortMode, std::string> cases[] = {
      {TZipSortMode::ByName, "abC"}, {TZipSortMode::ByUnCompressedSize, "aCb"}, {TZipSortMode::ByNone, "bCa"}};
  for (const auto& [mode, expected] : cases) {
    w.SetSortMode(mode);
    std::filesystem::remove(dir / "s.zip");
    w.SetZipName(dir / "s.zip");
    EXPECT_EQ(w.BuildArchive(), 3);
    EXPECT_EQ(w.SortMode(), mode);
    std::string order;
    for (int i = 0; i < w.Count(); ++i) order += w.Entry(i).FileName();
    EXPECT_EQ(order, expected);
  }
}

// Through the Deflate engine: every client reads the entries back, text is compressed, and
// the engine's decisions (method, text flag, level flags) reach the records.
TEST(ZipWriter, DeflatedEntriesOpenInEveryClient) {
  TempDir dir;
  std::string text;
  for (int i = 0; text.size() < 100000; ++i) text += "G01X" + std::to_string(i * 37 % 10000) + "Y250D01*\r\n";
  const std::vector<Source> sources = {
      {"GTL", dir.Write("GTL", text)},
      {"noise.bin", dir.Write("noise.bin", RandomBytes(40000, 9))},
      {"empty", dir.Write("empty", "")},
      {"abc", dir.Write("abc", "abc")},
  };
  const std::pair<int, uint16_t> levels[] = {{1, 4}, {6, 0}, {9, 2}};
  for (const auto& [level, flags] : levels) {
    TZipWriter w;
    w.SetPackLevel(level);
    for (const Source& s : sources) w.FilesList.Add(s.path);
    const std::string archive = dir / ("level" + std::to_string(level) + ".zip");
    w.SetZipName(archive);
    ASSERT_EQ(w.BuildArchive(), 4);
    CheckWithClients(archive, sources);
    const RawArchive raw = ParseArchive(ziptest::ReadBytes(archive));
    const std::string& gtl = raw.entries[0].central;
    EXPECT_EQ(ziptest::Get16(gtl, 10), 8) << level;           // deflated
    EXPECT_EQ(ziptest::Get16(gtl, 8), flags) << level;        // level flags
    EXPECT_EQ(ziptest::Get16(gtl, 36), 1) << level;           // judged text
    EXPECT_LT(ziptest::Get32(gtl, 20), text.size() / 3) << level;
    EXPECT_EQ(ziptest::Get16(raw.entries[1].central, 36), 0) << level;  // binary
    EXPECT_EQ(ziptest::Get16(raw.entries[3].central, 10), 0) << level;  // "abc" is stored whole
    EXPECT_EQ(raw.entries[0].local.substr(4, 26), raw.entries[0].central.substr(6, 26));
  }
}

namespace {

// Python's report of an archive: names with their bytes, comments and the archive comment.
const char* kPythonContents = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
for i in z.infolist():
    print(i.filename, z.read(i).decode('latin-1'), i.comment.decode(), i.flag_bits & 8, sep='|')
print('#' + z.comment.decode())
)";

// zipfile's report, after 7z and bsdtar have read the archive too.
std::string Contents(const std::string& archive) {
  const ziptest::CommandResult t = ziptest::Run("7z t " + ziptest::ShellQuote(archive));
  EXPECT_EQ(t.status, 0) << t.output;
  const ziptest::CommandResult x = ziptest::Run("bsdtar -xOf " + ziptest::ShellQuote(archive));
  EXPECT_EQ(x.status, 0) << x.output;
  const ziptest::CommandResult r = ziptest::Python(kPythonContents, ziptest::ShellQuote(archive));
  EXPECT_EQ(r.status, 0) << r.output;
  return r.output;
}

void Touch(const std::string& path, const std::string& bytes, int secondsLater) {
  ziptest::WriteBytes(path, bytes);
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(secondsLater));
}

int KpzFiles(const std::string& folder) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.path().filename().string().rfind("KPZ", 0) == 0) ++n;
  }
  return n;
}

// A writer whose temporary files go to a folder the test watches.
struct UpdateFixture {
  TempDir dir;
  std::string temp = dir.MakeDir("temp");
  std::string archive = dir / "board.zip";
  std::string a = dir.Write("A", "alpha"), b = dir.Write("B", "bravo"), c = dir.Write("C", "charlie");

  void Build(TZipWriter& w, const std::vector<std::string>& files) {
    w.TempPath = temp;
    w.FilesList.Clear();
    for (const std::string& f : files) w.FilesList.Add(f);
    w.SetZipName(archive);
  }
  int First() {
    TZipWriter w;
    Build(w, {a, b, c});
    return w.BuildArchive();
  }
};

}  // namespace

TEST(ZipUpdate, UnchangedFilesKeepTheirEntries) {
  UpdateFixture f;
  ASSERT_EQ(f.First(), 3);
  const std::string before = ziptest::ReadBytes(f.archive);
  for (bool sameWriter : {false, true}) {
    TZipWriter w;
    if (sameWriter) {
      f.Build(w, {f.a, f.b, f.c});
      ASSERT_EQ(w.BuildArchive(), 0);  // the directory comes from the file
    }
    f.Build(w, {f.a, f.b, f.c});
    EXPECT_EQ(w.BuildArchive(), 0);
    EXPECT_EQ(w.FilesList.Count(), 0);  // every matched line is taken off the list
    EXPECT_TRUE(ziptest::ReadBytes(f.archive) == before);
    EXPECT_EQ(KpzFiles(f.temp), 0);
  }
}

// Newer files replace their entries in place, unmatched ones are appended, and the
// actions decide what a match does.
TEST(ZipUpdate, ZipActions) {
  struct Case {
    TZipAction action;
    bool newerB;
    int result;
    std::string contents;
  } cases[] = {
      {TZipAction::zaUpdate, true, 2, "A|alpha||0\nB|BRAVO||0\nC|charlie||0\nD|delta||0\n#\n"},
      {TZipAction::zaUpdate, false, 1, "A|alpha||0\nB|bravo||0\nC|charlie||0\nD|delta||0\n#\n"},
      {TZipAction::zaReplace, false, 3, "A|alpha||0\nB|bravo||0\nC|charlie||0\nD|delta||0\n#\n"},
      {TZipAction::zaFreshen, true, 1, "A|alpha||0\nB|BRAVO||0\nC|charlie||0\n#\n"},
  };
  for (const Case& c : cases) {
    UpdateFixture f;
    ASSERT_EQ(f.First(), 3);
#ifndef _WIN32
    chmod(f.archive.c_str(), 0644);
#endif
    if (c.newerB) Touch(f.b, "BRAVO", 10);
    const std::string d = f.dir.Write("D", "delta");
    TZipWriter w;
    w.ZipAction = c.action;
    // With zaReplace, A is listed too: an identical file is compressed again and counted.
    f.Build(w, c.action == TZipAction::zaReplace ? std::vector<std::string>{f.b, d, f.a}
                                                 : std::vector<std::string>{f.b, d});
    EXPECT_EQ(w.BuildArchive(), c.result) << static_cast<int>(c.action);
    if (ziptest::kHaveArchiveClients) {
      EXPECT_EQ(Contents(f.archive), c.contents) << static_cast<int>(c.action);
    }
    EXPECT_EQ(w.Count(), c.action == TZipAction::zaFreshen ? 3 : 4);
    EXPECT_EQ(KpzFiles(f.temp) + KpzFiles(f.dir.Path()), 0);
#ifndef _WIN32
    struct stat st {};
    stat(f.archive.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);  // the old archive's permissions
#endif
  }
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the contents above were read by zipfile
}

// A matched newer file that the run leaves out does not cost the entry its content.
TEST(ZipUpdate, RefusedReplacementKeepsTheOldEntry) {
  UpdateFixture f;
  ASSERT_EQ(f.First(), 3);
  Touch(f.b, "BRAVO", 10);
  TZipWriter w;
  w.OnStartZip = [&](TZipWriter&, const std::string&, TZipHeaderInfo&, bool& skip) { skip = true; };
  f.Build(w, {f.b});
  EXPECT_EQ(w.BuildArchive(), 0);
  SKIP_WITHOUT_ARCHIVE_CLIENTS();
  EXPECT_EQ(Contents(f.archive), "A|alpha||0\nB|bravo||0\nC|charlie||0\n#\n");
}

// Whatever fails in the middle of an update, the old archive is unchanged byte for byte
// and no temporary file is left.
TEST(ZipUpdate, FailedUpdateLeavesTheOldArchive) {
  UpdateFixture f;
  ASSERT_EQ(f.First(), 3);
  const std::string before = ziptest::ReadBytes(f.archive);
  Touch(f.b, RandomBytes(300000, 21), 10);
  {
    TZipWriter w;
    f.Build(w, {f.b});
    // An error from a handler while the replacing file is compressed.
    w.OnStartZip = [](TZipWriter&, const std::string&, TZipHeaderInfo&, bool&) {
      throw Exception("handler failed");
    };
    EXPECT_EQ(ErrorOf(w), "handler failed");
  }
  EXPECT_TRUE(ziptest::ReadBytes(f.archive) == before);
  EXPECT_EQ(KpzFiles(f.temp), 0);
  {
    // The replacing file compresses beyond the records' reach after its data went out.
    TestWriter w;
    w.offsetLimit_ = 1000;
    f.Build(w, {f.b});
    EXPECT_EQ(ErrorOf(w), "Cannot add \"" + f.b + "\": the archive would pass 4 GiB, the reach of zip offsets");
  }
  EXPECT_TRUE(ziptest::ReadBytes(f.archive) == before);
  EXPECT_EQ(KpzFiles(f.temp), 0);
#ifndef _WIN32
  // Root reads and writes every file, so these runs are made by nobody in a child, with
  // the test's folders and the old archive given the modes that make the point.
  auto asNobody = [&](mode_t archiveMode, mode_t archiveFolderMode, const std::string& expected) {
    chmod(f.archive.c_str(), archiveMode);
    chmod(f.dir.Path().c_str(), archiveFolderMode);
    chmod(f.temp.c_str(), 0777);
    const int code = InChild([&] {
      if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 5;
      TZipWriter w;
      f.Build(w, {f.b});
      const std::string error = ErrorOf(w);
      if (error == expected) return 0;
      fprintf(stderr, "got: %s\n", error.c_str());
      return 1;
    });
    chmod(f.archive.c_str(), 0644);
    chmod(f.dir.Path().c_str(), 0700);
    chmod(f.temp.c_str(), 0700);
    EXPECT_EQ(code, 0) << expected;
    EXPECT_TRUE(ziptest::ReadBytes(f.archive) == before) << expected;
    EXPECT_EQ(KpzFiles(f.temp) + KpzFiles(f.dir.Path()), 0) << expected;
  };
  // An old archive that cannot be read.
  asNobody(0, 0777, "Cannot open file \"" + f.archive + "\". Permission denied");
  // The new archive is complete in the temporary folder, but the archive's own folder
  // takes no file to put it in place with.
  asNobody(0644, 0555, "Cannot create file \"" + f.archive + "\". Permission denied");
  const int code = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {100000, 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
    TZipWriter w;
    f.Build(w, {f.b});
    return ErrorOf(w) == "Stream write error" ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(ziptest::ReadBytes(f.archive) == before);
  EXPECT_EQ(KpzFiles(f.temp), 0);
#endif
  // A damaged old archive is refused before anything is written.
  const std::string damaged = before.substr(0, before.size() - 5);
  ziptest::WriteBytes(f.archive, damaged);
  TZipWriter w;
  f.Build(w, {f.b});
  EXPECT_EQ(ErrorOf(w), "Incomplete Zip File");
  EXPECT_TRUE(ziptest::ReadBytes(f.archive) == damaged);
  EXPECT_EQ(KpzFiles(f.temp), 0);
#ifdef _WIN32
  GTEST_SKIP() << "the unreadable-archive, read-only-folder and full-disk cases need setuid "
                  "and setrlimit in a forked child, which Windows lacks";
#endif
}

// Archives of other tools: comments, extra fields and data descriptors are carried over so
// that every client still reads every entry.
TEST(ZipUpdate, CarriesOverOtherToolsEntries) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile and 7z
  TempDir dir;
  const std::string d = dir.Write("D", "delta");
  const std::string archive = dir / "other.zip";
  struct Case {
    const char* what;
    std::string make;
    std::string contents;
  } cases[] = {
      {"zipfile with comments",
       "python3 -c " + ziptest::ShellQuote(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('X', 'x' * 1000)
    i = zipfile.ZipInfo('Y'); i.comment = b'entry note'
    z.writestr(i, 'yankee')
    z.comment = b'board archive'
)") + " " + ziptest::ShellQuote(archive),
       "X|" + std::string(1000, 'x') + "||0\nY|yankee|entry note|0\nD|delta||0\n#board archive\n"},
      {"zipfile streamed with data descriptors",
       "python3 -c " + ziptest::ShellQuote(R"(
import sys, zipfile
with zipfile.ZipFile(sys.stdout.buffer, 'w', zipfile.ZIP_DEFLATED) as z:
    with z.open('X', 'w') as e: e.write(b'x' * 1000)
    with z.open('Y', 'w') as e: e.write(b'yankee')
)") + " | cat > " + ziptest::ShellQuote(archive),
       "X|" + std::string(1000, 'x') + "||0\nY|yankee||0\nD|delta||0\n#\n"},
      {"7z with extra fields",
       "cd " + ziptest::ShellQuote(dir.MakeDir("src")) + " && printf yankee > Y && printf xx > X && 7z a -tzip " +
           ziptest::ShellQuote(archive) + " Y X",
       "X|xx||0\nY|yankee||0\nD|delta||0\n#\n"},  // 7z adds them by name
  };
  for (const Case& c : cases) {
    std::filesystem::remove(archive);
    const ziptest::CommandResult made = ziptest::Run(c.make);
    ASSERT_EQ(made.status, 0) << made.output;
    TZipWriter w;
    w.TempPath = dir.Path();
    w.FilesList.Add(d);
    w.SetZipName(archive);
    EXPECT_EQ(w.BuildArchive(), 1) << c.what;
    EXPECT_EQ(Contents(archive), c.contents) << c.what;
    EXPECT_EQ(KpzFiles(dir.Path()), 0) << c.what;
    // Again with the directory held from the run: the carried-over entries and the
    // archive comment survive a second copy.
    Touch(d, "DELTA", 10);
    w.FilesList.Add(d);
    EXPECT_EQ(w.BuildArchive(), 1) << c.what;
    std::string again = c.contents;
    again.replace(again.find("D|delta"), 7, "D|DELTA");
    EXPECT_EQ(Contents(archive), again) << c.what;
    EXPECT_EQ(KpzFiles(dir.Path()), 0) << c.what;
    ziptest::WriteBytes(d, "delta");
  }
}

// A streamed entry of a damaged archive, known only from its local header, has its sizes
// in a descriptor the scan cannot place: the update is refused rather than writing the
// entry empty, and the old archive stays as it was.
TEST(ZipUpdate, StreamedEntryWithoutItsSizesIsNotCarriedOverEmpty) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the streamed archive is made by zipfile
  TempDir dir;
  const std::string archive = dir / "streamed.zip";
  const ziptest::CommandResult made = ziptest::Run("python3 -c " + ziptest::ShellQuote(R"(
import sys, zipfile
with zipfile.ZipFile(sys.stdout.buffer, 'w', zipfile.ZIP_DEFLATED) as z:
    with z.open('X', 'w') as e: e.write(b'x' * 1000)
)") + " | cat > " + ziptest::ShellQuote(archive));
  ASSERT_EQ(made.status, 0) << made.output;
  std::string bytes = ziptest::ReadBytes(archive);
  ziptest::Put32(bytes, bytes.size() - 22 + 16, 7);  // the directory "starts" in the data
  ziptest::WriteBytes(archive, bytes);
  TZipWriter w;
  w.TempPath = dir.MakeDir("temp");
  w.FilesList.Add(dir.Write("D", "delta"));
  w.SetZipName(archive);
  EXPECT_EQ(ErrorOf(w), "Not a valid zip file!");
  EXPECT_TRUE(ziptest::ReadBytes(archive) == bytes);
  EXPECT_EQ(KpzFiles(w.TempPath) + KpzFiles(dir.Path()), 0);
}
