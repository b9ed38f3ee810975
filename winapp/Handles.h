// Owners for the Windows handles the window creates itself (fonts, icons, key tables), so
// that each is released on every path, and the windows.h set-up every unit of the window shares.
#pragma once

#include "platform/win32/WinApi.h"

#include <memory>
#include <type_traits>

namespace winapp {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object != nullptr) DeleteObject(object);
  }
};
using TFontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

struct IconDeleter {
  void operator()(HICON icon) const {
    if (icon != nullptr) DestroyIcon(icon);
  }
};
using TIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct AcceleratorDeleter {
  void operator()(HACCEL keys) const {
    if (keys != nullptr) DestroyAcceleratorTable(keys);
  }
};
using TAccelHandle = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter>;

}  // namespace winapp
