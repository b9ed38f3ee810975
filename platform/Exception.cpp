#include "platform/Exception.h"

#include <cstring>

#include "platform/Paths.h"

namespace platform {

void ThrowCreateError(const std::string& path, int err) {
  throw EFCreateError("Cannot create file \"" + ExpandFileName(path) + "\". " + std::strerror(err));
}

void ThrowOpenError(const std::string& path, int err) {
  throw EFOpenError("Cannot open file \"" + ExpandFileName(path) + "\". " + std::strerror(err));
}

void ThrowDeleteError(const std::string& path, int err) {
  throw EFDeleteError("Cannot delete file \"" + ExpandFileName(path) + "\". " + std::strerror(err));
}

void ThrowWriteError() { throw EWriteError("Stream write error"); }

void ThrowReadError() { throw EReadError("Stream read error"); }

}  // namespace platform
