// What deciding where a program keeps its own files needs of the system: whether this
// process may create files in a folder, the value of an environment variable, and making a
// folder with its missing parents.
#pragma once

#include <string>

namespace platform {

// This process may create files in folder (access(W_OK)). False when the folder does not
// exist. As root every folder of a writable file system passes, whatever its mode bits.
bool FolderWritable(const std::string& folder);

// The value of the environment variable name; empty when it is not set.
std::string EnvironmentValue(const char* name);

// Creates folder and every missing parent (mode 0700, as a user's configuration folders
// are). True when folder exists as a folder afterwards; false otherwise, with errno kept.
bool MakeFolders(const std::string& folder);

}  // namespace platform
