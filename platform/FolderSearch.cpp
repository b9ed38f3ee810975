// The parts of the folder search that every system shares: the wildcard rule and the order
// of a listing.
#include "platform/FolderSearch.h"

#include <algorithm>

#include "platform/Ascii.h"

namespace platform {

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative matcher with one backtrack point: the last "*" seen. Linear in practice and
  // never recursive, so long names cannot exhaust the stack.
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

void SortListing(std::vector<DirEntry>& entries) {
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
    if (LessIgnoringAsciiCase(a.name, b.name)) return true;
    if (LessIgnoringAsciiCase(b.name, a.name)) return false;
    return a.name < b.name;  // names equal but for case: byte order keeps the result stable
  });
}

}  // namespace platform
