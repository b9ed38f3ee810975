#include "core/SettingsRescue.h"

#include <exception>

#include "kztools/kzIniTools.h"
#include "platform/FileSystem.h"

namespace {

// The error that loading file raises, or none when it loads (or does not exist).
std::exception_ptr LoadErrorOf(const std::string& file) {
  if (!platform::FileExists(file)) return nullptr;
  try {
    TKZIniFile ini;
    ini.LoadFromFile(file);
  } catch (const Exception&) {
    return std::current_exception();
  }
  return nullptr;
}

std::string MessageOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  }
}

// A message followed by more text: with a full stop after it where the error box would
// add one, so the two sentences read apart.
std::string Sentence(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

// Moves file to a free ".bad" name; the name taken, or empty when the system refused.
std::string MoveAside(const std::string& file) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string kept = KeptAsideName(file);
    if (platform::RenameNoReplace(file, kept)) return kept;
    if (!platform::PathExists(kept)) return std::string();  // refused, not taken meanwhile
  }
  return std::string();
}

}  // namespace

std::string KeptAsideName(const std::string& file) {
  std::string name = file + ".bad";
  for (int n = 1; platform::PathExists(name); ++n) name = file + ".bad." + std::to_string(n);
  return name;
}

void SaveSettingsKeepingBrokenFile(const std::string& file, const TSettings& settings) {
  const std::exception_ptr loadError = LoadErrorOf(file);
  if (!loadError) return SaveSettingsFile(file, settings);
  const std::string kept = MoveAside(file);
  if (kept.empty()) std::rethrow_exception(loadError);  // as designed: nothing is written
  try {
    SaveSettingsFile(file, settings);
  } catch (...) {
    platform::RenameNoReplace(kept, file);
    throw;
  }
  throw ESettingsKeptAside(Sentence(MessageOf(loadError)) +
                           " The settings file could not be loaded and was kept as \"" + kept +
                           "\"; the current choices were saved to a new \"" + file + "\".");
}
