#include "zip/ZipReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "platform/UiHooks.h"
#include "platform/testing/TempDir.h"
#include "zip/ZipTestTools.h"

using platform::testing::TempDir;

namespace {

// Writes an archive with Python's zipfile: argv[1] the archive, argv[2] the archive
// comment, argv[3] "reverse" to list the central directory against the offset order.
const char* kPythonMake = R"(
import sys, zipfile
out, comment, order = sys.argv[1], sys.argv[2].encode('latin-1'), sys.argv[3]
with zipfile.ZipFile(out, 'w') as z:
    def add(name, data, method, note=b''):
        i = zipfile.ZipInfo(name, date_time=(2023, 5, 17, 13, 45, 22))
        i.compress_type = method
        i.comment = note
        z.writestr(i, data)
    add('GTL', b'top layer ' * 300, zipfile.ZIP_DEFLATED)
    add('sub/GBL', b'bottom', zipfile.ZIP_STORED, b'entry note')
    add('Contect.txt', b'', zipfile.ZIP_STORED)
    add('\u4e2d\u6587.txt', b'x' * 50, zipfile.ZIP_DEFLATED)
    z.comment = comment
    if order == 'reverse':
        z.filelist.reverse()
)";

// What Python's zipfile reports of an archive, entries in offset order.
const char* kPythonList = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in sorted(z.infolist(), key=lambda i: i.header_offset):
        d = i.date_time
        dos = ((d[0]-1980)<<25)|(d[1]<<21)|(d[2]<<16)|(d[3]<<11)|(d[4]<<5)|(d[5]//2)
        print('%s|%08x|%d|%d|%d|%d|%d|%s' % (i.filename.encode('utf-8').hex(), i.CRC,
              i.compress_size, i.file_size, i.compress_type, i.header_offset, dos,
              i.comment.hex()))
    print('#' + z.comment.hex())
)";

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// The same report from our reader.
std::string OurListing(TZipReader& reader) {
  std::ostringstream out;
  char crc[9];
  for (int i = 0; i < reader.Count(); ++i) {
    const TZipHeaderInfo& e = reader.Entry(i);
    snprintf(crc, sizeof crc, "%08x", e.Crc32);
    out << Hex(e.StoredName()) << '|' << crc << '|' << e.CompressedSize << '|'
        << e.UncompressedSize << '|' << e.CompressionMethod << '|' << e.LocalHeaderOffset << '|'
        << e.DosDateTime << '|' << Hex(reader.GetFileComment(i)) << '\n';
  }
  out << '#' << Hex(reader.GetZipComment()) << '\n';
  return out.str();
}

std::string MakePythonArchive(const TempDir& dir, const std::string& name,
                              const std::string& comment = "", const std::string& order = "") {
  const std::string path = dir / name;
  const ziptest::CommandResult r = ziptest::Python(
      kPythonMake, ziptest::ShellQuote(path) + " " + ziptest::ShellQuote(comment) + " " +
                       ziptest::ShellQuote(order.empty() ? "keep" : order));
  EXPECT_EQ(r.status, 0) << r.output;
  return path;
}

std::string PythonListing(const std::string& path) {
  const ziptest::CommandResult r = ziptest::Python(kPythonList, ziptest::ShellQuote(path));
  EXPECT_EQ(r.status, 0) << r.output;
  return r.output;
}

// Offsets of the records of a clean archive (no comment): the end record is the last 22
// bytes and the central directory starts where it says.
struct Layout {
  size_t end, central;
};
Layout LayoutOf(const std::string& bytes) {
  const size_t end = bytes.rfind(std::string("PK\x05\x06", 4));
  return {end, ziptest::Get32(bytes, end + 16)};
}

struct ReadOutcome {
  std::string error;  // message of the exception, empty when the directory was read
  int count = -1;
  bool zipNameEmpty = false;
};

ReadOutcome Open(const std::string& path, TIncompleteZipMode mode = TIncompleteZipMode::izAssumeMulti) {
  TZipReader reader;
  reader.IncompleteZipMode = mode;
  reader.SetZipName(path);
  ReadOutcome out;
  try {
    reader.OpenArchive();
    out.count = reader.Count();
  } catch (const Exception& e) {
    out.error = e.Message();
  }
  out.zipNameEmpty = reader.ZipName().empty();
  return out;
}

}  // namespace

