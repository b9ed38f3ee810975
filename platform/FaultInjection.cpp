#include "platform/FaultInjection.h"

#include <atomic>
#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {
namespace {

// The seam's state: the only mutable globals of the file layer, touched by tests alone.
// Atomics, so calls from worker threads are counted without a race.
std::atomic<bool> armed{false};
std::atomic<int64_t> calls{0};
std::atomic<int64_t> failAtCall{0};
std::atomic<int> armedError{0};
std::atomic<bool> fired{false};
std::atomic<int> firedOperation{0};

}  // namespace

const char* FileOperationName(FileOperation op) {
  switch (op) {
    case FileOperation::Open: return "open";
    case FileOperation::Create: return "create";
    case FileOperation::Read: return "read";
    case FileOperation::Write: return "write";
    case FileOperation::Flush: return "flush";
    case FileOperation::Seek: return "seek";
    case FileOperation::Stat: return "stat";
    case FileOperation::Close: return "close";
    case FileOperation::Rename: return "rename";
    case FileOperation::Delete: return "delete";
    case FileOperation::Sync: return "sync";
    case FileOperation::ListFolder: return "list folder";
  }
  return "?";
}

bool FaultPoint(FileOperation op) {
  if (!armed.load(std::memory_order_relaxed)) return false;
  const int64_t n = calls.fetch_add(1) + 1;
  if (n != failAtCall.load()) return false;
  fired = true;
  firedOperation = static_cast<int>(op);
  // The armed error is what the system's own failure would leave behind.
#ifdef _WIN32
  SetLastError(static_cast<DWORD>(armedError.load()));
#else
  errno = armedError.load();
#endif
  return true;
}

void ArmFault(int64_t failAt, int error) {
  calls = 0;
  failAtCall = failAt;
  armedError = error;
  fired = false;
  armed = true;
}

void DisarmFault() { armed = false; }

int64_t FaultCallCount() { return calls.load(); }

bool FaultFired() { return fired.load(); }

FileOperation FiredOperation() { return static_cast<FileOperation>(firedOperation.load()); }

}  // namespace platform
