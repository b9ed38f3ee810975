#include "layers/FileSample.h"

#include <algorithm>
#include <cstdint>

#include "platform/Exception.h"
#include "platform/FileStream.h"

namespace layers {

namespace {

std::string ReadUpTo(platform::FileStream& file, size_t count) {
  std::string bytes(count, '\0');
  bytes.resize(file.Read(bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace

std::string ReadFileHead(const std::string& path, size_t limit) {
  try {
    platform::FileStream file(path, platform::FileStream::Mode::OpenRead);
    return ReadUpTo(file, limit);
  } catch (const Exception&) {
    return {};  // an unreadable job file says nothing
  }
}

FileSample ReadFileSample(const std::string& path) {
  FileSample sample;
  try {
    platform::FileStream file(path, platform::FileStream::Mode::OpenRead);
    sample.head = ReadUpTo(file, kSampleHeadBytes);
    const int64_t size = file.Size();
    const int64_t headEnd = static_cast<int64_t>(sample.head.size());
    if (size > headEnd) {
      const int64_t tailStart = std::max(headEnd, size - static_cast<int64_t>(kSampleTailBytes));
      file.Seek(tailStart, platform::FileStream::Origin::Begin);
      sample.tail = ReadUpTo(file, kSampleTailBytes);
    }
  } catch (const Exception&) {
    // An unreadable file is recognised from what could be read, and from its name.
  }
  return sample;
}

}  // namespace layers
