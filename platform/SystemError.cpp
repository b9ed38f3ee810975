#include "platform/SystemError.h"

#include <cerrno>
#include <cstring>

namespace platform {

int LastSystemError() { return errno; }

int FileExistsError() { return EEXIST; }

std::string SystemErrorText(int code) { return std::strerror(code); }

}  // namespace platform
