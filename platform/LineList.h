// TStringList: the ordered list of text lines. Written to a file each line is followed by
// CR LF; read from bytes, lines end at CR LF, a lone CR or a lone LF, and a NUL byte ends
// the text. A final line without terminator counts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TStringList {
 public:
  std::vector<std::string> lines;

  int Count() const { return static_cast<int>(lines.size()); }
  void Add(std::string line) { lines.push_back(std::move(line)); }
  void Clear() { lines.clear(); }
  void Delete(int index) { lines.erase(lines.begin() + index); }
  const std::string& operator[](int index) const { return lines[index]; }
  std::string& operator[](int index) { return lines[index]; }

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the lines by those of bytes.
  void SetText(std::string_view bytes);
  void LoadFromFile(const std::string& path);
  // Creates or truncates path and writes Text() in one go.
  void SaveToFile(const std::string& path) const;
};
