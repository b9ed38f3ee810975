// The bounded part of a file that recognition reads: its first bytes, where Gerber and
// Excellon headers and their attributes are, and a short tail, where the end-of-program
// codes are. A large file is never read whole.
#pragma once

#include <cstddef>
#include <string>

namespace layers {

inline constexpr size_t kSampleHeadBytes = 64 * 1024;
inline constexpr size_t kSampleTailBytes = 4 * 1024;

struct FileSample {
  std::string head;  // the first kSampleHeadBytes bytes at most
  std::string tail;  // the last kSampleTailBytes bytes after the head, empty when the head holds the whole file
};

// Reads path's head and tail. A file that cannot be opened or read gives what was read
// before the failure (an empty sample at worst): recognition never fails on a file.
FileSample ReadFileSample(const std::string& path);

// The first limit bytes of path at most; empty when it cannot be read. Never fails.
std::string ReadFileHead(const std::string& path, size_t limit);

}  // namespace layers
