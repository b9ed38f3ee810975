// The system's own error codes and their descriptions, for the file layer's messages:
// errno and strerror on Linux, GetLastError and FormatMessageW on Windows.
#pragma once

#include <string>

namespace platform {

// The code of the last failed system call of this thread.
int LastSystemError();
// The code that says a file of that name already exists.
int FileExistsError();
// The system's description of code, without a line end or a final full stop.
std::string SystemErrorText(int code);

}  // namespace platform
