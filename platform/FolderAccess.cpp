#include "platform/FolderAccess.h"

#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool FolderWritable(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string EnvironmentValue(const char* name) {
  const char* value = getenv(name);
  return value ? std::string(value) : std::string();
}

bool MakeFolders(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    return false;
  }
  // Each parent in turn, from the top; an existing one is passed over.
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string parent = folder.substr(0, slash);
    if (mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
