#include "zip/WildcardMatch.h"

#include <cstddef>

#include "platform/Paths.h"

namespace {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The set that opens at pattern[open] ("<"): where it closes and whether it is usable.
struct SetSpan {
  size_t close = std::string::npos;  // index of the closing ">"
  bool valid = false;                // closed and not empty
};

SetSpan FindSet(std::string_view pattern, size_t open) {
  SetSpan span;
  span.close = pattern.find('>', open + 1);
  if (span.close == std::string::npos) return span;
  size_t first = open + 1;
  if (first < span.close && (pattern[first] == '^' || pattern[first] == '!')) ++first;
  span.valid = first < span.close;
  return span;
}

// Every set of the pattern closed and non-empty; otherwise no name can match.
bool SetsAreWellFormed(std::string_view pattern) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '<') continue;
    SetSpan span = FindSet(pattern, i);
    if (!span.valid) return false;
    i = span.close;
  }
  return true;
}

// c against the set pattern[open] .. pattern[close] (both brackets included).
bool InSet(std::string_view pattern, size_t open, size_t close, unsigned char c) {
  size_t i = open + 1;
  bool negate = pattern[i] == '^' || pattern[i] == '!';
  if (negate) ++i;
  bool found = false;
  while (i < close && !found) {
    auto lo = static_cast<unsigned char>(pattern[i]);
    if (i + 2 < close && pattern[i + 1] == '-') {
      auto hi = static_cast<unsigned char>(pattern[i + 2]);
      found = lo <= c && c <= hi;
      i += 3;
    } else {
      found = lo == c;
      i += 1;
    }
  }
  return found != negate;
}

// Matches one pattern element at p against name[n]; sets the length of the element.
bool MatchOne(std::string_view pattern, size_t p, unsigned char c, size_t& length) {
  char pc = pattern[p];
  if (pc == '<') {
    size_t close = pattern.find('>', p + 1);  // well-formed: checked before matching
    length = close - p + 1;
    return InSet(pattern, p, close, c);
  }
  length = 1;
  return pc == '?' || static_cast<unsigned char>(pc) == c;
}

}  // namespace

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?<>|") != std::string_view::npos;
}

bool IsMatch(std::string_view patternIn, std::string_view nameIn) {
  if (patternIn == "*") return true;
  const std::string pattern = LowerAscii(patternIn);
  const std::string name = LowerAscii(nameIn);
  if (!SetsAreWellFormed(pattern)) return false;

  // Every element but "*" consumes exactly one character, so one remembered star is
  // enough: on a mismatch the latest star absorbs one more character and the rest of
  // the pattern is tried again from there. That keeps the match linear in practice
  // and free of recursion.
  size_t p = 0, n = 0;
  size_t starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    size_t length = 0;
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               MatchOne(pattern, p, static_cast<unsigned char>(name[n]), length)) {
      p += length;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  // The name is used up: what is left of the pattern may only be stars (empty runs).
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool IsInPatternList(const TStringList& patterns, const std::string& name) {
  if (patterns.Count() == 0) return false;
  const size_t slash = platform::LastNameDelimiter(name);
  const std::string_view namePart =
      slash == std::string::npos ? std::string_view(name) : std::string_view(name).substr(slash + 1);
  for (const std::string& pattern : patterns.lines) {
    const bool whole = pattern.find(platform::kPathDelim) != std::string::npos;
    if (IsMatch(pattern, whole ? std::string_view(name) : namePart)) return true;
  }
  return false;
}
