// The fixed vocabulary of layer functions that recognition gives a Gerber or drill file,
// with its English names ("top copper", "inner copper 2", ...) and the Chinese names the
// warnings use. Unknown is a value of its own: where no evidence decides, nothing is guessed.
#pragma once

#include <string>

namespace layers {

enum class FunctionKind {
  Unknown,
  TopCopper,
  BottomCopper,
  InnerCopper,  // numbered from 1 below the top copper
  TopMask,
  BottomMask,
  TopSilk,
  BottomSilk,
  TopPaste,
  BottomPaste,
  Outline,
  Mechanical,  // numbered as the board tool numbers its mechanical layers
  DrillPlated,
  DrillNonPlated,
  Drill,  // holes whose plating the file does not state, or plated and non-plated together
  TopPadMaster,
  BottomPadMaster,
};

struct LayerFunction {
  FunctionKind kind = FunctionKind::Unknown;
  int number = 0;  // InnerCopper and Mechanical only; 0 for every other kind

  bool IsKnown() const { return kind != FunctionKind::Unknown; }
  bool IsDrill() const {
    return kind == FunctionKind::DrillPlated || kind == FunctionKind::DrillNonPlated ||
           kind == FunctionKind::Drill;
  }
  bool operator==(const LayerFunction&) const = default;
};

// "top copper", "inner copper 2", "mechanical 1", "drill non-plated", ...; "unknown" for an
// unknown function.
std::string FunctionName(LayerFunction function);

// The Chinese name used in warnings: "顶层铜箔", "内层铜箔 2", ...; "未知" for an unknown function.
std::string FunctionNameChinese(LayerFunction function);

}  // namespace layers
