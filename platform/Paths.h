// Path text of the system: kPathDelim separates folders ("/" on Linux, "\" on Windows), a
// folder path ends in it, and the name part of a path is what follows its last delimiter
// (on Windows also a drive's ":"). Paths are UTF-8 on both systems.
#pragma once

#include <string>
#include <string_view>

namespace platform {

#ifdef _WIN32
inline constexpr char kPathDelim = '\\';
// Where the name part of a path may begin after: a folder delimiter or a drive's colon.
inline constexpr std::string_view kNameDelimiters = "\\:";
#else
inline constexpr char kPathDelim = '/';
inline constexpr std::string_view kNameDelimiters = "/";
#endif

// The position of the last character of kNameDelimiters in path, npos when none.
size_t LastNameDelimiter(std::string_view path);
// The folder part up to and including the last delimiter (empty when there is none).
std::string ExtractFilePath(std::string_view path);
// The name part after the last delimiter.
std::string ExtractFileName(std::string_view path);
// The extension of the name part, from its last dot on (empty when it has none).
std::string ExtractFileExt(std::string_view path);
// Replaces the extension of the name part (from its last dot on) by ext; a name without a
// dot gets ext appended. A dot in a folder name does not count.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// An absolute form of path: relative paths are taken from the current folder (on Windows
// "." and ".." are resolved and "/" becomes "\\", as GetFullPathNameW does).
std::string ExpandFileName(std::string_view path);
// Appends kPathDelim unless the text already ends in one; an empty text becomes kPathDelim
// alone: the root ("/", on Windows the root of the current drive). A drive root such as
// "D:\" keeps its one delimiter.
std::string IncludeTrailingDelimiter(std::string_view folder);

// A root folder: the delimiter alone, or on Windows a drive's root such as "D:\".
bool IsRootFolder(std::string_view folder);

// The running executable's full path, and the application title derived from it: the
// file name up to its first dot, every letter after the first in lower case.
std::string ExecutablePath();
std::string ApplicationTitle(std::string_view executablePath);

}  // namespace platform
