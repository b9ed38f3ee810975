// The command line of tavelo-cli: what each option asks for, parsed into one record. A
// bad command line (an unknown option, a missing value, an unknown layer code) raises
// EUsageError, which the program answers with its usage text and status 64.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/LayerCodes.h"
#include "platform/Exception.h"

class EUsageError : public Exception { using Exception::Exception; };

struct TCliOptions {
  std::optional<std::string> settingsFile;  // --settings FILE
  std::optional<std::string> folder;        // FOLDER
  std::optional<std::array<bool, kLayerCount>> layers;  // --layers LIST
  std::optional<bool> zip;                  // --zip / --no-zip
  std::optional<std::string> name, tel, qq, postcode, address, memo;
  bool plan = false;
  bool recognise = false;                   // --recognise: recognition mode for this run
  bool json = false;
  bool save = false;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name.
TCliOptions ParseCliOptions(const std::vector<std::string>& args);

// "GTL,gbl" -> those layers ticked; "all" and "none" tick every layer or none.
std::array<bool, kLayerCount> ParseLayerList(const std::string& list);

// The short usage text printed with --help and after a usage error.
const char* UsageText();
