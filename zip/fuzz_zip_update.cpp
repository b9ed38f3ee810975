// Updates an arbitrary existing archive with a small list of files (some matching its
// entries, some newer, some not), in both incomplete-archive modes and with update or
// replace. A refusal must leave the old archive byte for byte and nothing behind; a
// success must read back with every entry that no listed file replaced carrying the same
// name bytes, CRC, sizes and data bytes. Anything else, a crash, a sanitizer report, a hang
// or a leak, is a fault.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/TempFiles.h"
#include "zip/ZipWriter.h"

namespace {

// Reports a broken promise and stops, so libFuzzer keeps the input.
void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_zip_update: %s\n", what);
  std::abort();
}

// One scratch folder for the whole run (in memory when the system has one), removed at exit.
const std::string& Scratch() {
  static const std::string* folder = [] {
    const std::string base = platform::DirectoryExists("/dev/shm") ? "/dev/shm/" : platform::TempDirectory();
    std::string tmpl = base + "fuzzupdate-XXXXXX";
    auto* path = new std::string(mkdtemp(tmpl.data()) ? tmpl + "/" : std::string());
    std::atexit([] { std::filesystem::remove_all(Scratch()); });
    return path;
  }();
  return *folder;
}

// An entry as the old archive holds it: what a kept copy must repeat.
struct Kept {
  std::string name;       // the archive's name bytes
  std::string lowerName;  // for matching listed files
  uint32_t crc, compressed, uncompressed;
  std::string data;       // the entry's data bytes
};

std::string Lower(std::string s) {
  for (char& c : s) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The data bytes of entry in the archive bytes, or nothing when they lie outside.
bool DataOf(const std::string& bytes, const TZipHeaderInfo& entry, std::string& data) {
  const uint64_t at = entry.LocalHeaderOffset;
  if (at + 30 > bytes.size()) return false;
  const auto byte = [&](uint64_t i) { return static_cast<uint64_t>(static_cast<uint8_t>(bytes[i])); };
  const uint64_t start = at + 30 + (byte(at + 26) | byte(at + 27) << 8) + (byte(at + 28) | byte(at + 29) << 8);
  if (start + entry.CompressedSize > bytes.size()) return false;
  data = bytes.substr(start, entry.CompressedSize);
  return true;
}

// The old archive's directory as the update reads it; false when it cannot be read.
bool ReadOld(const std::string& archive, const std::string& bytes, TIncompleteZipMode mode,
             std::vector<Kept>& entries) {
  TZipReader reader;
  reader.IncompleteZipMode = mode;
  reader.DoProcessMessages = false;
  try {
    reader.SetZipName(archive);
    reader.OpenArchive();
    for (int i = 0; i < reader.Count(); ++i) {
      const TZipHeaderInfo& e = reader.Entry(i);
      Kept k{e.ArchiveNameBytes(), Lower(e.StoredName()), e.Crc32, e.CompressedSize,
             e.UncompressedSize, std::string()};
      // Entries whose data the scan cannot place are refused by the update: not compared.
      if (DataOf(bytes, e, k.data)) entries.push_back(k);
    }
  } catch (const Exception&) {
    return false;
  }
  return true;
}

void CheckKept(const std::string& archive, const std::vector<Kept>& old,
               const std::vector<std::string>& listed) {
  const std::string bytes = platform::ReadWholeFile(archive);
  TZipReader reader;
  reader.DoProcessMessages = false;
  reader.SetZipName(archive);
  try {
    reader.OpenArchive();
  } catch (const Exception&) {
    Require(false, "the updated archive cannot be read back");
  }
  for (const Kept& k : old) {
    bool replaced = false;
    for (const std::string& name : listed) replaced |= Lower(name) == k.lowerName;
    if (replaced) continue;
    bool found = false;
    for (int i = 0; i < reader.Count() && !found; ++i) {
      const TZipHeaderInfo& e = reader.Entry(i);
      if (e.ArchiveNameBytes() != k.name) continue;
      found = true;
      std::string data;
      Require(e.Crc32 == k.crc && e.CompressedSize == k.compressed &&
                  e.UncompressedSize == k.uncompressed,
              "a kept entry's CRC or sizes changed");
      Require(DataOf(bytes, e, data) && data == k.data, "a kept entry's data changed");
    }
    Require(found, "a kept entry was lost");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = Scratch();
  if (dir.empty()) return 0;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir + "temp");
  FuzzedDataProvider input(data, size);
  static const char* const kNames[] = {"A", "b", "GTL", "Contect.txt", "\xE4\xB8\xAD.txt"};
  const bool assumeBad = input.ConsumeBool();
  const bool replace = input.ConsumeBool();
  std::vector<std::string> listed;
  const int files = input.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < files; ++i) {
    const std::string name = kNames[input.ConsumeIntegralInRange<size_t>(0, 4)];
    const std::string path = dir + name;
    platform::WriteWholeFile(path, input.ConsumeRandomLengthString(300));
    // Newer or older than entries of any time.
    const std::filesystem::file_time_type when =
        input.ConsumeBool() ? std::filesystem::file_time_type::clock::now() + std::chrono::hours(24 * 365 * 100)
                            : std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 60);
    std::error_code ec;
    std::filesystem::last_write_time(path, when, ec);
    listed.push_back(name);
  }
  const std::string archive = dir + "a.zip";
  const std::string before = input.ConsumeRemainingBytesAsString();
  platform::WriteWholeFile(archive, before);
  const TIncompleteZipMode mode =
      assumeBad ? TIncompleteZipMode::izAssumeBad : TIncompleteZipMode::izAssumeMulti;
  std::vector<Kept> old;
  const bool readable = ReadOld(archive, before, mode, old);

  TZipWriter writer;
  writer.IncompleteZipMode = mode;
  writer.DoProcessMessages = false;
  writer.ZipAction = replace ? TZipAction::zaReplace : TZipAction::zaUpdate;
  writer.TempPath = dir + "temp";
  for (const std::string& name : listed) writer.FilesList.Add(dir + name);
  writer.SetZipName(archive);
  bool refused = false;
  try {
    writer.BuildArchive();
  } catch (const Exception&) {
    refused = true;
  }
  writer.SetZipName(std::string());
  size_t leftovers = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    leftovers += name.rfind("KPZ", 0) == 0 || name.rfind(".", 0) == 0;
  }
  Require(std::filesystem::is_empty(dir + "temp") && leftovers == 0, "a temporary file was left");
  if (refused) {
    Require(platform::ReadWholeFile(archive) == before, "a refused update changed the archive");
    return 0;
  }
  Require(readable, "an archive that cannot be read was updated");
  CheckKept(archive, old, listed);
  return 0;
}
