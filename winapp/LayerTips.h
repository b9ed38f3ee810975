// The preview on the Windows window's layer ticks: a tooltip on each layer's check box names
// the file Execute would take and the evidence, or says that nothing will be taken. The boxes
// themselves (captions, colours, places) stay as designed.
#pragma once

#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "core/LayerCodes.h"
#include "core/LayerPreview.h"

namespace winapp {

class TLayerTips {
 public:
  // One tool for each of boxes, children of owner.
  TLayerTips(HWND owner, const std::array<HWND, kLayerCount>& boxes);
  ~TLayerTips();
  TLayerTips(const TLayerTips&) = delete;
  TLayerTips& operator=(const TLayerTips&) = delete;

  // The tooltips of preview's plan; null (no folder chosen) leaves every box without one.
  void Show(const TLayerPreview* preview);
  // The tooltip text of the box of layer (in layer order), as the tooltip control holds it.
  std::string TextOf(size_t layer) const;

 private:
  TTTOOLINFOW ToolOf(size_t layer, wchar_t* text) const;

  HWND owner_;
  std::array<HWND, kLayerCount> boxes_;
  HWND tips_ = nullptr;
};

}  // namespace winapp
