#include "winapp/MemoLines.h"

namespace winapp {

std::vector<std::wstring> DisplayedLines(HWND edit) {
  std::vector<std::wstring> lines;
  const int count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT start = SendMessageW(edit, EM_LINEINDEX, i, 0);
    const int length = static_cast<int>(SendMessageW(edit, EM_LINELENGTH, start, 0));
    // EM_GETLINE takes the buffer's size in its first WORD and copies without a terminator.
    std::wstring line(static_cast<size_t>(length < 1 ? 1 : length), L'\0');
    line[0] = static_cast<wchar_t>(length);
    const int copied = length == 0 ? 0
        : static_cast<int>(SendMessageW(edit, EM_GETLINE, i, reinterpret_cast<LPARAM>(line.data())));
    line.resize(static_cast<size_t>(copied));
    lines.push_back(std::move(line));
  }
  // The control always reports one line more after a final line break (and one for an
  // empty text); that line is empty and is not one of the memo's lines.
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::wstring WithCrLf(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += L"\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace winapp
