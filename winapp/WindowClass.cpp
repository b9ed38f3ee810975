#include "winapp/WindowClass.h"

namespace winapp {

void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(background);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace winapp
