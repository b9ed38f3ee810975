// tavelo-cli: the command line over the same Execute as the window. Builds the upper-case
// table first, as every front end does, then hands the arguments to RunCli.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/ProgressLine.h"
#include "kztools/kzStrTools.h"
#include "platform/Paths.h"

int main(int argc, char* argv[]) {
  InitUpperTable();
  std::vector<std::string> args(argv + 1, argv + argc);
  const int status = RunCli(args, platform::ExecutablePath(), std::cout, std::cerr,
                            StandardErrorIsTerminal());
  std::cout.flush();
  return status;
}