// Archives of Python's zipfile, stored and deflated, with and without comments, with the
// central directory in and against offset order: our entry list is what zipfile reports.
TEST(ZipReader, ReadsPythonArchivesAsZipfileReportsThem) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  struct Case {
    std::string comment, order;
  } cases[] = {{"", ""}, {"board files", "reverse"}, {std::string(100, 'c'), ""}};
  for (const Case& c : cases) {
    const std::string path = MakePythonArchive(dir, "p.zip", c.comment, c.order);
    TZipReader reader;
    reader.SetZipName(path);
    reader.OpenArchive();
    EXPECT_EQ(reader.Count(), 4);
    EXPECT_FALSE(reader.BuiltByScan());
    EXPECT_EQ(reader.NumberOfDisks(), 1);
    EXPECT_EQ(OurListing(reader), PythonListing(path)) << c.order;
    const uint32_t fileSize = static_cast<uint32_t>(std::filesystem::file_size(path));
    EXPECT_EQ(reader.EndCentral().CommentOffset, fileSize - c.comment.size());
    EXPECT_EQ(reader.Entry(1).Directory(), "sub/");
    EXPECT_EQ(reader.Entry(1).FileName(), "GBL");
  }
}

TEST(ZipReader, ReadsSevenZipArchivesAs7zReportsThem) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  dir.Write("src/GTL", std::string(5000, 'g'));
  dir.Write("src/sub/GBL", "bottom layer");
  dir.Write("src/Contect.txt", "");
  const std::string archive = dir / "s.zip";
  ziptest::CommandResult made =
      ziptest::Run("cd " + ziptest::ShellQuote(dir / "src") + " && 7z a -tzip " +
                   ziptest::ShellQuote(archive) + " GTL sub Contect.txt");
  ASSERT_EQ(made.status, 0) << made.output;
  // 7z's technical listing: one block of "Key = value" lines per entry.
  const ziptest::CommandResult listed = ziptest::Run("7z l -slt " + ziptest::ShellQuote(archive));
  ASSERT_EQ(listed.status, 0) << listed.output;
  std::string report;
  std::istringstream lines(listed.output.substr(listed.output.find("----------")));
  std::string line, path, size, packed, crc;
  while (std::getline(lines, line)) {
    auto value = [&](const char* key) { return line.substr(std::string(key).size()); };
    if (line.rfind("Path = ", 0) == 0) path = value("Path = ");
    if (line.rfind("Size = ", 0) == 0) size = value("Size = ");
    if (line.rfind("Packed Size = ", 0) == 0) packed = value("Packed Size = ");
    if (line.rfind("CRC = ", 0) == 0) crc = value("CRC = ");
    if (line.rfind("Offset = ", 0) == 0) {
      report += path + "|" + size + "|" + packed + "|" + crc + "|" + value("Offset = ") + "\n";
    }
  }
  TZipReader reader;
  reader.SetZipName(archive);
  reader.OpenArchive();
  std::string ours;
  char crcText[9];
  for (int i = 0; i < reader.Count(); ++i) {
    const TZipHeaderInfo& e = reader.Entry(i);
    std::string name = e.StoredName();
    if (!name.empty() && name.back() == '/') name.pop_back();  // 7z shows folders bare
    snprintf(crcText, sizeof crcText, "%08X", e.Crc32);
    ours += name + "|" + std::to_string(e.UncompressedSize) + "|" +
            std::to_string(e.CompressedSize) + "|" + (e.FileName().empty() ? "" : crcText) + "|" +
            std::to_string(e.LocalHeaderOffset) + "\n";
    // 7z adds an extra field (NTFS times); it is kept with the central record.
    EXPECT_EQ(e.CentralExtraField().size(), e.ExtraFieldLength);
    EXPECT_GT(e.ExtraFieldLength, 0);
  }
  EXPECT_EQ(reader.Count(), 4);
  EXPECT_EQ(ours, report);
}

