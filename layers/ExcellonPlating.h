// The plating that an Excellon drill file states in its comments: ";TYPE=PLATED" and
// ";TYPE=NON_PLATED" (Altium and tools that follow it), or a comment line that is just
// the word, such as "; PLATED", "; NON_PLATED", "; NPTH".
#pragma once

#include <string_view>

#include "layers/Finding.h"

namespace layers {

// drill plated, drill non-plated, or drill when comments state both (a file that holds
// both kinds of holes); nothing when no comment states a plating.
MaybeFinding FindingFromPlatingComments(std::string_view head);

}  // namespace layers
