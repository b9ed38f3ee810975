// The Windows folder search (FindFirstFileW with the hidden and system attributes, sorted
// as on Linux), existence tests over GetFileAttributesExW, MoveFileExW and DeleteFileW.
#include "platform/FileSystem.h"

#include <memory>

#include "platform/FolderSearch.h"
#include "platform/Paths.h"
#include "platform/win32/WinApi.h"

namespace platform {
namespace {

struct FindCloser {
  void operator()(HANDLE h) const { FindClose(h); }
};

DirEntry EntryOf(const WIN32_FIND_DATAW& found, std::string name) {
  DirEntry e;
  e.name = std::move(name);
  e.isDir = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  e.isHidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  e.isSystem = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
  if (!e.isDir) e.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return e;
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return !path.empty() &&
         GetFileAttributesExW(win32::Widen(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

std::vector<DirEntry> ListFolder(const std::string& folder, std::string_view pattern) {
  std::vector<DirEntry> entries;
  // The system's own pattern rules differ (short names, "*.*"), so every entry is listed
  // and the program's wildcard rule decides.
  const std::wstring all = win32::Widen(IncludeTrailingDelimiter(folder) + "*");
  WIN32_FIND_DATAW found{};
  HANDLE first = FindFirstFileW(all.c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return entries;
  std::unique_ptr<void, FindCloser> search(first);
  do {
    std::string name = win32::Narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    if (!WildcardMatch(pattern, name)) continue;
    entries.push_back(EntryOf(found, std::move(name)));
  } while (FindNextFileW(first, &found));
  SortListing(entries);
  return entries;
}

bool FileExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data) && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!Attributes(path, data)) return false;
  if (size) {
    const bool isDir = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    *size = isDir ? 0 : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  return true;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the new name exists.
  return MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(), 0) != 0;
}

bool RenameReplace(const std::string& from, const std::string& to) {
  return MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFile(const std::string& path) { return DeleteFileW(win32::Widen(path).c_str()) != 0; }

}  // namespace platform
