// Inflates raw Deflate streams with Python's zlib (decompressobj(-15)), a decoder that
// shares no code with this project. One python3 process serves a whole batch.
#pragma once

#include <string>
#include <vector>

namespace deflate_testing {

struct TInflateResult {
  bool ok = false;      // the stream decoded, ended with a final block and nothing after it
  std::string data;     // the decoded bytes when ok
  std::string error;    // Python's complaint otherwise
};

std::vector<TInflateResult> PythonInflate(const std::vector<std::string>& streams);
TInflateResult PythonInflate(const std::string& stream);

}  // namespace deflate_testing
