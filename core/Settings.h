// The remembered choices: the ticked layers, the contact details, the packaging choice and
// the folder, kept in the first block of the root key "Option" of the settings file (GBK
// text in the settings store's format). Every front end reads and writes them here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/LayerCodes.h"

// The 21 values of the "Option" block, as UTF-8 text.
struct TSettings {
  std::array<bool, kLayerCount> layers{};  // in layer order
  std::string name, tel, qq, postcode, address;
  std::string memo;  // the memo's whole text, lines separated by CR LF
  bool zip = false;
  std::string path;  // the chosen folder, without a trailing delimiter except for a root
  // Recognition mode, kept apart from the "Option" block (in the root key "Tavelo") so
  // that the block stays as it always was; nothing when never chosen, and then nothing of
  // it is written.
  std::optional<bool> recognise;
};

// The settings file of an executable: its path with the extension replaced by ".ini".
std::string SettingsFileFor(const std::string& executablePath);

// Reads the first block of "Option". Nothing when there is no file or no such block; a
// value the block lacks reads as FALSE or empty. Errors of the store and the file layer
// pass out unchanged.
std::optional<TSettings> LoadSettingsFile(const std::string& file);

// Writes the 21 values into the first block of "Option" (made when missing), keeping
// everything else in the file as it was, and saves the file. Errors pass out unchanged;
// one that arises before the save leaves the file untouched.
void SaveSettingsFile(const std::string& file, const TSettings& settings);

// The lines of a memo's whole text: lines end at CR LF, CR or LF, and a final line break
// gives no further line; an empty text has none.
std::vector<std::string> MemoLinesOf(const std::string& text);
