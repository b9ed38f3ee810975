// ASCII letter case for names: upper-casing that changes a-z only, and the ordering of
// names compared byte by byte after it. Independent of the locale on every system.
#pragma once

#include <algorithm>
#include <string_view>

namespace platform {

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// a before b when compared byte by byte (unsigned) after ASCII upper-casing.
inline bool LessIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(AsciiUpper(x)) < static_cast<unsigned char>(AsciiUpper(y));
  });
}

}  // namespace platform
