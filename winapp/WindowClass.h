// Registering the window classes of the window's own controls (the folder box and its
// drop-down, the layer panel): each once per process, with the arrow cursor and a system
// colour behind it.
#pragma once

#include "platform/win32/WinApi.h"

namespace winapp {

// Registers the class name with proc and the system colour background; a later call for the
// same name finds it registered and does nothing.
void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int background);

}  // namespace winapp
