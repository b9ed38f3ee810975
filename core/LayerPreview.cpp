#include "core/LayerPreview.h"

#include "core/LayerRename.h"
#include "layers/LayerChecks.h"

TLayerPreview PreviewLayers(const std::string& folder, const std::array<bool, kLayerCount>& ticked,
                            bool recognition) {
  TLayerPreview preview;
  preview.files = layers::RecogniseFolder(folder);
  std::vector<layers::TickedLayer> every;
  for (size_t i = 0; i < kLayerCount; ++i)
    every.push_back({kLayerCodes[i].code, ChooseLayerFile(folder, kLayerCodes[i].code), ticked[i]});
  preview.plan = layers::PlanLayers(preview.files, every, recognition);
  std::vector<layers::PlannedLayer> goingOut;
  for (size_t i = 0; i < kLayerCount; ++i)
    if (ticked[i]) goingOut.push_back(preview.plan[i]);
  preview.warnings = layers::CheckPlan(preview.files, goingOut);
  return preview;
}
