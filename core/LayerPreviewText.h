// The words the windows show for a previewed layer: its mark (what Execute would take), the
// Chinese state that names the mark, and the tooltip with the file and the evidence. Shared
// by the Qt window and the Windows window, so both say the same thing (UTF-8).
#pragma once

#include <string>

#include "layers/LayerPlan.h"

// The layer panel's captions.
inline constexpr const char* kLayerPanelTitle = "图层预览";
inline constexpr const char* kRecognitionCaption = "识别模式：按内容识别没有扩展名代码的图层文件";
inline constexpr const char* kLayerColumns[] = {"图层", "状态", "文件", "依据"};
inline constexpr const char* kChecksCaption = "发送前检查：";
inline constexpr const char* kNoWarnings = "没有发现问题。";

enum class TLayerMark {
  Present,     // a "*.CODE" file
  Recognised,  // the file recognition mode takes
  Renamed,     // a file named the bare code already exists
  Missing,     // nothing to take
};

TLayerMark LayerMarkOf(const layers::PlannedLayer& layer);

// "present", "recognised", "renamed" or "missing": the name the Qt window's style sheet uses.
const char* LayerMarkName(TLayerMark mark);

// "有文件", "识别", "已改名" or "缺少".
const char* LayerStateText(TLayerMark mark);

// Several lines: the file it will take with its function and evidence, or "文件没有找到：*.CODE"
// with the file recognition mode would take; then the files of the layer it leaves.
std::string LayerTooltipText(const layers::PlannedLayer& layer);

// The file a panel row names (the one taken, else the one recognition offers) and its evidence.
const std::string& LayerRowFile(const layers::PlannedLayer& layer);
const std::string& LayerRowEvidence(const layers::PlannedLayer& layer);
