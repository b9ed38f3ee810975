#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <memory>

#include "platform/Exception.h"
#include "platform/FaultInjection.h"
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
  std::unique_ptr<DIR, DirCloser> dir(FaultPoint(FileOperation::ListFolder) ? nullptr
                                                                           : opendir(base.c_str()));
  if (!dir) {
    // A folder that is not there has no entries; one that is there but cannot be listed
    // is an error, never an empty folder.
    if (errno == ENOENT || errno == ENOTDIR) return entries;
    ThrowOpenError(base, errno);
  }
  for (;;) {
    errno = 0;
    dirent* d = readdir(dir.get());
    if (d == nullptr) {
      if (errno != 0) ThrowOpenError(base, errno);  // a listing cut short
      break;
    }
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
  if (FaultPoint(FileOperation::Rename)) return false;
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

void RenameReplace(const std::string& from, const std::string& to) {
  if (FaultPoint(FileOperation::Rename) || std::rename(from.c_str(), to.c_str()) != 0) {
    ThrowCreateError(to, errno);
  }
}

bool DeleteFile(const std::string& path) {
  return !FaultPoint(FileOperation::Delete) && unlink(path.c_str()) == 0;
}

void SyncFolder(const std::string& folder) {
  const std::string path = folder.empty() ? std::string(".") : folder;
  if (FaultPoint(FileOperation::Sync)) ThrowWriteError();
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) ThrowOpenError(path, errno);
  // EINVAL: a file system whose folders cannot be synchronised; its renames are durable
  // on their own terms.
  const int r = ::fsync(fd);
  const int err = errno;
  ::close(fd);
  if (r != 0 && err != EINVAL) ThrowWriteError();
}

std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t n = readlink(current.c_str(), target.data(), target.size() - 1);
    if (n < 0) return current;  // no link (or nothing there): the path itself
    const std::string link(target.data(), static_cast<size_t>(n));
    current = link.front() == kPathDelim ? link : ExtractFilePath(current) + link;
  }
  ThrowOpenError(path, ELOOP);
}

}  // namespace platform
