#include "platform/FileMode.h"

#include <sys/stat.h>

namespace platform {

bool CopyFileMode(const std::string& from, const std::string& to) {
  struct stat st {};
  if (stat(from.c_str(), &st) != 0) return false;
  return chmod(to.c_str(), st.st_mode & 07777) == 0;
}

}  // namespace platform
