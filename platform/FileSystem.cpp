#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/FolderSearch.h"
#include "platform/Paths.h"

namespace platform {
namespace {

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

}  // namespace

std::vector<DirEntry> ListFolder(const std::string& folder, std::string_view pattern) {
  std::vector<DirEntry> entries;
  std::string base = folder.empty() ? std::string("/") : IncludeTrailingDelimiter(folder);
  std::unique_ptr<DIR, DirCloser> dir(opendir(base.c_str()));
  if (!dir) return entries;
  while (dirent* d = readdir(dir.get())) {
    std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    if (!WildcardMatch(pattern, name)) continue;
    DirEntry e;
    e.name = name;
    e.isHidden = name[0] == '.';
    struct stat st {};
    if (stat((base + name).c_str(), &st) == 0) {
      e.isDir = S_ISDIR(st.st_mode);
      e.isSystem = !S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode);
      if (S_ISREG(st.st_mode)) e.size = static_cast<uint64_t>(st.st_size);
    } else {
      e.isSystem = true;  // a dangling link or an entry we may not look at
    }
    entries.push_back(std::move(e));
  }
  SortListing(entries);
  return entries;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path, uint64_t* size) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  if (size) *size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  return true;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
  if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 1 /*RENAME_NOREPLACE*/) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // File systems without RENAME_NOREPLACE: link fails when the target exists, so nothing
  // is replaced; then the old name goes.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  if (unlink(from.c_str()) != 0) {
    int saved = errno;
    unlink(to.c_str());
    errno = saved;
    return false;
  }
  return true;
}

bool RenameReplace(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

}  // namespace platform
