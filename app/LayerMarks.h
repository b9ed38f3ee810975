// The preview on the layer ticks: each layer's check box is coloured by what it will take
// (a file, a recognised file, nothing, or already renamed) and its tooltip names the file
// and the evidence. The captions and the layout stay as designed.
#pragma once

#include <QCheckBox>
#include <QString>
#include <array>

#include "core/LayerCodes.h"
#include "core/LayerPreview.h"

// The mark of one planned layer: "present", "recognised", "renamed" or "missing".
QString LayerMark(const layers::PlannedLayer& layer);

// The tooltip text of one planned layer (Chinese, several lines).
QString LayerTooltip(const layers::PlannedLayer& layer);

// Marks every box from preview; an empty preview (no folder chosen) clears the marks.
void ShowLayerMarks(const std::array<QCheckBox*, kLayerCount>& boxes, const TLayerPreview* preview);
