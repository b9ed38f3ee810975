#include "winapp/WinHooks.h"

#include <commdlg.h>

#include <vector>

#include "platform/UiHooks.h"
#include "winapp/ErrorBoxText.h"

namespace winapp {

using platform::win32::Narrow;
using platform::win32::Widen;

namespace {

// "text|pattern|text|pattern" as GetOpenFileNameW wants it: NUL-separated, two NULs at the end.
std::wstring DialogFilter(const std::string& filter) {
  std::wstring out = Widen(filter);
  for (wchar_t& c : out)
    if (c == L'|') c = L'\0';
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                    const std::string& folder) {
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring wideTitle = Widen(title), wideFilter = DialogFilter(filter),
                     wideFolder = Widen(folder);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = wideFilter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = wideTitle.c_str();
  ofn.lpstrInitialDir = wideFolder.empty() ? nullptr : wideFolder.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return Narrow(file.data());
}

}  // namespace

void InstallWinHooks(const std::wstring& title, HWND dialog, std::function<void(bool)> waitCursor) {
  platform::UiHooks& hooks = platform::Hooks();
  // The active window owns the boxes, so the window cannot be clicked while one is open.
  hooks.messageBox = [title](const std::string& text) {
    MessageBoxW(GetActiveWindow(), Widen(text).c_str(), title.c_str(), MB_OK);
  };
  hooks.errorBox = [title](const std::string& text) {
    MessageBoxW(GetActiveWindow(), Widen(ErrorBoxText(text)).c_str(), title.c_str(),
                MB_OK | MB_ICONERROR);
  };
  hooks.processEvents = [dialog] { ProcessPendingMessages(dialog); };
  hooks.waitCursor = std::move(waitCursor);
  hooks.openFileDialog = OpenFile;
}

void RemoveWinHooks() { platform::Hooks() = platform::UiHooks{}; }

void DispatchOne(HWND dialog, MSG& msg, HACCEL keys) {
  if (keys != nullptr && TranslateAcceleratorW(dialog, keys, &msg)) return;
  if (dialog != nullptr && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void ProcessPendingMessages(HWND dialog) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchOne(dialog, msg);
  }
}

}  // namespace winapp
