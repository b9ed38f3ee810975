// Paths and failure causes for tests that run on Linux and on Windows: tests write paths
// with "/" and turn them into the system's form here.
#pragma once

#include <string>

#include "platform/Paths.h"
#include "platform/SystemError.h"

#ifndef _WIN32
#include <cerrno>
#endif

namespace platform::testing {

// path with every "/" replaced by the system's delimiter.
inline std::string SystemPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = kPathDelim;
  }
  return path;
}

// The system's codes for the failures that tests provoke.
#ifdef _WIN32
inline constexpr int kNoSuchPath = 3;  // ERROR_PATH_NOT_FOUND
inline constexpr int kIsAFolder = 5;   // ERROR_ACCESS_DENIED: a folder opened as a file
#else
inline constexpr int kNoSuchPath = ENOENT;
inline constexpr int kIsAFolder = EISDIR;
#endif

// The cause as the file layer's messages give it.
inline std::string Cause(int code) { return SystemErrorText(code); }

}  // namespace platform::testing
