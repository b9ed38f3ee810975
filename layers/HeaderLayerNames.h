// The layer names that board tools write into Gerber header comments of the form
// "G04 Layer: <name>*": EasyEDA writes its own layer name ("TopLayer", "BoardOutlineLayer"),
// Cadence Allegro one "CLASS/SUBCLASS" line for each record the film holds
// ("ETCH/TOP", "PIN/SOLDERMASK_TOP", "BOARD GEOMETRY/OUTLINE"); gEDA pcb and pcb-rnd name
// the layer group in "G04 Title: <board>, <group>*".
#pragma once

#include <string_view>

#include "layers/Finding.h"

namespace layers {

// The function these comments in head state, or nothing when there are none or they do
// not agree on one function.
MaybeFinding FindingFromHeaderLayerNames(std::string_view head);

}  // namespace layers
