// The window's font: "微软雅黑" at a character height of 12 pixels with the GB2312
// character set, or the first installed CJK face of a short list where it is missing (Wine
// and older Windows versions lack it).
#pragma once

#include <string>
#include <vector>

#include "winapp/Handles.h"

namespace winapp {

// The faces tried in order; the first is the designed one.
const std::vector<std::wstring>& PreferredFaces();
// True when a font family of that face name is installed.
bool FaceInstalled(const std::wstring& face);
// The first installed face of PreferredFaces(), or the designed one when none is.
std::wstring WindowFontFace();
TFontHandle CreateWindowFont();

}  // namespace winapp
