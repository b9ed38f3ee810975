// The one exception class that every error of the program derives from, and the error
// classes of the file layer. The window catches Exception at its edge and shows Message().
// The file layer's one convention: a call that fails raises one of these with the cause.
// Only calls whose failure is an answer rather than an error (existence tests, a rename
// that must not replace, a delete during clean-up) return false instead, errno kept.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// File errors of the platform layer; their messages carry the full path and the system's
// description of the cause.
class EFCreateError : public Exception { using Exception::Exception; };
class EFOpenError : public Exception { using Exception::Exception; };
class EWriteError : public Exception { using Exception::Exception; };
class EReadError : public Exception { using Exception::Exception; };
class EFDeleteError : public Exception { using Exception::Exception; };
// A text that the code page layer cannot convert because the conversion itself is missing.
class EConvertError : public Exception { using Exception::Exception; };

namespace platform {

// "Cannot create file "<full path>". <cause>" for the system error code err (errno on
// Linux, GetLastError on Windows; see SystemError.h).
[[noreturn]] void ThrowCreateError(const std::string& path, int err);
// "Cannot open file "<full path>". <cause>" for the system error code err.
[[noreturn]] void ThrowOpenError(const std::string& path, int err);
// "Cannot delete file "<full path>". <cause>" for the system error code err.
[[noreturn]] void ThrowDeleteError(const std::string& path, int err);
// "Stream write error" / "Stream read error".
[[noreturn]] void ThrowWriteError();
[[noreturn]] void ThrowReadError();

}  // namespace platform
