// The identity of a folder on disk (device and inode), so that a walk through folder
// links can tell a folder it is already inside from a new one.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct FolderId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderId&) const = default;
};

// The identity of the folder at path (links followed); false when it cannot be read.
bool GetFolderId(const std::string& path, FolderId& id);

}  // namespace platform
