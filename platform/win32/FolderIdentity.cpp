// The identity of a folder on Windows: the volume's serial number and the file index.
#include "platform/FolderIdentity.h"

#include "platform/win32/WinApi.h"

namespace platform {

bool GetFolderId(const std::string& path, FolderId& id) {
  if (path.empty()) return false;
  // FILE_FLAG_BACKUP_SEMANTICS is what lets CreateFileW open a folder.
  HANDLE h = CreateFileW(win32::Widen(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL ok = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!ok) return false;
  id.device = info.dwVolumeSerialNumber;
  id.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

}  // namespace platform
