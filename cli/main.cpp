// tavelo-cli: the command line over the same Execute as the window. Builds the upper-case
// table first, as every front end does, then hands the arguments to RunCli.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/ProgressLine.h"
#include "kztools/kzStrTools.h"
#include "platform/Console.h"
#include "platform/Paths.h"

int main(int argc, char* argv[]) {
  InitUpperTable();
  platform::UseUtf8Console();
  const int status = RunCli(platform::CommandLineArguments(argc, argv), platform::ExecutablePath(),
                            std::cout, std::cerr, StandardErrorIsTerminal());
  std::cout.flush();
  return status;
}
