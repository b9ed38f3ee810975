#include "winapp/UiFont.h"

#include <cwchar>

namespace winapp {

namespace {

constexpr int kCharacterHeight = 12;  // pixels; negative in LOGFONT means character height

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

}  // namespace

const std::vector<std::wstring>& PreferredFaces() {
  static const std::vector<std::wstring> faces{L"微软雅黑", L"Microsoft YaHei",
                                               L"WenQuanYi Micro Hei", L"SimSun", L"NSimSun",
                                               L"WenQuanYi Zen Hei"};
  return faces;
}

bool FaceInstalled(const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

std::wstring WindowFontFace() {
  for (const std::wstring& face : PreferredFaces())
    if (FaceInstalled(face)) return face;
  return PreferredFaces().front();
}

TFontHandle CreateWindowFont() {
  return TFontHandle(CreateFontW(-kCharacterHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                 WindowFontFace().c_str()));
}

}  // namespace winapp
