#include "platform/CharBytes.h"

namespace platform {

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

size_t Utf8SequenceLength(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || c == 0xC0 || c == 0xC1 || c > 0xF4 || i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return len;
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    size_t len = Utf8SequenceLength(s, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

size_t GbkCharLength(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  return (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) ? 2 : 1;
}

}  // namespace platform
