// Helpers for the zip tests: running the archive clients that check our archives (Python's
// zipfile, 7z, bsdtar), and reading and patching archive bytes.
#pragma once

#include <gtest/gtest.h>
#include <stdio.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdint>
#include <string>

#include "platform/FileStream.h"

namespace ziptest {

inline std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

struct CommandResult {
  int status = -1;  // exit status, -1 when the command did not end normally
  std::string output;  // stdout and stderr
};

// The archive clients are Linux programs; the Windows build's tests, run under Wine, have
// none of them, and a test skips its client checks there with this reason.
#ifdef _WIN32
inline constexpr bool kHaveArchiveClients = false;
#else
inline constexpr bool kHaveArchiveClients = true;
#endif
#define SKIP_WITHOUT_ARCHIVE_CLIENTS()                                                   \
  do {                                                                                   \
    if (!ziptest::kHaveArchiveClients)                                                   \
      GTEST_SKIP() << "python3, 7z and bsdtar are Linux programs, not run from Windows"; \
  } while (0)

inline CommandResult Run(const std::string& command) {
  CommandResult result;
#ifdef _WIN32
  result.output = "no archive clients on Windows: " + command;
  return result;
#else
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
#endif
}

// Runs a Python script with the given arguments (each shell-quoted).
inline CommandResult Python(const std::string& script, const std::string& args = "") {
  return Run("python3 -c " + ShellQuote(script) + " " + args);
}

inline std::string ReadBytes(const std::string& path) { return platform::ReadWholeFile(path); }
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  platform::WriteWholeFile(path, bytes);
}

inline uint16_t Get16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | (static_cast<uint8_t>(s[at + 1]) << 8));
}
inline uint32_t Get32(const std::string& s, size_t at) {
  return Get16(s, at) | (static_cast<uint32_t>(Get16(s, at + 2)) << 16);
}
inline void Put16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}
inline void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, static_cast<uint16_t>(v));
  Put16(s, at + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace ziptest
