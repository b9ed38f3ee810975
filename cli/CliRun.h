// One run of tavelo-cli: read the saved choices, let the options override them, then plan
// or run Execute through the core and print the outcome as text or JSON. Returns the exit
// status: 0 done without layer messages, 1 with at least one, 2 an error ended the run,
// 64 a bad command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

enum TCliStatus { kExitDone = 0, kExitLayerMessages = 1, kExitError = 2, kExitUsage = 64 };

// args are the arguments after the program name; executablePath places the default
// settings file (the file the window uses: "tavelo.ini" in the program's folder, or in the
// user's configuration folder for an installed program). With progressOnTerminal (standard
// error is a terminal) a pack shows its progress line on err, except with --json.
int RunCli(const std::vector<std::string>& args, const std::string& executablePath,
           std::ostream& out, std::ostream& err, bool progressOnTerminal = false);
