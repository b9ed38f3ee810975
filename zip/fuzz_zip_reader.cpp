// Feeds arbitrary bytes to the archive reader as an archive file: the end record search,
// the central directory, the local header scan with its central merge, and the comments
// read on demand, in both incomplete-archive modes. Any Exception is a proper refusal;
// a crash, a sanitizer report, a hang or a leak is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/TempFiles.h"
#include "zip/ZipReader.h"

namespace {

// One scratch file for the whole run; never freed, so it outlives the exit handler.
const std::string& ArchivePath() {
  static const std::string* path = [] {
    auto* p = new std::string(platform::CreateTempFile(platform::TempDirectory(), "fuzzzip"));
    // libFuzzer ends with exit(): the file goes with the process.
    std::atexit([] { platform::DeleteFile(ArchivePath()); });
    return p;
  }();
  return *path;
}

void ReadAll(const std::string& path, TIncompleteZipMode mode) {
  TZipReader reader;
  reader.IncompleteZipMode = mode;
  reader.DoProcessMessages = false;
  try {
    reader.SetZipName(path);
    reader.OpenArchive();
    for (int i = 0; i < reader.Count(); ++i) {
      reader.GetFileComment(i);
      reader.EntryDateTime(i);
    }
    reader.GetZipComment();
    reader.SetSortMode(TZipSortMode::ByRate);
    reader.SetSortMode(TZipSortMode::ByName);
    for (int i = 0; i < reader.Count(); ++i) reader.Entry(i).StoredName();
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = ArchivePath();
  if (path.empty()) return 0;
  platform::WriteWholeFile(path, std::string(reinterpret_cast<const char*>(data), size));
  ReadAll(path, TIncompleteZipMode::izAssumeMulti);
  ReadAll(path, TIncompleteZipMode::izAssumeBad);
  return 0;
}
