// The machine-readable form of one run: a JSON object with the working folder, each ticked
// layer's file and outcome, the contact sheet, the archive, the report's lines and the
// error that ended the run, if any.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ExecuteRequest.h"

// A JSON string literal of text. File names are bytes: a sequence that is not valid UTF-8
// becomes U+FFFD, so the output is always valid JSON.
std::string JsonString(std::string_view text);

std::string JsonReport(const TExecuteReport& report, const std::vector<std::string>& messages,
                       const std::optional<std::string>& error);
