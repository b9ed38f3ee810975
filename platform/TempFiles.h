// The folder for temporary files and uniquely named temporary files in a folder.
#pragma once

#include <string>

namespace platform {

// $TMPDIR when it names a folder, else "/tmp"; always ending in "/".
std::string TempDirectory();
// Creates a new empty file folder + prefix + a unique number (O_CREAT | O_EXCL, 0600) and
// returns its full name; EFCreateError when none can be made, naming nameInErrors, or
// folder + prefix when that is empty.
std::string CreateTempFile(const std::string& folder, const std::string& prefix,
                           const std::string& nameInErrors = std::string());

}  // namespace platform

namespace platform {
// The process's file-creation mask (for giving new files the usual permissions).
unsigned CurrentUmask();
}  // namespace platform
