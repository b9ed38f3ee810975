// The permission bits of files: an archive rebuilt under its old name keeps the
// permissions that the old file had.
#pragma once

#include <string>

namespace platform {

// Gives to the permission bits of from; false when either file cannot be reached.
bool CopyFileMode(const std::string& from, const std::string& to);

}  // namespace platform
