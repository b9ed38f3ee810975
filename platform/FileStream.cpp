#include "platform/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/TempFiles.h"

namespace platform {

FileStream::FileStream(const std::string& path, Mode mode) : path_(path) {
  int flags = O_CLOEXEC;
  mode_t perms = 0666;
  switch (mode) {
    case Mode::OpenRead: flags |= O_RDONLY; break;
    case Mode::OpenReadWrite: flags |= O_RDWR; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case Mode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; perms = 0600; break;
  }
  bool creating = mode == Mode::Create || mode == Mode::CreateNew;
  if (path.empty()) {
    // An empty name is no file; say so in the layer's words instead of opening "".
    creating ? ThrowCreateError(path, ENOENT) : ThrowOpenError(path, ENOENT);
  }
  do {
    fd_ = ::open(path.c_str(), flags, perms);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) creating ? ThrowCreateError(path, errno) : ThrowOpenError(path, errno);
  if (!creating) {
    // Opening a folder succeeds on Linux but reading it does not; refuse it here, like a
    // system that cannot open folders as files.
    struct stat st {};
    if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      ThrowOpenError(path, EISDIR);
    }
  }
}

FileStream::~FileStream() {
  if (fd_ >= 0) ::close(fd_);
}

size_t FileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::read(fd_, out + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowReadError();
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

void FileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t n = ::write(fd_, in + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowWriteError();  // full disk, file size limit, I/O error
    done += static_cast<size_t>(n);
  }
}

int64_t FileStream::Seek(int64_t offset, Origin origin) {
  int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(fd_, offset, whence);
  if (r < 0) ThrowReadError();
  return r;
}

int64_t FileStream::Position() const { return ::lseek(fd_, 0, SEEK_CUR); }

int64_t FileStream::Size() const {
  struct stat st {};
  return fstat(fd_, &st) == 0 ? st.st_size : 0;
}

void FileStream::SetSize(int64_t size) {
  if (::ftruncate(fd_, size) != 0) ThrowWriteError();
}

void FileStream::Sync() {
  if (::fsync(fd_) != 0 && errno != EINVAL) ThrowWriteError();
}

void FileStream::Close() {
  if (fd_ < 0) return;
  int r = ::close(fd_);
  fd_ = -1;
  if (r != 0 && errno != EINTR) ThrowWriteError();
}

uint32_t FileStream::DosDateTime() const {
  struct stat st {};
  if (fstat(fd_, &st) != 0) return 0xFFFFFFFFu;
  return TimeToDosDateTime(st.st_mtim.tv_sec);
}

std::int64_t FileStream::ModificationNanos() const {
  struct stat st {};
  if (fstat(fd_, &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::string ReadWholeFile(const std::string& path) {
  FileStream f(path, FileStream::Mode::OpenRead);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    size_t n = f.Read(buffer, sizeof buffer);
    if (n == 0) break;
    bytes.append(buffer, n);
  }
  return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  FileStream f(path, FileStream::Mode::Create);
  f.Write(bytes.data(), bytes.size());
  f.Close();
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  std::string folder = ExtractFilePath(ExpandFileName(path));
  struct stat old {};
  bool hadOld = ::stat(path.c_str(), &old) == 0;
  // The new content goes to a sibling file first, so the old one stays whole until the
  // rename; a failure anywhere leaves it untouched.
  // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on "." + a temporary string.
  std::string prefix(1, '.');
  prefix += ExtractFileName(path);
  prefix += '.';
  std::string temp = CreateTempFile(folder, prefix);
  if (temp.empty()) ThrowCreateError(path, errno ? errno : EACCES);
  try {
    FileStream f(temp, FileStream::Mode::OpenReadWrite);
    f.Write(bytes.data(), bytes.size());
    if (::fchmod(f.Handle(), hadOld ? (old.st_mode & 07777) : 0666 & ~CurrentUmask()) != 0)
      ThrowWriteError();
    f.Sync();
    f.Close();
    if (::rename(temp.c_str(), path.c_str()) != 0) ThrowCreateError(path, errno);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
}

}  // namespace platform
