// TDirSearch: walks one folder tree and hands out the full names of the files whose names
// match a pattern, depth first in listing order. The folder text may itself hold
// wildcards; each folder level after the first wildcard then limits the sub-folders entered.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/FolderIdentity.h"

class TDirSearch {
 public:
  // folder gets a trailing delimiter; filePattern is an IsMatch pattern for the name part.
  TDirSearch(std::string_view folder, bool recurse, std::string filePattern);

  // The full name of the next matching file, or an empty text when there is none left.
  std::string Next();
  // The listing entry of the name last returned by Next (its size, attributes).
  const platform::DirEntry& LastEntry() const { return last_; }

  // The folder that a search of folder actually opens: folder itself (with a trailing
  // delimiter), or, when it holds wildcards, its part up to the last delimiter before the
  // first one.
  static std::string OpenedFolder(std::string_view folder);

 private:
  // One open enumeration: a folder and the position reached in its sorted listing.
  struct TSearchData {
    std::string folder;  // with trailing delimiter; empty for the current folder
    std::vector<platform::DirEntry> entries;
    size_t index = 0;
    platform::FolderId id;
  };

  // Pushes an enumeration of folder, unless a link leads back into a folder that the
  // walk is already inside (which would repeat the tree without end).
  void Enter(std::string folder);

  bool recurse_;
  std::string filePattern_;
  // Patterns that the sub-folder entered at level 0, 1, ... must match.
  std::vector<std::string> folderPatterns_;
  std::vector<TSearchData> stack_;
  platform::DirEntry last_;
};
