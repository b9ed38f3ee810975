// The Windows temporary folder (GetTempPathW) and uniquely named files created with
// CREATE_NEW, so that an existing file is never taken over.
#include "platform/TempFiles.h"

#include <cstdio>
#include <random>

#include "platform/Exception.h"
#include "platform/FaultInjection.h"
#include "platform/Paths.h"
#include "platform/win32/WinApi.h"

namespace platform {

std::string TempDirectory() {
  wchar_t buffer[MAX_PATH + 2] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  // GetTempPathW falls back to the Windows folder itself; an empty answer leaves the root.
  return IncludeTrailingDelimiter(n > 0 && n <= MAX_PATH + 1 ? win32::Narrow(buffer) : std::string());
}

std::string CreateTempFile(const std::string& folder, const std::string& prefix,
                           const std::string& nameInErrors) {
  const std::string base = IncludeTrailingDelimiter(folder);
  const std::string named = nameInErrors.empty() ? base + prefix : nameInErrors;
  std::random_device seed;
  std::mt19937 numbers(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char unique[16];
    std::snprintf(unique, sizeof unique, "%04X", static_cast<unsigned>(numbers() & 0xFFFF));
    const std::string name = base + prefix + unique + ".tmp";
    HANDLE h = FaultPoint(FileOperation::Create)
                   ? INVALID_HANDLE_VALUE
                   : CreateFileW(win32::Widen(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return name;
    }
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS)
      ThrowCreateError(named, static_cast<int>(err));
  }
  ThrowCreateError(named, ERROR_FILE_EXISTS);
}

unsigned CurrentUmask() { return 0; }  // Windows has no creation mask

}  // namespace platform
