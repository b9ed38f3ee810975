// Path text in the Linux form: "/" separates folders, a folder path ends in "/", and the
// name part of a path is what follows its last "/". All paths are file-system bytes.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr char kPathDelim = '/';

// The folder part up to and including the last "/" (empty when there is none).
std::string ExtractFilePath(std::string_view path);
// The name part after the last "/".
std::string ExtractFileName(std::string_view path);
// The extension of the name part, from its last dot on (empty when it has none).
std::string ExtractFileExt(std::string_view path);
// Replaces the extension of the name part (from its last dot on) by ext; a name without a
// dot gets ext appended. A dot in a folder name does not count.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// An absolute form of path: relative paths are taken from the current folder.
std::string ExpandFileName(std::string_view path);
// Appends "/" unless the text already ends in one; an empty text becomes "/".
std::string IncludeTrailingDelimiter(std::string_view folder);

// The running executable's full path, and the application title derived from it: the
// file name up to its first dot, every letter after the first in lower case.
std::string ExecutablePath();
std::string ApplicationTitle(std::string_view executablePath);

}  // namespace platform
