// The memo's text and lines: the whole text with CR LF between lines (as the settings keep
// it), and the lines as the edit control displays them, wrapped at its width, with no line
// for a final line break; these go into the contact sheet.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>
#include <vector>

namespace winapp {

// The lines as displayed by a multi-line edit control (EM_GETLINECOUNT / EM_GETLINE).
std::vector<std::wstring> DisplayedLines(HWND edit);
// A text with every line break (CR LF, CR or LF) made CR LF, the edit control's form.
std::wstring WithCrLf(std::wstring_view text);

}  // namespace winapp
