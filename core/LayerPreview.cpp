#include "core/LayerPreview.h"

#include "core/LayerRename.h"
#include "layers/LayerChecks.h"

TLayerPreview PreviewLayers(const std::string& folder, const std::array<bool, kLayerCount>& which,
                            bool recognition) {
  TLayerPreview preview;
  preview.files = layers::RecogniseFolder(folder);
  std::vector<layers::TickedLayer> ticked;
  for (size_t i = 0; i < kLayerCount; ++i)
    if (which[i]) ticked.push_back({kLayerCodes[i].code, ChooseLayerFile(folder, kLayerCodes[i].code)});
  preview.plan = layers::PlanLayers(preview.files, ticked, recognition);
  preview.warnings = layers::CheckPlan(preview.files, preview.plan);
  return preview;
}