TEST(ZipReader, EmptyArchiveHasNoEntries) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  const std::string path = dir / "empty.zip";
  ASSERT_EQ(ziptest::Python("import zipfile,sys; zipfile.ZipFile(sys.argv[1], 'w').close()",
                            ziptest::ShellQuote(path)).status, 0);
  ASSERT_EQ(std::filesystem::file_size(path), 22u);
  TZipReader reader;
  reader.SetZipName(path);
  reader.OpenArchive();
  EXPECT_TRUE(reader.HasDirectory());
  EXPECT_EQ(reader.Count(), 0);
}

// Damaged archives give the entry list or the exact error; after "Incomplete Zip File" and
// "Not a valid zip file!" nothing is held and ZipName is empty.
TEST(ZipReader, DamagedArchives) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  const std::string good = ziptest::ReadBytes(MakePythonArchive(dir, "good.zip"));
  const Layout at = LayoutOf(good);
  const size_t secondCentral = at.central + 46 + ziptest::Get16(good, at.central + 28) +
                               ziptest::Get16(good, at.central + 30) +
                               ziptest::Get16(good, at.central + 32);
  auto patch16 = [&](size_t where, uint16_t v) {
    std::string b = good;
    ziptest::Put16(b, where, v);
    return b;
  };
  auto patchCounts = [&](uint16_t v) {
    std::string b = good;
    ziptest::Put16(b, at.end + 8, v);
    ziptest::Put16(b, at.end + 10, v);
    return b;
  };
  auto patch32 = [&](size_t where, uint32_t v) {
    std::string b = good;
    ziptest::Put32(b, where, v);
    return b;
  };
  const std::string kIncomplete = "Incomplete Zip File", kBad = "Not a valid zip file!";
  struct Case {
    const char* what;
    std::string bytes;
    TIncompleteZipMode mode;
    std::string error;
    int count;
    bool nameEmpty;
  } cases[] = {
      {"21 bytes", good.substr(good.size() - 21), TIncompleteZipMode::izAssumeMulti, kIncomplete, -1, true},
      {"text", "GTL GBL and no signature\r\n", TIncompleteZipMode::izAssumeMulti, kIncomplete, -1, true},
      {"text, assume bad", "GTL GBL\r\n", TIncompleteZipMode::izAssumeBad, kBad, -1, true},
      {"truncated", good.substr(0, good.size() - 10), TIncompleteZipMode::izAssumeMulti, kIncomplete, -1, true},
      {"truncated, assume bad", good.substr(0, good.size() - 10), TIncompleteZipMode::izAssumeBad, "", 4, false},
      // The first entry's data run past the end, so no entry can be read.
      {"cut in the data, assume bad", good.substr(0, 40), TIncompleteZipMode::izAssumeBad, kBad, -1, true},
      {"central signature wrong", patch32(at.central, 0x02014B51), TIncompleteZipMode::izAssumeMulti, "", 4, false},
      {"central offset past the end", patch32(at.end + 16, 0xFFFFFFF0), TIncompleteZipMode::izAssumeMulti, "", 4, false},
      {"directory ends early", patchCounts(5), TIncompleteZipMode::izAssumeMulti, kBad, -1, true},
      {"count far beyond the file", patchCounts(0xFFFF), TIncompleteZipMode::izAssumeMulti, kBad, -1, true},
      {"unreadable second record", patch32(secondCentral, 0x12345678), TIncompleteZipMode::izAssumeMulti, kBad, -1, true},
      {"local offset inside the directory", patch32(at.central + 42, at.central), TIncompleteZipMode::izAssumeMulti, kBad, -1, true},
      {"two records, one offset", patch32(secondCentral + 42, 0), TIncompleteZipMode::izAssumeMulti, "Duplicate Object index", -1, false},
      {"counts differ", patch16(at.end + 8, 3), TIncompleteZipMode::izAssumeMulti,
       "Zip file is part of a multi-volume set; only single-file archives can be read", -1, true},
      {"second volume", patch16(at.end + 4, 1), TIncompleteZipMode::izAssumeMulti,
       "Zip file is part of a multi-volume set; only single-file archives can be read", -1, true},
  };
  for (const Case& c : cases) {
    ziptest::WriteBytes(dir / "bad.zip", c.bytes);
    const ReadOutcome got = Open(dir / "bad.zip", c.mode);
    EXPECT_EQ(got.error, c.error) << c.what;
    EXPECT_EQ(got.count, c.count) << c.what;
    EXPECT_EQ(got.zipNameEmpty, c.nameEmpty) << c.what;
  }
}

