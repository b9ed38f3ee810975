#include "app/LayerMarks.h"

#include <QStyle>

#include "layers/LayerFunction.h"

namespace {

QString U(const std::string& utf8) { return QString::fromUtf8(utf8); }

QString FileLine(const layers::PlannedLayer& layer) {
  QString line = QString::fromUtf8("将取：") + U(layer.file);
  if (layer.function.IsKnown())
    line += QString::fromUtf8("（") + U(layers::FunctionNameChinese(layer.function)) +
            QString::fromUtf8("）");
  if (!layer.evidence.empty()) line += QString::fromUtf8("\n依据：") + U(layer.evidence);
  return line;
}

}  // namespace

QString LayerMark(const layers::PlannedLayer& layer) {
  if (layer.alreadyRenamed) return "renamed";
  if (layer.source == layers::LayerSource::Missing) return "missing";
  return layer.source == layers::LayerSource::Recognised ? "recognised" : "present";
}

QString LayerTooltip(const layers::PlannedLayer& layer) {
  QString tip;
  if (layer.alreadyRenamed) tip = QString::fromUtf8("已经改名：") + U(layer.code) + "\n";
  if (layer.source == layers::LayerSource::Missing) {
    tip += QString::fromUtf8("文件没有找到：*.") + U(layer.code);
    if (!layer.recognisedFile.empty())
      tip += QString::fromUtf8("\n识别模式将取：") + U(layer.recognisedFile) +
             QString::fromUtf8("\n依据：") + U(layer.recognisedEvidence);
  } else {
    tip += FileLine(layer);
  }
  for (const std::string& other : layer.otherFiles) tip += QString::fromUtf8("\n不取：") + U(other);
  return tip;
}

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
