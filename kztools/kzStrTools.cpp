#include "kztools/kzStrTools.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Exception.h"

namespace {

std::array<unsigned char, 256> gUpperTable{};

// Raised where a routine's contract is broken by its caller, like a language assertion.
[[noreturn]] void AssertionFailure(const char* file, int line) {
  throw Exception(std::string("Assertion failure (") + file + ", line " + std::to_string(line) +
                  ")");
}

inline unsigned char Key(unsigned char b, uint8_t caseFlag) {
  return caseFlag == kCaseSensitive ? b : gUpperTable[b];
}

inline const unsigned char* Bytes(const char* p) {
  return reinterpret_cast<const unsigned char*>(p);
}

// The bytes at a and b, length bytes each, compared from the last byte backwards.
bool EqualBackwards(const unsigned char* a, const unsigned char* b, int32_t length,
                    uint8_t caseFlag) {
  for (int32_t k = length - 1; k >= 0; --k) {
    if (Key(a[k], caseFlag) != Key(b[k], caseFlag)) return false;
  }
  return true;
}

int32_t Length(std::string_view text) { return static_cast<int32_t>(text.size()); }

}  // namespace

const std::array<unsigned char, 256>& UpperTable = gUpperTable;

void CopyChars(const char* source, char* dest, int32_t count) {
  if (count > 0) std::memmove(dest, source, static_cast<size_t>(count));
}

std::string StrTrim(std::string_view text, int32_t mode) {
  const int32_t length = Length(text);
  if (length == 0) return {};
  if (mode == -1) return std::string(text);
  // 1-based like the contract: i and j are the first and last byte kept.
  int32_t i = 1;
  if (mode != 2) {
    while (i < length && text[i - 1] == ' ') ++i;
  }
  int32_t j = length;
  if (mode != 1) {
    while (j >= i && text[j - 1] == ' ') --j;
  }
  if (i > j) return {};
  return std::string(text.substr(static_cast<size_t>(i - 1), static_cast<size_t>(j - i + 1)));
}

