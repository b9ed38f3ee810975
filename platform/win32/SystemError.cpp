// Windows error codes and the system's description of them (FormatMessageW), in the
// language of the system.
#include "platform/SystemError.h"

#include "platform/win32/WinApi.h"

namespace platform {

int LastSystemError() { return static_cast<int>(GetLastError()); }

int FileExistsError() { return ERROR_FILE_EXISTS; }

std::string SystemErrorText(int code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n > 0 && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  // The system's texts end in a full stop and a line end; the message adds neither.
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.' || text.back() == L'\x3002'))
    text.pop_back();
  if (text.empty()) return "System error " + std::to_string(code);
  return win32::Narrow(text);
}

}  // namespace platform
