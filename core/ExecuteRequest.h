// The plain records that every front end exchanges with Execute: what to do (the folder,
// the ticked layers, the contact details, packaging, the clock) and what came of it (the
// message lines, each layer's outcome, the contact sheet and the archive). Texts are UTF-8,
// the window's and the file system's encoding; the core converts to GBK where files need it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/LayerCodes.h"
#include "layers/Recognise.h"
#include "platform/DateTime.h"

struct TContactFields {
  std::string person, tel, qq, postcode, address;
  // The memo's lines as the front end displays them (a window wraps long paragraphs; the
  // command line takes each given line as one).
  std::vector<std::string> memoLines;
};

struct TExecuteRequest {
  std::string folder;  // the chosen folder's path, with or without a trailing delimiter
  std::array<bool, kLayerCount> ticked{};  // in layer order
  TContactFields contact;
  bool pack = false;
  // Recognition mode: a ticked layer without a "*.CODE" file takes the file recognised as
  // that layer, and the checks' warnings join the report. Off, Execute is as designed.
  bool recognise = false;
  std::function<platform::LocalDateTime()> clock = platform::LocalNow;
  // Told how far the archive is written, 0 to 100 of the whole run, while it is written;
  // optional, and what Execute writes is the same with it or without it.
  std::function<void(int percent)> progress;
};

enum class TLayerOutcome { Renamed, NotFound, AlreadyExists, RenameFailed, Planned };

struct TLayerResult {
  std::string code;
  std::string file;  // the file taken (bare name), empty when none was found
  TLayerOutcome outcome = TLayerOutcome::NotFound;
};

struct TExecuteReport {
  std::string workingFolder;           // ends in the path delimiter
  std::vector<TLayerResult> layers;    // one per ticked layer, in layer order
  std::vector<std::string> packed;     // full paths handed to the archive writer
  std::optional<std::string> contactSheet;  // full path, once written (or planned)
  std::optional<std::string> archive;       // archive name without the folder
  std::vector<std::string> messages;   // the result report's lines, without "执行成功。"
  // Recognition of the folder and the checks' warnings: always in a plan, in a run only in
  // recognition mode (where the warnings are also lines of messages).
  std::vector<layers::RecognisedFile> files;
  std::vector<std::string> warnings;
};

// The lowercase word for an outcome used by machine-readable output.
const char* OutcomeWord(TLayerOutcome outcome);
