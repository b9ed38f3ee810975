// The names under which a file is stored in an archive: the name normalized through the
// archive's code page, the name part as FileName and, when paths are stored, the folder
// part made relative (never absolute) as Directory.
#pragma once

#include <string>
#include <string_view>

struct TStoreNameOptions {
  bool StorePaths = false;
  bool RelativePaths = false;
  bool StoreVolumes = false;
  bool Store83Names = false;
  std::string RootDir;  // folder that RelativePaths strips from stored folders
};

// name converted to the archive's code page and back, so that every character the
// archive cannot hold is replaced the way storing it replaces it.
std::string NormalizeName(std::string_view name);

// The FileName and Directory under which the file fullName is stored. Directory is empty
// unless StorePaths is on; otherwise it is the folder part ending in "/", without the
// RootDir beginning when RelativePaths is on, and never beginning with "/".
void StoredName(std::string_view fullName, const TStoreNameOptions& options, std::string& fileName,
                std::string& directory);

// The Directory under which name would be stored (empty when StorePaths is off), for
// matching a file with an existing entry. name is already normalized (and may be
// lower-cased); the result is the Directory that StoredName gives for the same name.
std::string StoredPath(std::string_view name, const TStoreNameOptions& options);
