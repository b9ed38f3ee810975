#include "layers/LayerFunction.h"

namespace layers {

namespace {

struct Names {
  const char* english;
  const char* chinese;
};

Names NamesOf(FunctionKind kind) {
  switch (kind) {
    case FunctionKind::Unknown: return {"unknown", "未知"};
    case FunctionKind::TopCopper: return {"top copper", "顶层铜箔"};
    case FunctionKind::BottomCopper: return {"bottom copper", "底层铜箔"};
    case FunctionKind::InnerCopper: return {"inner copper", "内层铜箔"};
    case FunctionKind::TopMask: return {"top mask", "顶层阻焊"};
    case FunctionKind::BottomMask: return {"bottom mask", "底层阻焊"};
    case FunctionKind::TopSilk: return {"top silk", "顶层丝印"};
    case FunctionKind::BottomSilk: return {"bottom silk", "底层丝印"};
    case FunctionKind::TopPaste: return {"top paste", "顶层锡膏"};
    case FunctionKind::BottomPaste: return {"bottom paste", "底层锡膏"};
    case FunctionKind::Outline: return {"outline", "外形"};
    case FunctionKind::Mechanical: return {"mechanical", "机械层"};
    case FunctionKind::DrillPlated: return {"drill plated", "金属化孔钻孔"};
    case FunctionKind::DrillNonPlated: return {"drill non-plated", "非金属化孔钻孔"};
    case FunctionKind::Drill: return {"drill", "钻孔"};
    case FunctionKind::TopPadMaster: return {"top pad master", "顶层焊盘"};
    case FunctionKind::BottomPadMaster: return {"bottom pad master", "底层焊盘"};
  }
  return {"unknown", "未知"};
}

bool IsNumbered(FunctionKind kind) {
  return kind == FunctionKind::InnerCopper || kind == FunctionKind::Mechanical;
}

std::string WithNumber(const char* name, LayerFunction function) {
  std::string text = name;
  if (IsNumbered(function.kind)) {
    text += ' ';  // two appends: g++ 12 warns falsely (-Wrestrict) on " " + a temporary
    text += std::to_string(function.number);
  }
  return text;
}

}  // namespace

std::string FunctionName(LayerFunction function) {
  return WithNumber(NamesOf(function.kind).english, function);
}

std::string FunctionNameChinese(LayerFunction function) {
  return WithNumber(NamesOf(function.kind).chinese, function);
}

}  // namespace layers
