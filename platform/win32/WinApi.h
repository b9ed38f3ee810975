// The Windows API for the platform's Windows units, and the conversion of the program's
// UTF-8 paths and texts to the UTF-16 of the W functions and back.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h maps these names to its A functions; the platform's functions of the same
// names must keep them.
#undef DeleteFile
#undef AnsiToOem
#undef OemToAnsi

#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);
// UTF-16 to UTF-8.
std::string Narrow(std::wstring_view utf16);

// FILETIME counts 100-nanosecond intervals since 1601-01-01; this many lie before 1970-01-01.
inline constexpr long long kUnixEpochAsFileTime = 116444736000000000LL;

// The HANDLE kept in an int (see FileStream::Handle) and back.
inline HANDLE ToHandle(int fd) { return LongToHandle(fd); }
inline int FromHandle(HANDLE h) { return HandleToLong(h); }

}  // namespace platform::win32
