#include "platform/FolderIdentity.h"

#include <sys/stat.h>

namespace platform {

bool GetFolderId(const std::string& path, FolderId& id) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  return true;
}

}  // namespace platform
