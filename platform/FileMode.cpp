#include "platform/FileMode.h"

#include <sys/stat.h>

#include "platform/Exception.h"
#include "platform/TempFiles.h"

namespace platform {

void GiveReplacementMode(const std::string& old, const std::string& replacement) {
  struct stat st {};
  const mode_t mode = stat(old.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (chmod(replacement.c_str(), mode) != 0) ThrowWriteError();
}

}  // namespace platform
