#include "core/SettingsLocation.h"

#include "platform/FolderAccess.h"
#include "platform/Paths.h"

namespace {

const char kProgramFolderName[] = "tavelo";

bool Absolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config; empty when neither is known.
std::string UserConfigHome(const TSettingsPlaces& places) {
  if (Absolute(places.xdgConfigHome)) return places.xdgConfigHome;
  if (Absolute(places.home)) return platform::IncludeTrailingDelimiter(places.home) + ".config";
  return std::string();
}

}  // namespace

TSettingsLocation ChooseSettingsLocation(const TSettingsPlaces& places) {
  if (places.programFolderWritable) return {places.besideFile, std::string()};
  const std::string configHome = UserConfigHome(places);
  if (configHome.empty()) return {places.besideFile, std::string()};
  const std::string folder =
      platform::IncludeTrailingDelimiter(configHome) + kProgramFolderName;
  return {folder + "/" + platform::ExtractFileName(places.besideFile), folder};
}

TSettingsLocation SettingsLocationFor(const std::string& besideFile) {
#ifdef _WIN32
  // Windows programs keep their settings beside themselves, as designed.
  return {besideFile, std::string()};
#else
  TSettingsPlaces places;
  places.besideFile = besideFile;
  places.programFolderWritable = platform::FolderWritable(platform::ExtractFilePath(besideFile));
  places.xdgConfigHome = platform::EnvironmentValue("XDG_CONFIG_HOME");
  places.home = platform::EnvironmentValue("HOME");
  return ChooseSettingsLocation(places);
#endif
}

void PrepareSettingsFolder(const TSettingsLocation& location) {
  if (!location.folderToMake.empty()) platform::MakeFolders(location.folderToMake);
}
