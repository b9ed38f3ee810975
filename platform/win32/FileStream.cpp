// The Windows file stream over CreateFileW, ReadFile and WriteFile, with the file layer's
// messages; file times through GetFileTime, FileTimeToLocalFileTime, FileTimeToDosDateTime.
#include "platform/FileStream.h"

#include <algorithm>

#include "platform/Exception.h"
#include "platform/FaultInjection.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/TempFiles.h"
#include "platform/win32/WinApi.h"

namespace platform {
namespace {

using win32::ToHandle;

// ReadFile and WriteFile take a 32-bit count; larger requests go in pieces.
constexpr size_t kMaxTransfer = 1u << 30;

// Other programs may read, write, rename or delete a file that this one holds open, as on
// Linux; a file that another program holds without sharing cannot be opened.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

FileStream::FileStream(const std::string& path, Mode mode) : path_(path) {
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case Mode::OpenRead: access = GENERIC_READ; break;
    case Mode::OpenReadWrite: break;
    case Mode::Create: disposition = CREATE_ALWAYS; break;
    case Mode::CreateNew: disposition = CREATE_NEW; break;
  }
  const bool creating = mode == Mode::Create || mode == Mode::CreateNew;
  if (path.empty()) {
    // An empty name is no file; say so in the layer's words instead of opening "".
    creating ? ThrowCreateError(path, ERROR_PATH_NOT_FOUND) : ThrowOpenError(path, ERROR_FILE_NOT_FOUND);
  }
  // A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS: opening one fails with
  // "access denied", as the layer wants.
  HANDLE h = FaultPoint(creating ? FileOperation::Create : FileOperation::Open)
                 ? INVALID_HANDLE_VALUE
                 : CreateFileW(win32::Widen(path).c_str(), access, kShareAll, nullptr,
                               disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const int err = LastSystemError();
    creating ? ThrowCreateError(path, err) : ThrowOpenError(path, err);
  }
  fd_ = win32::FromHandle(h);
}

FileStream::~FileStream() {
  if (fd_ != -1) CloseHandle(ToHandle(fd_));
}

size_t FileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxTransfer));
    if (FaultPoint(FileOperation::Read) || !ReadFile(ToHandle(fd_), out + done, want, &n, nullptr))
      ThrowReadError();
    if (n == 0) break;
    done += n;
  }
  return done;
}

void FileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < count) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxTransfer));
    // A full disk fails the call or writes nothing; both are a write error.
    if (FaultPoint(FileOperation::Write) ||
        !WriteFile(ToHandle(fd_), in + done, want, &n, nullptr) || n == 0)
      ThrowWriteError();
    done += n;
  }
}

int64_t FileStream::Seek(int64_t offset, Origin origin) {
  const DWORD method = origin == Origin::Begin ? FILE_BEGIN : origin == Origin::Current ? FILE_CURRENT : FILE_END;
  LARGE_INTEGER to{}, at{};
  to.QuadPart = offset;
  if (FaultPoint(FileOperation::Seek) || !SetFilePointerEx(ToHandle(fd_), to, &at, method))
    ThrowReadError();
  return at.QuadPart;
}

int64_t FileStream::Position() const {
  LARGE_INTEGER zero{}, at{};
  if (!SetFilePointerEx(ToHandle(fd_), zero, &at, FILE_CURRENT)) ThrowReadError();
  return at.QuadPart;
}

int64_t FileStream::Size() const {
  LARGE_INTEGER size{};
  if (FaultPoint(FileOperation::Stat) || !GetFileSizeEx(ToHandle(fd_), &size)) ThrowReadError();
  return size.QuadPart;
}

void FileStream::SetSize(int64_t size) {
  // SetEndOfFile cuts at the file pointer; the position is kept as ftruncate keeps it.
  const int64_t position = Position();
  LARGE_INTEGER to{};
  to.QuadPart = size;
  if (FaultPoint(FileOperation::Write) || !SetFilePointerEx(ToHandle(fd_), to, nullptr, FILE_BEGIN) ||
      !SetEndOfFile(ToHandle(fd_)))
    ThrowWriteError();
  to.QuadPart = position;
  if (!SetFilePointerEx(ToHandle(fd_), to, nullptr, FILE_BEGIN)) ThrowWriteError();
}

void FileStream::Sync() {
  if (FaultPoint(FileOperation::Sync) || !FlushFileBuffers(ToHandle(fd_))) ThrowWriteError();
}

void FileStream::Close() {
  if (fd_ == -1) return;
  // The handle is released even when the close reports a failure.
  const bool fault = FaultPoint(FileOperation::Close);
  const BOOL closed = CloseHandle(ToHandle(fd_));
  fd_ = -1;
  if (fault || !closed) ThrowWriteError();
}

uint32_t FileStream::DosDateTime() const {
  FILETIME written{}, local{};
  WORD date = 0, time = 0;
  // FileTimeToDosDateTime refuses years outside 1980..2107.
  if (!GetFileTime(ToHandle(fd_), nullptr, nullptr, &written) ||
      !FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0xFFFFFFFFu;
  return (static_cast<uint32_t>(date) << 16) | time;
}

std::int64_t FileStream::ModificationNanos() const {
  FILETIME written{};
  if (FaultPoint(FileOperation::Stat) || !GetFileTime(ToHandle(fd_), nullptr, nullptr, &written))
    ThrowReadError();
  const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(written.dwHighDateTime) << 32) |
                                             written.dwLowDateTime);
  return (ticks - win32::kUnixEpochAsFileTime) * 100;
}


}  // namespace platform
