#include "platform/LineList.h"

#include "platform/FileStream.h"

std::string TStringList::Text() const {
  std::string text;
  size_t total = 0;
  for (const auto& line : lines) total += line.size() + 2;
  text.reserve(total);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void TStringList::SetText(std::string_view bytes) {
  lines.clear();
  size_t start = 0, i = 0;
  for (; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\0') break;
    if (c == '\r' || c == '\n') {
      lines.emplace_back(bytes.substr(start, i - start));
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (i > start) lines.emplace_back(bytes.substr(start, i - start));
}

void TStringList::LoadFromFile(const std::string& path) { SetText(platform::ReadWholeFile(path)); }

void TStringList::SaveToFile(const std::string& path) const { platform::WriteWholeFile(path, Text()); }
