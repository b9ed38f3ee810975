#include "winapp/LayerTips.h"

#include "core/LayerPreviewText.h"

namespace winapp {

using platform::win32::Narrow;
using platform::win32::Widen;

namespace {

// Wide enough for a file name and its evidence; lines break at "\n" only within this width.
constexpr int kTipWidth = 480;
// How long a tooltip stays while the pointer rests on its box: long enough to read the evidence.
constexpr int kTipShowMilliseconds = 30000;

}  // namespace

TLayerTips::TLayerTips(HWND owner, const std::array<HWND, kLayerCount>& boxes) : owner_(owner), boxes_(boxes) {
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
  SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTipShowMilliseconds);
  wchar_t empty[] = L"";
  for (size_t i = 0; i < kLayerCount; ++i) {
    TTTOOLINFOW tool = ToolOf(i, empty);
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

TLayerTips::~TLayerTips() {
  if (IsWindow(tips_)) DestroyWindow(tips_);  // gone already when the owner went first
}

TTTOOLINFOW TLayerTips::ToolOf(size_t layer, wchar_t* text) const {
  TTTOOLINFOW tool{};
  // The size every version of the common controls takes.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner_;
  tool.uId = reinterpret_cast<UINT_PTR>(boxes_[layer]);
  tool.lpszText = text;
  return tool;
}

void TLayerTips::Show(const TLayerPreview* preview) {
  for (size_t i = 0; i < kLayerCount; ++i) {
    const bool known = preview != nullptr && i < preview->plan.size();
    std::wstring text = known ? Widen(LayerTooltipText(preview->plan[i])) : std::wstring();
    TTTOOLINFOW tool = ToolOf(i, text.data());
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

std::string TLayerTips::TextOf(size_t layer) const {
  std::wstring text(INFOTIPSIZE + 1, L'\0');
  TTTOOLINFOW tool = ToolOf(layer, text.data());
  SendMessageW(tips_, TTM_GETTEXTW, INFOTIPSIZE, reinterpret_cast<LPARAM>(&tool));
  text.resize(wcslen(text.c_str()));
  return Narrow(text);
}

}  // namespace winapp
