#include "layers/LayerChecks.h"

#include "layers/LayerCodes.h"

namespace layers {

namespace {

bool Takes(const PlannedLayer& layer) { return layer.source != LayerSource::Missing; }

// The maker reads the outline from GKO, or from GM1 where the outline was drawn on
// mechanical layer 1; a file that goes out under another code is not found there.
bool HasOutline(const std::vector<PlannedLayer>& plan) {
  for (const PlannedLayer& layer : plan) {
    if (layer.code == "GKO") {
      // The keep-out layer's file is the outline unless it is known to be something else.
      if (layer.alreadyRenamed) return true;
      if (Takes(layer) && layer.kind == FileKind::Gerber &&
          (!layer.function.IsKnown() || layer.function.kind == FunctionKind::Outline)) {
        return true;
      }
    }
    if (layer.code == "GM1" && Takes(layer) && layer.function.kind == FunctionKind::Outline) return true;
  }
  return false;
}

// The maker reads the holes from TXT only.
bool HasDrill(const std::vector<PlannedLayer>& plan) {
  for (const PlannedLayer& layer : plan) {
    if (layer.code == "TXT" && (layer.alreadyRenamed || (Takes(layer) && layer.function.IsDrill()))) return true;
  }
  return false;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : "、") + name;
  return text;
}

void CheckLayer(const PlannedLayer& layer, std::vector<std::string>& warnings) {
  if (!Takes(layer)) return;
  const std::string taken = layer.code + " 取 " + layer.file;
  if (layer.kind == FileKind::Other) warnings.push_back("不是 Gerber 或钻孔文件：" + taken);
  if (!CodeAllowsFunction(layer.code, layer.function)) {
    warnings.push_back("功能与扩展名不符：" + taken + "，识别为" + FunctionNameChinese(layer.function));
  }
  if (!layer.otherFiles.empty()) warnings.push_back("同一层有多个文件：" + taken + "，不取 " + Joined(layer.otherFiles));
}

}  // namespace

std::vector<std::string> CheckPlan(const std::vector<RecognisedFile>& files, const std::vector<PlannedLayer>& plan) {
  std::vector<std::string> warnings;
  if (!HasOutline(plan)) warnings.push_back("缺少外形层：GKO");
  if (!HasDrill(plan)) warnings.push_back("缺少钻孔文件：TXT");
  for (const PlannedLayer& layer : plan) CheckLayer(layer, warnings);
  for (const RecognisedFile& file : files) {
    if (file.function.kind == FunctionKind::InnerCopper) {
      warnings.push_back("内层不会打包：" + file.name + "（" + FunctionNameChinese(file.function) + "）");
    } else if (file.unnumberedInnerCopper) {
      warnings.push_back("内层不会打包：" + file.name + "（内层铜箔，层号未知）");
    }
  }
  return warnings;
}

}  // namespace layers
