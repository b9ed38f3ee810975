// What every system's folder listing shares: the order of its entries, so that results
// never depend on the order in which a disk hands out its entries.
#pragma once

#include <vector>

#include "platform/FileSystem.h"

namespace platform {

// Sorts by name compared byte by byte after ASCII upper-casing; names equal but for case
// keep byte order.
void SortListing(std::vector<DirEntry>& entries);

}  // namespace platform
