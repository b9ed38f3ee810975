// Altium's header comment "G04 Layer_Physical_Order=<p>*" in a copper Gerber: the layer's
// place in the stack, 1 being the top copper. Read together with the file's Protel/Altium
// extension it numbers an inner layer as the X2 attribute "Copper,L<p>,Inr" does.
#pragma once

#include <string_view>

#include "layers/Finding.h"

namespace layers {

// The finding of the physical order comment in head, for a file called name:
//   an inner-layer extension (".G<n>", ".GP<n>") and p >= 2   inner copper p - 1
//   ".GTL" and p = 1, or no copper extension and p = 1        top copper
//   ".GBL" and p >= 2                                          bottom copper
// An order that contradicts the extension (1 on ".GBL" or ".G1", 2 on ".GTL"), or two
// comments that disagree, decide an unknown function with the contradiction as evidence:
// the name is not believed either.
// Nothing without the comment, or for p >= 2 without a copper extension (an inner layer or
// the bottom: the comment does not say which).
MaybeFinding FindingFromPhysicalOrder(std::string_view name, std::string_view head);

}  // namespace layers
