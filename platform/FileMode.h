// The permission bits of files: a file rebuilt under its old name (an archive, the
// settings file) keeps the permissions that the old file had.
#pragma once

#include <string>

namespace platform {

// Gives replacement the permission bits of old, or those of a new file (0666 less the
// process's umask) when old does not exist. EWriteError when they cannot be set.
void GiveReplacementMode(const std::string& old, const std::string& replacement);

}  // namespace platform
