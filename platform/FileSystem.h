// Folder search with attributes, existence tests, rename and delete (Linux and Windows
// forms). Listings are sorted by name compared after ASCII upper-casing, so results never
// depend on the order in which the disk hands out its entries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DirEntry {
  std::string name;      // bare name inside the folder
  bool isDir = false;    // a folder (links followed)
  bool isHidden = false; // Linux: the name begins with "."; Windows: the hidden attribute
  bool isSystem = false; // Linux: neither a regular file nor a folder (socket, FIFO, device);
                         // Windows: the system attribute
  uint64_t size = 0;     // bytes, for regular files
  // A plain file: a regular file that is not hidden.
  bool IsPlainFile() const { return !isDir && !isSystem && !isHidden; }
};

// The wildcard rule of folder searches: "*" stands for any run of bytes, "?" for exactly
// one, every other byte matches itself ignoring ASCII case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Every entry of folder (without "." and "..") whose name matches pattern, sorted. A
// folder that does not exist gives an empty list; one that cannot be listed, EFOpenError.
std::vector<DirEntry> ListFolder(const std::string& folder, std::string_view pattern = "*");

// A regular file (links followed) exists at path. Folders do not count.
bool FileExists(const std::string& path);
// A folder exists at path.
bool DirectoryExists(const std::string& path);
// Anything (file, folder, other) exists at path; the lookup of a search "with all
// attributes". Fills size when it is a regular file.
bool PathExists(const std::string& path, uint64_t* size = nullptr);

// Renames within the file system, never replacing an existing entry of the new name.
// Returns false when the system refuses (LastSystemError() tells why): a refused rename is
// an answer.
bool RenameNoReplace(const std::string& from, const std::string& to);
// Renames, replacing the target atomically (used to put a finished file in place);
// EFCreateError naming the target when the system refuses.
void RenameReplace(const std::string& from, const std::string& to);
// Deletes a file; false when it cannot (errno kept), for clean-up that goes on regardless.
bool DeleteFile(const std::string& path);
// Flushes a folder's entries to the disk, so that a rename in it survives a power loss
// (EWriteError, or EFOpenError when the folder cannot be opened).
void SyncFolder(const std::string& folder);
// The path that path's symbolic links lead to, followed to the end; path itself when it is
// no link or nothing is there. EFOpenError (ELOOP) for a loop of links.
std::string ResolveLinks(const std::string& path);

}  // namespace platform
