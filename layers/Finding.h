// One piece of evidence about a file's function: what it says and, in a short English
// text, where it was found. A finding whose function is unknown still decides: it says the
// file is something outside the vocabulary (a drill map, an assembly drawing), so weaker
// evidence further down the order of trust is not consulted.
#pragma once

#include <optional>
#include <string>

#include "layers/LayerFunction.h"

namespace layers {

struct Finding {
  LayerFunction function;
  std::string evidence;
  // The file is certainly an inner copper layer, yet no evidence gives its number: the
  // function stays unknown, and the check for inner layers left out still names the file.
  bool unnumberedInnerCopper = false;
};

// No finding: this source of evidence says nothing about the file.
using MaybeFinding = std::optional<Finding>;

}  // namespace layers
