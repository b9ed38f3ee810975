// Inflates raw Deflate streams with Python's zlib (decompressobj(-15)), a decoder that
// shares no code with this project. One python3 process serves a whole batch.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace deflate_testing {

// python3 is a Linux program; the Windows build's tests, run under Wine, cannot start it
// and skip the inflate checks with this reason (the comparison with the reference engine
// still runs).
#ifdef _WIN32
inline constexpr bool kHavePythonInflate = false;
#else
inline constexpr bool kHavePythonInflate = true;
#endif
#define SKIP_WITHOUT_PYTHON_INFLATE()                                                      \
  do {                                                                                     \
    if (!deflate_testing::kHavePythonInflate)                                              \
      GTEST_SKIP() << "Python's zlib is a Linux program, not run from the Windows tests"; \
  } while (0)

struct TInflateResult {
  bool ok = false;      // the stream decoded, ended with a final block and nothing after it
  std::string data;     // the decoded bytes when ok
  std::string error;    // Python's complaint otherwise
};

std::vector<TInflateResult> PythonInflate(const std::vector<std::string>& streams);
TInflateResult PythonInflate(const std::string& stream);

}  // namespace deflate_testing
