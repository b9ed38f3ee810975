// Drives the file layer's fault-injection seam from any folder's tests: an operation is run
// again and again with its 1st, 2nd, 3rd ... file operation failing, until a run passes
// every fault point, and the test checks what is on the disk after each run.
#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/FaultInjection.h"

namespace platform::testing {

// Arms the seam for the lifetime of the object.
class ScopedFault {
 public:
  ScopedFault(int64_t failAt, int error) { ArmFault(failAt, error); }
  ~ScopedFault() { DisarmFault(); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;
};

// What one run under an armed fault did.
struct FaultRun {
  int64_t failAt = 0;     // the call that was to fail
  bool fired = false;     // the run reached that call, and it failed
  FileOperation operation = FileOperation::Open;  // the failed call's kind, when fired
  bool threw = false;     // the run ended with an Exception
  std::string message;    // its message
  // "call 7 (write) failed, run threw: Stream write error", for test output.
  std::string Describe() const;
};

// Runs run once with call failAt failing with error. The seam is disarmed before the
// result is returned, so checks made afterwards see the real file system.
FaultRun RunWithFault(int64_t failAt, int error, const std::function<void()>& run);

// Runs run with call 1, 2, 3 ... failing until a run no longer reaches the failing call;
// check sees every run, the complete last one included (fired false). Returns the number
// of fault points the complete run passed, or -1 when limit runs did not complete it.
int64_t FailEachOperationInTurn(const std::function<void()>& run,
                                const std::function<void(const FaultRun&)>& check,
                                int error = EIO, int64_t limit = 100000);

}  // namespace platform::testing