// When the central directory cannot be found where the end record says, the local headers
// are scanned and the central records that remain after them complete the entries.
TEST(ZipReader, ScanKeepsEntriesAndTakesWhatTheCentralRecordsAdd) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  const std::string path = MakePythonArchive(dir, "p.zip", "note", "reverse");
  std::string bytes = ziptest::ReadBytes(path);
  const std::string expected = PythonListing(path);
  const size_t end = bytes.rfind(std::string("PK\x05\x06", 4));
  ziptest::Put32(bytes, end + 16, 7);  // the central directory "starts" inside the first entry
  // One central record names no entry: it is dropped, and no scanned entry is blanked.
  const size_t central = bytes.find(std::string("PK\x01\x02", 4));
  ziptest::Put32(bytes, central + 42, 12345);
  ziptest::WriteBytes(path, bytes);
  TZipReader reader;
  reader.SetZipName(path);
  reader.OpenArchive();
  EXPECT_TRUE(reader.BuiltByScan());
  ASSERT_EQ(reader.Count(), 4);
  int completed = 0;
  for (int i = 0; i < reader.Count(); ++i) {
    if (reader.Entry(i).VersionMadeBy != 0) ++completed;  // taken from a central record
  }
  EXPECT_EQ(completed, 3);
  EXPECT_EQ(reader.Entry(1).StoredName(), "sub/GBL");
  EXPECT_EQ(reader.GetFileComment(1), "entry note");
  // The listing is zipfile's except for the entry whose central record went astray (the
  // last in the reversed directory is the first entry): it has no comment and no central
  // data, but its local header gives the same name, sizes and CRC.
  EXPECT_EQ(OurListing(reader).substr(0, OurListing(reader).find('#')),
            expected.substr(0, expected.find('#')));
}

TEST(ZipReader, CommentHoldingTheEndSignatureDoesNotHideTheRecord) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  const std::string comment = std::string("fake PK\x05\x06", 9) + std::string(30, 'z');
  const std::string path = MakePythonArchive(dir, "c.zip", comment);
  TZipReader reader;
  reader.SetZipName(path);
  reader.OpenArchive();
  EXPECT_EQ(reader.Count(), 4);
  EXPECT_EQ(reader.GetZipComment(), comment);
}

TEST(ZipReader, ZipNameRecordsTheNameAndForgetsTheOldDirectory) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  const std::string path = MakePythonArchive(dir, "Board.zip");
  TZipReader reader;
  reader.SetZipName(path);
  reader.OpenArchive();
  reader.CloseArchive();
  EXPECT_FALSE(reader.IsArchiveOpen());
  reader.SetZipName(path);  // the same name: everything stays
  EXPECT_TRUE(reader.HasDirectory());
  EXPECT_EQ(reader.Count(), 4);
  // Another letter case names another file on Linux: the held directory is dropped.
  const std::string otherCase = dir / "board.zip";
  reader.SetZipName(otherCase);
  EXPECT_EQ(reader.ZipName(), otherCase);
  EXPECT_FALSE(reader.HasDirectory());
  EXPECT_EQ(reader.Count(), 0);
  EXPECT_EQ(reader.ArchiveTime(), 0);
  EXPECT_FALSE(std::filesystem::exists(otherCase));  // setting a name touches no file
}

