// The core's UI hooks in Win32 form: message box (no icon) and error box captioned with the
// application title, pending messages processed during long work, the wait cursor and the
// file-open dialog. Also the one dispatch step shared by the message loop and that processing.
#pragma once

#include "platform/win32/WinApi.h"

#include <functional>
#include <string>

namespace winapp {

// Installs the hooks. dialog is the window whose keyboard navigation (Tab, Shift+Tab) the
// dispatch handles; waitCursor is told when the wait cursor starts and ends.
void InstallWinHooks(const std::wstring& title, HWND dialog, std::function<void(bool)> waitCursor);
// Empties the hooks again (the window goes away).
void RemoveWinHooks();

// Translates and dispatches one message, letting dialog's keys (a key table, or none) and
// then its keyboard navigation take it first.
void DispatchOne(HWND dialog, MSG& msg, HACCEL keys = nullptr);
// Dispatches every pending message; a WM_QUIT found is posted again for the main loop.
void ProcessPendingMessages(HWND dialog);

}  // namespace winapp
