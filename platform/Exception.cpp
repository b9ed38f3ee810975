#include "platform/Exception.h"

#include "platform/Paths.h"
#include "platform/SystemError.h"

namespace platform {

void ThrowCreateError(const std::string& path, int err) {
  throw EFCreateError("Cannot create file \"" + ExpandFileName(path) + "\". " + SystemErrorText(err));
}

void ThrowOpenError(const std::string& path, int err) {
  throw EFOpenError("Cannot open file \"" + ExpandFileName(path) + "\". " + SystemErrorText(err));
}

void ThrowDeleteError(const std::string& path, int err) {
  throw EFDeleteError("Cannot delete file \"" + ExpandFileName(path) + "\". " + SystemErrorText(err));
}

void ThrowWriteError() { throw EWriteError("Stream write error"); }

void ThrowReadError() { throw EReadError("Stream read error"); }

}  // namespace platform
