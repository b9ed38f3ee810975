// Where the settings file lives. Beside the program (the designed file) when the program's
// folder can be written, as in a build folder (and always on Windows); an installed program
// in a folder the user cannot write keeps it in the user's configuration folder instead:
// $XDG_CONFIG_HOME/tavelo/, else ~/.config/tavelo/. The window and tavelo-cli both ask here,
// so they always use the same file.
#pragma once

#include <string>

// What the choice depends on, gathered from the system by SettingsLocationFor; tests give
// their own.
struct TSettingsPlaces {
  std::string besideFile;            // the designed file beside the program
  bool programFolderWritable = true; // the folder of besideFile takes new files
  std::string xdgConfigHome;         // $XDG_CONFIG_HOME, empty when unset
  std::string home;                  // $HOME, empty when unset
};

struct TSettingsLocation {
  std::string file;
  // The folder that saving must make first when it is missing (the user's configuration
  // folder for the program); empty for the file beside the program, whose folder exists.
  std::string folderToMake;
};

// The decision itself. A relative $XDG_CONFIG_HOME is ignored, as the XDG rules say; with
// no usable configuration folder at all the file stays beside the program.
TSettingsLocation ChooseSettingsLocation(const TSettingsPlaces& places);

// The location for besideFile on this system, now.
TSettingsLocation SettingsLocationFor(const std::string& besideFile);

// Makes the location's folder when it is missing. A folder that cannot be made is left to
// the save, whose file error then names the file.
void PrepareSettingsFolder(const TSettingsLocation& location);
