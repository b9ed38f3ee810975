// The Linux forms of the paths that the system gives: the current folder and the
// running executable.
#include <unistd.h>

#include <climits>
#include <vector>

#include "platform/Paths.h"

namespace platform {

std::string ExpandFileName(std::string_view path) {
  if (!path.empty() && path.front() == kPathDelim) return std::string(path);
  std::vector<char> cwd(PATH_MAX + 1);
  if (getcwd(cwd.data(), cwd.size()) == nullptr) return std::string(path);
  return IncludeTrailingDelimiter(cwd.data()) + std::string(path);
}

std::string ExecutablePath() {
  std::vector<char> buffer(PATH_MAX + 1);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
}

}  // namespace platform
