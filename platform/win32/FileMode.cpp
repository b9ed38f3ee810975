// Windows has attributes where Linux has permission bits: a rebuilt archive keeps the
// hidden, system and archive marks of the old one.
#include "platform/FileMode.h"

#include "platform/win32/WinApi.h"

namespace platform {

bool CopyFileMode(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesW(win32::Widen(from).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  // Read-only is left out: it would refuse the rename that puts the copy in place, and
  // the deletion of the copy when that fails.
  const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  return SetFileAttributesW(win32::Widen(to).c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL) != 0;
}

}  // namespace platform
