// The Windows forms: a folder is writable when a file can be created in it, environment
// variables come from the UTF-16 environment, folders are made with CreateDirectoryW.
#include "platform/FolderAccess.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TempFiles.h"
#include "platform/win32/WinApi.h"

namespace platform {

bool FolderWritable(const std::string& folder) {
  if (!DirectoryExists(folder)) return false;
  // Windows answers "may I create a file here" only by trying: a probe that is removed again.
  try {
    DeleteFile(CreateTempFile(folder, "KPZ"));
    return true;
  } catch (...) {
    return false;
  }
}

std::string EnvironmentValue(const char* name) {
  const std::wstring wide = win32::Widen(name);
  const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return std::string();
  std::wstring value(size, L'\0');
  const DWORD n = GetEnvironmentVariableW(wide.c_str(), value.data(), size);
  value.resize(n);
  return win32::Narrow(value);
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty() || DirectoryExists(folder)) return DirectoryExists(folder);
  std::string trimmed = folder;
  while (!trimmed.empty() && trimmed.back() == kPathDelim) trimmed.pop_back();
  const std::string parent = ExtractFilePath(trimmed);
  if (!parent.empty() && !IsRootFolder(parent) && !MakeFolders(parent)) return false;
  return CreateDirectoryW(win32::Widen(folder).c_str(), nullptr) != 0 || DirectoryExists(folder);
}

}  // namespace platform
