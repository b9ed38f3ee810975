// Whole-file reads and writes over FileStream, the same on every system.
#include "platform/FileStream.h"

namespace platform {

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

}  // namespace platform
