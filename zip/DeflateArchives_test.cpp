// Deflated archives as real clients see them: at every level, Python's zipfile and 7z read
// every entry of a varied corpus back to its source bytes, and an entry's compressed bytes
// do not depend on what the run compressed before it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deflate/testing/Corpus.h"
#include "platform/testing/TempDir.h"
#include "zip/ZipTestTools.h"
#include "zip/ZipWriter.h"

using platform::testing::TempDir;

namespace {

struct CorpusFile {
  std::string name, path;
  int method;  // the compression method the entry must get
};

// Gerber-like text and structured binary in alternating 256 KiB pieces, 2 MiB: the window
// slides 64 times, and the text/binary mix changes from block to block.
std::string MixedBoardData() {
  std::string s;
  for (uint32_t i = 0; i < 8; ++i) {
    s += i % 2 == 0 ? deflate_testing::GerberText(262144, 100 + i)
                    : deflate_testing::BinaryMix(262144, 100 + i);
  }
  return s;
}

// Writes the corpus into the folder. An entry that ends up as one block no larger than
// its coded form is stored whole (method 0): the inputs of up to 3 bytes, and the 32768
// random bytes, whose few chance 3-byte repeats keep them within one block of fewer than
// 32767 symbols. Everything else keeps method 8, the 70000 random bytes included.
std::vector<CorpusFile> WriteCorpus(const TempDir& dir) {
  std::vector<std::pair<std::string, std::string>> inputs = deflate_testing::StandardCorpus();
  // Its 1.2 MiB mix makes way for a larger one: the compression time under the sanitizers
  // is most of this test's run.
  std::erase_if(inputs, [](const auto& input) { return input.first == "mixed 1.2 MiB"; });
  inputs.emplace_back("mixed board 2 MiB", MixedBoardData());
  std::vector<CorpusFile> files;
  for (auto& [label, bytes] : inputs) {
    std::string name = label;
    for (char& c : name) {
      if (c == ' ') c = '_';
    }
    const int method = bytes.size() <= 3 || name == "random_32768" ? 0 : 8;
    files.push_back({name, dir.Write("src/" + name, bytes), method});
  }
  return files;
}

std::string BuildArchive(const std::string& archive, int level, const std::vector<std::string>& paths) {
  TZipWriter w;
  w.SetPackLevel(level);
  for (const std::string& p : paths) w.FilesList.Add(p);
  w.SetZipName(archive);
  EXPECT_EQ(w.BuildArchive(), static_cast<int>(paths.size()));
  return archive;
}

// zipfile: testzip() finds no fault, and each entry has its source's bytes and the method
// expected. Arguments: the archive, then name=method=source for every entry.
const char* kZipfileCheck = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
bad = z.testzip()
if bad is not None:
    print('testzip fails at', bad); sys.exit(1)
for arg in sys.argv[2:]:
    name, method, source = arg.split('=', 2)
    info = z.getinfo(name)
    if info.compress_type != int(method):
        print(name, 'has method', info.compress_type); sys.exit(2)
    if z.read(name) != open(source, 'rb').read():
        print(name, 'differs from its source'); sys.exit(3)
print('OK')
)";

// The compressed data of every entry, by stored name, read from the local headers.
std::vector<std::pair<std::string, std::string>> EntryData(const std::string& bytes) {
  using ziptest::Get16;
  using ziptest::Get32;
  std::vector<std::pair<std::string, std::string>> out;
  const size_t end = bytes.size() - 22;
  EXPECT_EQ(Get32(bytes, end), 0x06054B50u);
  size_t at = Get32(bytes, end + 16);
  for (int i = 0; i < Get16(bytes, end + 10); ++i) {
    EXPECT_EQ(Get32(bytes, at), 0x02014B50u);
    const size_t local = Get32(bytes, at + 42);
    const uint32_t size = Get32(bytes, at + 20);
    EXPECT_EQ(Get32(bytes, local), 0x04034B50u);
    const size_t data = local + 30 + Get16(bytes, local + 26) + Get16(bytes, local + 28);
    out.emplace_back(bytes.substr(local + 30, Get16(bytes, local + 26)), bytes.substr(data, size));
    at += 46 + Get16(bytes, at + 28) + Get16(bytes, at + 30) + Get16(bytes, at + 32);
  }
  return out;
}

}  // namespace

