#include "platform/testing/FaultLoop.h"

#include "platform/Exception.h"

namespace platform::testing {

std::string FaultRun::Describe() const {
  std::string text = "call " + std::to_string(failAt);
  text += fired ? std::string(" (") + FileOperationName(operation) + ") failed" : " not reached";
  text += threw ? ", run threw: " + message : ", run succeeded";
  return text;
}

FaultRun RunWithFault(int64_t failAt, int error, const std::function<void()>& run) {
  FaultRun result;
  result.failAt = failAt;
  {
    ScopedFault fault(failAt, error);
    try {
      run();
    } catch (const Exception& e) {
      result.threw = true;
      result.message = e.Message();
    }
    result.fired = FaultFired();
    if (result.fired) result.operation = FiredOperation();
  }
  return result;
}

int64_t FailEachOperationInTurn(const std::function<void()>& run,
                                const std::function<void(const FaultRun&)>& check, int error,
                                int64_t limit) {
  for (int64_t n = 1; n <= limit; ++n) {
    const FaultRun result = RunWithFault(n, error, run);
    check(result);
    if (!result.fired) return n - 1;
  }
  return -1;
}

}  // namespace platform::testing
