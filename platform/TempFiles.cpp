#include "platform/TempFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/Exception.h"
#include "platform/FaultInjection.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace platform {

std::string TempDirectory() {
  const char* env = std::getenv("TMPDIR");
  if (env && *env && DirectoryExists(env)) return IncludeTrailingDelimiter(env);
  return "/tmp/";
}

std::string CreateTempFile(const std::string& folder, const std::string& prefix,
                           const std::string& nameInErrors) {
  std::string base = IncludeTrailingDelimiter(folder);
  std::random_device seed;
  std::mt19937 numbers(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char unique[16];
    std::snprintf(unique, sizeof unique, "%04X", static_cast<unsigned>(numbers() & 0xFFFF));
    std::string name = base + prefix + unique + ".tmp";
    int fd = FaultPoint(FileOperation::Create)
                 ? -1
                 : ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) ThrowCreateError(nameInErrors.empty() ? base + prefix : nameInErrors, errno);
  }
  ThrowCreateError(nameInErrors.empty() ? base + prefix : nameInErrors, EEXIST);
}

unsigned CurrentUmask() {
  // umask can only be read by setting it; set it straight back.
  mode_t m = ::umask(022);
  ::umask(m);
  return m;
}

}  // namespace platform
