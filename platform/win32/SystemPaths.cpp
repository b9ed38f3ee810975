// The Windows forms of the paths that the system gives: full paths (GetFullPathNameW) and
// the running executable (GetModuleFileNameW).
#include "platform/Paths.h"
#include "platform/win32/WinApi.h"

namespace platform {

std::string ExpandFileName(std::string_view path) {
  if (path.empty()) return std::string();
  const std::wstring wide = win32::Widen(path);
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return std::string(path);
    if (n < full.size()) {
      full.resize(n);
      return win32::Narrow(full);
    }
    full.resize(n);
  }
}

std::string ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      buffer.resize(n);
      return win32::Narrow(buffer);
    }
    buffer.resize(buffer.size() * 2);  // truncated: try a larger buffer
  }
}

}  // namespace platform