TEST(ZipReader, QuestionMarkLetsTheUserPickTheArchive) {
  TempDir dir;
  struct Call {
    std::string title, filter, folder;
  };
  std::vector<Call> calls;
  std::optional<std::string> answer = dir / "picked.zip";
  auto saved = platform::Hooks().openFileDialog;
  platform::Hooks().openFileDialog = [&](const std::string& t, const std::string& f,
                                         const std::string& folder) {
    calls.push_back({t, f, folder});
    return answer;
  };
  TZipReader reader;
  reader.SetZipName(dir / "?");
  EXPECT_EQ(reader.ZipName(), dir / "picked.zip");
  reader.SetZipName(dir / "missing/x.zip?");
  answer.reset();
  try {
    reader.SetZipName(dir / "other?");
    ADD_FAILURE();
  } catch (const EUserCanceled& e) {
    EXPECT_EQ(e.Message(), "User canceled setting zip file name.");
  }
  platform::Hooks().openFileDialog = saved;
  EXPECT_EQ(reader.ZipName(), dir / "picked.zip");  // unchanged by the cancel
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].title, "Open a Zip File");
  EXPECT_EQ(calls[0].filter,
            "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*");
  EXPECT_EQ(calls[0].folder, dir.Path());
  EXPECT_EQ(calls[1].folder, platform::testing::SystemPath("/"));  // the named folder does not exist
}

TEST(ZipReader, OpenArchiveRereadsOnlyAChangedFile) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  const std::string path = MakePythonArchive(dir, "a.zip");
  TZipReader reader;
  reader.SetZipName(path);
  reader.OpenArchive();
  ASSERT_EQ(reader.Count(), 4);
  const auto stamp = std::filesystem::last_write_time(path);
  // Other bytes under the same modification time: the held directory is kept.
  ASSERT_EQ(ziptest::Python("import zipfile,sys; zipfile.ZipFile(sys.argv[1], 'w').close()",
                            ziptest::ShellQuote(path)).status, 0);
  std::filesystem::last_write_time(path, stamp);
  reader.OpenArchive();
  EXPECT_EQ(reader.Count(), 4);
  std::filesystem::last_write_time(path, stamp + std::chrono::seconds(10));
  reader.OpenArchive();
  EXPECT_EQ(reader.Count(), 0);
}

TEST(ZipReader, EntryAccessChecksTheIndexAndTheDate) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  const std::string path = MakePythonArchive(dir, "d.zip");
  std::string bytes = ziptest::ReadBytes(path);
  const size_t central = LayoutOf(bytes).central;
  ziptest::Put16(bytes, central + 14, static_cast<uint16_t>((43 << 9) | (2 << 5) | 30));  // 2023-02-30
  ziptest::WriteBytes(path, bytes);
  TZipReader reader;
  reader.SetZipName(path);
  reader.OpenArchive();
  const double now = platform::NowValue();
  EXPECT_LT(std::fabs(reader.EntryDateTime(0) - now), 10.0 / 86400);
  platform::DateTimeValue expected;
  ASSERT_TRUE(platform::TryEncodeDateTime({2023, 5, 17, 13, 45, 22}, expected));
  EXPECT_DOUBLE_EQ(reader.EntryDateTime(1), expected);
  for (int bad : {-1, 4}) {
    try {
      reader.GetFileComment(bad);
      ADD_FAILURE();
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "Index " + std::to_string(bad) + " is out of range");
    }
    EXPECT_THROW(reader.EntryDateTime(bad), EListError);
    EXPECT_THROW(reader.SetFileComment(bad, "x"), EListError);
  }
}

TEST(ZipReader, SortModeBuildsAViewOverTheDirectory) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();  // the archives are made by zipfile or 7z
  TempDir dir;
  TZipReader reader;
  reader.SetZipName(MakePythonArchive(dir, "s.zip"));
  reader.OpenArchive();
  auto names = [&] {
    std::vector<std::string> out;
    for (int i = 0; i < reader.Count(); ++i) out.push_back(reader.Entry(i).StoredName());
    return out;
  };
  const std::vector<std::string> archiveOrder = names();
  reader.SetSortMode(TZipSortMode::ByDate);  // all entries have the same time
  EXPECT_EQ(names(), archiveOrder);
  reader.SetSortMode(TZipSortMode::ByName);
  EXPECT_EQ(names(), (std::vector<std::string>{"Contect.txt", "GTL", "sub/GBL", "中文.txt"}));
  reader.SetSortMode(TZipSortMode::ByNone);
  EXPECT_EQ(names(), archiveOrder);
}
