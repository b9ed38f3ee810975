// The Windows folder search (FindFirstFileW with the hidden and system attributes, sorted
// as on Linux), existence tests over GetFileAttributesExW, MoveFileExW and DeleteFileW.
#include "platform/FileSystem.h"

#include <memory>

#include "platform/Exception.h"
#include "platform/FaultInjection.h"
#include "platform/FolderSearch.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
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
  HANDLE first = FaultPoint(FileOperation::ListFolder) ? INVALID_HANDLE_VALUE
                                                       : FindFirstFileW(all.c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) {
    // A folder that is not there has no entries; one that is there but cannot be listed
    // is an error, never an empty folder.
    const int err = LastSystemError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_DIRECTORY ||
        err == ERROR_INVALID_NAME)
      return entries;
    ThrowOpenError(IncludeTrailingDelimiter(folder), err);
  }
  std::unique_ptr<void, FindCloser> search(first);
  do {
    std::string name = win32::Narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    if (!WildcardMatch(pattern, name)) continue;
    entries.push_back(EntryOf(found, std::move(name)));
  } while (FindNextFileW(first, &found));
  if (LastSystemError() != ERROR_NO_MORE_FILES)
    ThrowOpenError(IncludeTrailingDelimiter(folder), LastSystemError());  // a listing cut short
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
  if (FaultPoint(FileOperation::Rename)) return false;
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the new name exists.
  return MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(), 0) != 0;
}

void RenameReplace(const std::string& from, const std::string& to) {
  // MOVEFILE_WRITE_THROUGH returns only once the rename is on the disk: the Windows form
  // of syncing the folder after the rename.
  if (FaultPoint(FileOperation::Rename) ||
      !MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ThrowCreateError(to, LastSystemError());
}

bool DeleteFile(const std::string& path) {
  return !FaultPoint(FileOperation::Delete) && DeleteFileW(win32::Widen(path).c_str()) != 0;
}

void SyncFolder(const std::string& folder) {
  // A folder's entries reach the disk with the write-through rename above; Windows has no
  // call that flushes a folder itself. The seam still counts the step, as on Linux.
  if (FaultPoint(FileOperation::Sync)) ThrowWriteError();
  if (!DirectoryExists(folder)) ThrowOpenError(folder, ERROR_PATH_NOT_FOUND);
}

std::string ResolveLinks(const std::string& path) {
  // Symbolic links need special rights on Windows and board folders do not hold them; a
  // path stands for itself.
  return path;
}

}  // namespace platform
