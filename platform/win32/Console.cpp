// The Windows console program's arguments (GetCommandLineW, CommandLineToArgvW) and its
// output in UTF-8 (SetConsoleOutputCP, binary standard streams).
#include "platform/Console.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/win32/WinApi.h"
// After windows.h, which it builds on.
#include <shellapi.h>

namespace platform {

std::vector<std::string> CommandLineArguments(int, char*[]) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(win32::Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

void UseUtf8Console() {
  SetConsoleOutputCP(CP_UTF8);
  // Text mode would turn each LF into CR LF: the output's bytes are those of Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace platform
