// The value of a Gerber X2 ".FileFunction" attribute ("Copper,L2,Inr,Plane",
// "Soldermask,Top", "Plated,1,4,PTH", ...) read as a layer function. The same value comes
// from a %TF attribute, from its G04 #@! comment form, from an Excellon "; #@!" comment and
// from a Gerber job file, so all of them share this reader.
#pragma once

#include <optional>
#include <string_view>

#include "layers/LayerFunction.h"

namespace layers {

// The function that value states. A well-formed value outside the vocabulary (a drill map,
// an assembly drawing, glue, "Other,..." that is no mechanical layer) gives an unknown
// function, which still decides; a value that cannot be read gives nothing.
std::optional<LayerFunction> FunctionFromX2(std::string_view value);

}  // namespace layers
