// The command line and the console of a console program: its arguments as UTF-8 (the
// program's text everywhere) and a standard output that takes UTF-8 bytes as they are.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's name. On Linux they are argv as given; on Windows the
// UTF-16 command line converted to UTF-8, since argv holds only the ANSI code page.
std::vector<std::string> CommandLineArguments(int argc, char* argv[]);

// Makes standard output and error pass bytes unchanged (no CR inserted before LF) and the
// console show them as UTF-8. Nothing to do on Linux.
void UseUtf8Console();

}  // namespace platform
