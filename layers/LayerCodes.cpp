#include "layers/LayerCodes.h"

#include "layers/Text.h"

namespace layers {

namespace {

using K = FunctionKind;

struct CodeFunction {
  std::string_view code;
  FunctionKind kind;
  int number;
};

// The function each code stands for; TXT stands for the drill in all its forms.
constexpr CodeFunction kCodeFunctions[] = {
    {"GTO", K::TopSilk, 0},      {"GTP", K::TopPaste, 0},      {"GTS", K::TopMask, 0},
    {"GTL", K::TopCopper, 0},    {"GBO", K::BottomSilk, 0},    {"GBP", K::BottomPaste, 0},
    {"GBS", K::BottomMask, 0},   {"GBL", K::BottomCopper, 0},  {"GKO", K::Outline, 0},
    {"GM1", K::Mechanical, 1},   {"GPT", K::TopPadMaster, 0},  {"GPB", K::BottomPadMaster, 0},
};

}  // namespace

std::string_view CodeForFunction(LayerFunction function) {
  if (function.IsDrill()) return "TXT";
  for (const CodeFunction& entry : kCodeFunctions) {
    if (entry.kind == function.kind && entry.number == function.number) return entry.code;
  }
  return {};
}

bool CodeAllowsFunction(std::string_view code, LayerFunction function) {
  if (!function.IsKnown()) return true;
  if (code == "GM1" && function.kind == K::Outline) return true;
  return CodeForFunction(function) == code;
}

int CandidateRank(std::string_view code, LayerFunction function) {
  if (code != "TXT") return 0;
  switch (function.kind) {
    case K::Drill: return 0;
    case K::DrillPlated: return 1;
    default: return 2;
  }
}

bool IsLayerCode(std::string_view name) {
  for (std::string_view code : kLayerCodes) {
    if (EqualsIgnoringCase(name, code)) return true;
  }
  return false;
}

std::string_view CodeOfExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string_view ext = name.substr(dot + 1);
  for (std::string_view code : kLayerCodes) {
    if (EqualsIgnoringCase(ext, code)) return code;
  }
  return {};
}

}  // namespace layers
