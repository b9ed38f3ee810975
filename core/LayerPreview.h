// What each layer of a folder will take, before Execute: the folder's files recognised by
// their content and names, the plan for the layer codes, and the checks a board maker's
// eyes would make. Shared by the window's preview, tavelo-cli --plan and recognition mode.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/LayerCodes.h"
#include "layers/LayerPlan.h"
#include "layers/Recognise.h"

struct TLayerPreview {
  std::vector<layers::RecognisedFile> files;  // every plain file of the folder
  std::vector<layers::PlannedLayer> plan;     // one per layer code, in layer order
  std::vector<std::string> warnings;          // Chinese one-line warnings (UTF-8)
};

// The preview of folder (ending in the path delimiter). With recognition on, a code that
// has no "*.CODE" file takes the file recognised as its layer. The warnings judge what the
// ticked codes take, since only those go out.
TLayerPreview PreviewLayers(const std::string& folder, const std::array<bool, kLayerCount>& ticked,
                            bool recognition);
