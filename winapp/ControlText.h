// Reading and setting the state of the window's native controls in the program's terms:
// a control's text as UTF-8 and a check box's tick.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>

namespace winapp {

inline std::string TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return platform::win32::Narrow(text);
}

inline void SetText(HWND control, const std::string& utf8) {
  SetWindowTextW(control, platform::win32::Widen(utf8).c_str());
}

inline bool Ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

inline void SetTicked(HWND box, bool on) {
  SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace winapp
