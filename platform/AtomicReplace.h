// Puts new content in the place of a file so that a failure, or a power loss, at any moment
// leaves the name holding the whole old content or the whole new one. One routine serves
// the settings file and the archive.
#pragma once

#include <functional>
#include <string>

#include "platform/FileStream.h"

namespace platform {

// Writes a sibling file (siblingPrefix + a unique number, in path's folder) through write,
// gives it the old file's permissions, flushes it to the disk, renames it over path and
// flushes the folder. A symbolic link is written through: its target is replaced and the
// link stays a link. Before the rename any failure deletes the sibling and leaves path
// untouched; only the folder flush comes after it, and its failure is reported with the
// new content already whole under the name.
void ReplaceFileAtomically(const std::string& path, const std::string& siblingPrefix,
                           const std::function<void(FileStream& sibling)>& write);

// ReplaceFileAtomically with the bytes as the new content; the sibling is a hidden
// "." + name + "." file.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace platform
