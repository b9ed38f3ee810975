#include "core/LayerPreviewText.h"

#include "layers/LayerFunction.h"

namespace {

std::string FileLine(const layers::PlannedLayer& layer) {
  std::string line = "将取：" + layer.file;
  if (layer.function.IsKnown()) line += "（" + layers::FunctionNameChinese(layer.function) + "）";
  if (!layer.evidence.empty()) line += "\n依据：" + layer.evidence;
  return line;
}

}  // namespace

TLayerMark LayerMarkOf(const layers::PlannedLayer& layer) {
  if (layer.alreadyRenamed) return TLayerMark::Renamed;
  if (layer.source == layers::LayerSource::Missing) return TLayerMark::Missing;
  return layer.source == layers::LayerSource::Recognised ? TLayerMark::Recognised : TLayerMark::Present;
}

const char* LayerMarkName(TLayerMark mark) {
  switch (mark) {
    case TLayerMark::Present: return "present";
    case TLayerMark::Recognised: return "recognised";
    case TLayerMark::Renamed: return "renamed";
    case TLayerMark::Missing: break;
  }
  return "missing";
}

const char* LayerStateText(TLayerMark mark) {
  switch (mark) {
    case TLayerMark::Present: return "有文件";
    case TLayerMark::Recognised: return "识别";
    case TLayerMark::Renamed: return "已改名";
    case TLayerMark::Missing: break;
  }
  return "缺少";
}

std::string LayerTooltipText(const layers::PlannedLayer& layer) {
  std::string tip;
  if (layer.alreadyRenamed) tip = "已经改名：" + layer.code + "\n";
  if (layer.source == layers::LayerSource::Missing) {
    tip += "文件没有找到：*." + layer.code;
    if (!layer.recognisedFile.empty())
      tip += "\n识别模式将取：" + layer.recognisedFile + "\n依据：" + layer.recognisedEvidence;
  } else {
    tip += FileLine(layer);
  }
  for (const std::string& other : layer.otherFiles) tip += "\n不取：" + other;
  return tip;
}

const std::string& LayerRowFile(const layers::PlannedLayer& layer) {
  return layer.file.empty() ? layer.recognisedFile : layer.file;
}

const std::string& LayerRowEvidence(const layers::PlannedLayer& layer) {
  return layer.file.empty() ? layer.recognisedEvidence : layer.evidence;
}
