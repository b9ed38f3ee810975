// Start-up of tavelo.exe: the upper-case table before anything else, then the main window
// (which loads the settings and installs the UI hooks), and the message loop until the window
// closes.
#include "platform/win32/WinApi.h"

#include "kztools/kzStrTools.h"
#include "platform/Paths.h"
#include "platform/UiHooks.h"
#include "winapp/WinHooks.h"
#include "winapp/ZOR_form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  InitUpperTable();
  try {
    winapp::TfrmZOR frmZOR(platform::ExecutablePath());
    frmZOR.Create();
    frmZOR.Show(showCommand);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) winapp::DispatchOne(frmZOR.Handle(), msg, frmZOR.Keys());
    return static_cast<int>(msg.wParam);
  } catch (const std::exception& e) {
    // Only the window's creation can fail here; the handlers catch their own errors.
    MessageBoxW(nullptr, platform::win32::Widen(e.what()).c_str(), L"tavelo", MB_OK | MB_ICONERROR);
    return 1;
  }
}