std::string StrMid(std::string_view text, int32_t start, int32_t count) {
  const int32_t length = Length(text);
  if (length == 0 || start < 1 || count < 1 || start > length) return {};
  count = std::min(count, length - start + 1);
  return std::string(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
}

std::string StrLeft(std::string_view text, int32_t count) {
  if (count <= 0) return {};
  if (count >= Length(text)) return std::string(text);
  return std::string(text.substr(0, static_cast<size_t>(count)));
}

std::string StrRight(std::string_view text, int32_t count) {
  if (count <= 0) return {};
  if (count >= Length(text)) return std::string(text);
  return std::string(text.substr(text.size() - static_cast<size_t>(count)));
}

std::string StrRepeat(std::string_view text, int32_t n) {
  std::string result;
  if (text.empty() || n <= 0) return result;
  result.reserve(text.size() * static_cast<size_t>(n));
  for (int32_t k = 0; k < n; ++k) result.append(text);
  return result;
}

uint32_t NameHash(std::string_view text) {
  uint32_t h = 0;
  for (unsigned char b : text) {
    h = (h << 4) + b;
    const uint32_t g = h & 0xF0000000u;
    if (g != 0) h = (h ^ (g >> 24)) & 0x0FFFFFFFu;
  }
  return h;
}

std::string StrUpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

void InitUpperTable() {
  // The byte values in order, upper-cased in place: entry b is then the image of b.
  std::string all(256, '\0');
  for (int b = 0; b < 256; ++b) all[static_cast<size_t>(b)] = static_cast<char>(b);
  all = StrUpperAscii(all);
  for (int b = 0; b < 256; ++b) gUpperTable[static_cast<size_t>(b)] = static_cast<unsigned char>(all[b]);
}

void MakeBMTable(const char* pattern, int32_t length, TBMTable& table, uint8_t caseFlag) {
  if (length == 0) throw Exception("BufferLen is 0(MakeBMTable)");
  table.fill(length);
  // The final byte gets no entry: a mismatch on it shifts by the distance of its previous
  // occurrence, or by the whole length.
  const unsigned char* p = Bytes(pattern);
  for (int32_t k = 0; k <= length - 2; ++k) table[Key(p[k], caseFlag)] = length - 1 - k;
}

const char* StrSearch(const char* text, const char* pattern, int32_t textLength,
                      int32_t patternLength, const TBMTable& table, uint8_t caseFlag) {
  const unsigned char* t = Bytes(text);
  const unsigned char* p = Bytes(pattern);
  // 64-bit so that e plus a skip never overflows near the top of the 32-bit range.
  for (int64_t e = patternLength - 1; e <= static_cast<int64_t>(textLength) - 1;
       e += table[Key(t[e], caseFlag)]) {
    const unsigned char* window = t + (e - patternLength + 1);
    if (EqualBackwards(window, p, patternLength, caseFlag)) return text + (e - patternLength + 1);
  }
  return nullptr;
}

int32_t StrPosFrom(const char* text, const char* pattern, int32_t textLength,
                   int32_t patternLength, int32_t start, uint8_t caseFlag) {
  if (start < 1) AssertionFailure(__FILE__, __LINE__);
  if (patternLength < 1 || patternLength > textLength) return 0;
  if (start > textLength) return 0;
  TBMTable table;
  MakeBMTable(pattern, patternLength, table, caseFlag);
  const char* found = StrSearch(text + (start - 1), pattern, textLength - start + 1,
                                patternLength, table, caseFlag);
  return found ? static_cast<int32_t>(found - text) + 1 : 0;
}

int32_t StrLastPos(const char* text, const char* pattern, int32_t textLength,
                   int32_t patternLength, int32_t start, uint8_t caseFlag) {
  if (patternLength < 1 || textLength < patternLength) return 0;
  const int32_t lastFit = textLength - patternLength + 1;
  const bool fromEnd =
      start == 0 || static_cast<int64_t>(start) + patternLength > textLength;
  const unsigned char* t = Bytes(text);
  const unsigned char* p = Bytes(pattern);
  for (int32_t pos = fromEnd ? lastFit : start; pos >= 1; --pos) {
    const unsigned char* candidate = t + (pos - 1);
    if (Key(candidate[0], caseFlag) == Key(p[0], caseFlag) &&
        EqualBackwards(candidate, p, patternLength, caseFlag)) {
      return pos;
    }
  }
  return 0;
}

int32_t StrPosDir(std::string_view pattern, std::string_view text, int32_t start,
                  uint8_t caseFlag, int32_t forward) {
  if (forward != 0) {
    return StrPosFrom(text.data(), pattern.data(), Length(text), Length(pattern), start, caseFlag);
  }
  return StrLastPos(text.data(), pattern.data(), Length(text), Length(pattern), start, caseFlag);
}

int32_t StrNthPos(std::string_view pattern, std::string_view text, int32_t n) {
  if (text.empty() || pattern.empty()) return 0;
  n = std::max(n, 1);
  TBMTable table;  // one table serves every successive search of this call
  MakeBMTable(pattern.data(), Length(pattern), table, kIgnoreCase);
  const char* begin = text.data();
  const char* end = begin + text.size();
  const char* from = begin;
  for (int32_t found = 0;;) {
    const char* match = StrSearch(from, pattern.data(), static_cast<int32_t>(end - from),
                                  Length(pattern), table, kIgnoreCase);
    if (!match) return 0;
    if (++found == n) return static_cast<int32_t>(match - begin) + 1;
    from = match + pattern.size();
  }
}

int32_t StrCount(std::string_view pattern, std::string_view text, uint8_t caseFlag) {
  if (text.empty() || pattern.empty()) return 0;
  TBMTable table;
  MakeBMTable(pattern.data(), Length(pattern), table, caseFlag);
  const char* from = text.data();
  const char* end = from + text.size();
  int32_t count = 0;
  while (const char* match = StrSearch(from, pattern.data(), static_cast<int32_t>(end - from),
                                       Length(pattern), table, caseFlag)) {
    ++count;
    from = match + pattern.size();
  }
  return count;
}

std::string StrBefore(std::string_view delimiter, std::string_view text, int32_t n) {
  const int32_t p = StrNthPos(delimiter, text, n);
  return p > 0 ? StrLeft(text, p - 1) : std::string(text);
}

std::string StrAfter(std::string_view delimiter, std::string_view text, int32_t n) {
  const int32_t p = StrNthPos(delimiter, text, n);
  return p > 0 ? StrRight(text, Length(text) - p - Length(delimiter) + 1) : std::string(text);
}

std::string StrBetween(std::string_view text, std::string_view left, std::string_view right,
                       int32_t n) {
  const int32_t count = StrCount(left, text, kIgnoreCase);
  if (count == 0) return std::string(text);
  const int32_t k = std::min(count, n);
  const int32_t s = StrNthPos(left, text, k) + Length(left);
  // Fewer left delimiters than asked for: the text after the last one runs to the end.
  const int32_t e = count < n ? Length(text) + 1 : StrPosDir(right, text, s, kIgnoreCase, 1);
  return StrMid(text, s, e - s);
}
