#include "platform/Paths.h"

namespace platform {

size_t LastNameDelimiter(std::string_view path) { return path.find_last_of(kNameDelimiters); }

std::string ExtractFilePath(std::string_view path) {
  size_t slash = LastNameDelimiter(path);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t slash = LastNameDelimiter(path);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view path) {
  std::string name = ExtractFileName(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  size_t nameStart = LastNameDelimiter(path);
  nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
  size_t dot = path.rfind('.');
  std::string result(path);
  if (dot != std::string_view::npos && dot >= nameStart) result.resize(dot);
  result += ext;
  return result;
}

std::string IncludeTrailingDelimiter(std::string_view folder) {
  std::string result(folder);
  if (result.empty() || result.back() != kPathDelim) result += kPathDelim;
  return result;
}

bool IsRootFolder(std::string_view folder) {
  if (folder.size() == 1) return folder[0] == kPathDelim;
#ifdef _WIN32
  return folder.size() == 3 && folder[1] == ':' && folder[2] == kPathDelim;
#else
  return false;
#endif
}

std::string ApplicationTitle(std::string_view executablePath) {
  std::string name = ExtractFileName(executablePath);
  size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  for (size_t i = 1; i < name.size(); ++i)
    if (name[i] >= 'A' && name[i] <= 'Z') name[i] = static_cast<char>(name[i] - 'A' + 'a');
  return name;
}

}  // namespace platform
