#include "platform/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/FaultInjection.h"

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
  if (FaultPoint(creating ? FileOperation::Create : FileOperation::Open)) {
    fd_ = -1;
  } else {
    do {
      fd_ = ::open(path.c_str(), flags, perms);
    } while (fd_ < 0 && errno == EINTR);
  }
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
    ssize_t n = FaultPoint(FileOperation::Read) ? -1 : ::read(fd_, out + done, count - done);
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
    ssize_t n = FaultPoint(FileOperation::Write) ? -1 : ::write(fd_, in + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowWriteError();  // full disk, file size limit, I/O error
    done += static_cast<size_t>(n);
  }
}

int64_t FileStream::Seek(int64_t offset, Origin origin) {
  int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
  off_t r = FaultPoint(FileOperation::Seek) ? -1 : ::lseek(fd_, offset, whence);
  if (r < 0) ThrowReadError();
  return r;
}

int64_t FileStream::Position() const {
  off_t r = ::lseek(fd_, 0, SEEK_CUR);
  if (r < 0) ThrowReadError();
  return r;
}

int64_t FileStream::Size() const {
  struct stat st {};
  if (FaultPoint(FileOperation::Stat) || fstat(fd_, &st) != 0) ThrowReadError();
  return st.st_size;
}

void FileStream::SetSize(int64_t size) {
  if (FaultPoint(FileOperation::Write) || ::ftruncate(fd_, size) != 0) ThrowWriteError();
}

void FileStream::Sync() {
  // EINVAL: the file is of a kind that cannot be synchronised (a pipe); nothing to flush.
  if (FaultPoint(FileOperation::Sync)) ThrowWriteError();
  if (::fsync(fd_) != 0 && errno != EINVAL) ThrowWriteError();
}

void FileStream::Close() {
  if (fd_ < 0) return;
  // The descriptor is released even when the close reports a failure.
  const bool fault = FaultPoint(FileOperation::Close);
  int r = ::close(fd_);
  fd_ = -1;
  if (fault || (r != 0 && errno != EINTR)) ThrowWriteError();
}

uint32_t FileStream::DosDateTime() const {
  struct stat st {};
  if (fstat(fd_, &st) != 0) return 0xFFFFFFFFu;
  return TimeToDosDateTime(st.st_mtim.tv_sec);
}

std::int64_t FileStream::ModificationNanos() const {
  struct stat st {};
  if (FaultPoint(FileOperation::Stat) || fstat(fd_, &st) != 0) ThrowReadError();
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace platform
