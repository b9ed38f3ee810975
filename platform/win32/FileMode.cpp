// Windows has attributes where Linux has permission bits: a rebuilt archive or settings
// file keeps the hidden, system and archive marks of the old one.
#include "platform/FileMode.h"

#include "platform/Exception.h"
#include "platform/win32/WinApi.h"

namespace platform {

void GiveReplacementMode(const std::string& old, const std::string& replacement) {
  const DWORD attributes = GetFileAttributesW(win32::Widen(old).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;  // a new file keeps the default marks
  // Read-only is left out: it would refuse the rename that puts the copy in place, and
  // the deletion of the copy when that fails.
  const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (!SetFileAttributesW(win32::Widen(replacement).c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL))
    ThrowWriteError();
}

}  // namespace platform