TEST(DeflateArchives, EveryClientInflatesEveryEntryAtEveryLevel) {
  SKIP_WITHOUT_ARCHIVE_CLIENTS();
  TempDir dir;
  const std::vector<CorpusFile> corpus = WriteCorpus(dir);
  std::vector<std::string> paths;
  std::string zipfileArgs;
  for (const CorpusFile& f : corpus) {
    paths.push_back(f.path);
    zipfileArgs += " " + ziptest::ShellQuote(f.name + "=" + std::to_string(f.method) + "=" + f.path);
  }
  for (int level = 1; level <= 9; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    const std::string archive = BuildArchive(dir / ("level" + std::to_string(level) + ".zip"), level, paths);
    const std::string quoted = ziptest::ShellQuote(archive);

    const ziptest::CommandResult zipfile = ziptest::Python(kZipfileCheck, quoted + zipfileArgs);
    EXPECT_EQ(zipfile.status, 0) << zipfile.output;

    const ziptest::CommandResult test = ziptest::Run("7z t " + quoted);
    EXPECT_EQ(test.status, 0) << test.output;
    EXPECT_NE(test.output.find("Everything is Ok"), std::string::npos) << test.output;

    const std::string out = dir.MakeDir("x" + std::to_string(level)) + "/";
    const ziptest::CommandResult extract = ziptest::Run("7z x -y -o" + ziptest::ShellQuote(out) + " " + quoted);
    ASSERT_EQ(extract.status, 0) << extract.output;
    for (const CorpusFile& f : corpus) {
      // EXPECT_TRUE: a failing EXPECT_EQ would print megabytes.
      EXPECT_TRUE(ziptest::ReadBytes(out + f.name) == ziptest::ReadBytes(f.path)) << f.name;
    }
  }
}

// The work buffers keep bytes of earlier entries; none of them may reach an entry's output.
// Archive A holds X4..X1; archive B holds a large file, then X1..X4: every file follows a
// different predecessor (or none) in the two archives. X4, the first entry of A, ends in
// "XYZW", which occurs twice before: the near copy followed by "qq", the far one by zeros.
// The match search compares past the end of the input, so whatever lies behind the input
// in the window picks the copy; only a window cleared after every entry gives the same
// choice as first entry and after the large file.
TEST(DeflateArchives, EntryBytesDoNotDependOnEarlierEntries) {
  TempDir dir;
  const std::string big = dir.Write("big", deflate_testing::RandomBytes(150000, 61) +
                                               deflate_testing::GerberText(200000, 62));
  const std::vector<std::string> xs = {
      dir.Write("X1", deflate_testing::Text(5000, 63)),
      dir.Write("X2", deflate_testing::EarlyEndData(90000, 64)),
      dir.Write("X3", deflate_testing::GerberText(70000, 65) + std::string(3000, '0')),
      // Not at offset 0: a candidate there counts as none.
      dir.Write("X4", deflate_testing::Text(500, 68) + "XYZW" + std::string(12, '\0') +
                          deflate_testing::Text(2000, 66) + "XYZWqq" + deflate_testing::Text(2000, 67) + "XYZW"),
  };
  for (int level = 1; level <= 9; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    const std::string l = std::to_string(level);
    auto first = EntryData(
        ziptest::ReadBytes(BuildArchive(dir / ("A" + l + ".zip"), level, {xs[3], xs[2], xs[1], xs[0]})));
    auto later = EntryData(
        ziptest::ReadBytes(BuildArchive(dir / ("B" + l + ".zip"), level, {big, xs[0], xs[1], xs[2], xs[3]})));
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(later.size(), 5u);
    for (size_t i = 0; i < 4; ++i) {
      const auto& a = first[i];
      const auto& b = later[4 - i];
      ASSERT_EQ(a.first, b.first);
      EXPECT_GT(a.second.size(), 0u);
      EXPECT_TRUE(a.second == b.second) << a.first << ": " << a.second.size() << " vs " << b.second.size() << " bytes";
    }
  }
}
