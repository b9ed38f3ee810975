#include "app/LayerMarks.h"

#include <QStyle>

#include "core/LayerPreviewText.h"

QString LayerMark(const layers::PlannedLayer& layer) {
  return QString::fromUtf8(LayerMarkName(LayerMarkOf(layer)));
}

QString LayerTooltip(const layers::PlannedLayer& layer) { return QString::fromStdString(LayerTooltipText(layer)); }

void ShowLayerMarks(const std::array<QCheckBox*, kLayerCount>& boxes, const TLayerPreview* preview) {
  for (size_t i = 0; i < kLayerCount; ++i) {
    QCheckBox* box = boxes[i];
    const bool known = preview != nullptr && i < preview->plan.size();
    box->setProperty("mark", known ? LayerMark(preview->plan[i]) : QString());
    box->setToolTip(known ? LayerTooltip(preview->plan[i]) : QString());
    // A dynamic property takes effect in the style sheet only when the box is polished anew.
    box->style()->unpolish(box);
    box->style()->polish(box);
  }
}
