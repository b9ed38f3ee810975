// Routines over counted byte strings: substrings by 1-based position, trimming of blanks,
// repetition, the ELF name hash, and Boyer-Moore-Horspool searches with a case-insensitive
// mode (N-th occurrence, counting, text before, after or between delimiters).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// --- Plain routines -------------------------------------------------------------------

// Copies count bytes from source to dest; count 0 copies nothing.
void CopyChars(const char* source, char* dest, int32_t count);

// Trims blanks (the space character only): mode 0 (and every value other than those
// below) both ends, 1 the start only, 2 the end only, -1 nothing. With mode 1 a text of
// blanks alone keeps its last blank.
std::string StrTrim(std::string_view text, int32_t mode = 0);

// count bytes from the 1-based position start, cut at the end of the text; a start or a
// count below 1 gives the empty text, and so does a start beyond the end.
std::string StrMid(std::string_view text, int32_t start, int32_t count);
// The first / last count bytes; the whole text when count exceeds its length.
std::string StrLeft(std::string_view text, int32_t count);
std::string StrRight(std::string_view text, int32_t count);
// n copies of text; empty for an empty text or n <= 0.
std::string StrRepeat(std::string_view text, int32_t n);

// The System V ELF symbol hash over every byte of text; always below 2^28.
uint32_t NameHash(std::string_view text);

// text with the ASCII letters a-z made upper case; every other byte stays.
std::string StrUpperAscii(std::string_view text);

// --- Pattern search -------------------------------------------------------------------

// Entry b is the upper-case form of byte b (only a-z change). Filled by InitUpperTable,
// read-only afterwards.
extern const std::array<unsigned char, 256>& UpperTable;
// Builds UpperTable. main() calls it first, before any window exists; calling it again
// does no harm.
void InitUpperTable();

// Case flag: 1 compares bytes as they are; every other value compares their UpperTable
// images (case-insensitive).
inline constexpr uint8_t kCaseSensitive = 1;
inline constexpr uint8_t kIgnoreCase = 0;

// Horspool skip table, indexed by the key of a byte.
using TBMTable = std::array<int32_t, 256>;

// Fills table from pattern under the case flag; raises "BufferLen is 0(MakeBMTable)"
// when length is 0.
void MakeBMTable(const char* pattern, int32_t length, TBMTable& table, uint8_t caseFlag);

// The first match of pattern in the textLength bytes at text, or nullptr. table must come
// from MakeBMTable of the same pattern and case flag; patternLength is at least 1.
const char* StrSearch(const char* text, const char* pattern, int32_t textLength,
                      int32_t patternLength, const TBMTable& table, uint8_t caseFlag);

// The 1-based position of the first match at or after start, or 0. A start below 1 fails
// an assertion (Exception "Assertion failure (<file>, line <n>)").
int32_t StrPosFrom(const char* text, const char* pattern, int32_t textLength,
                   int32_t patternLength, int32_t start, uint8_t caseFlag);
// The 1-based position of the last match that starts at or before start (start 0, or a
// start too close to the end, means the last place where the pattern fits), or 0.
int32_t StrLastPos(const char* text, const char* pattern, int32_t textLength,
                   int32_t patternLength, int32_t start, uint8_t caseFlag);
// StrPosFrom when forward is not 0, else StrLastPos, over the whole texts.
int32_t StrPosDir(std::string_view pattern, std::string_view text, int32_t start,
                  uint8_t caseFlag, int32_t forward);

// The 1-based position of the n-th non-overlapping match, ignoring case; 0 when there are
// fewer. n below 1 acts as 1.
int32_t StrNthPos(std::string_view pattern, std::string_view text, int32_t n);
// The number of non-overlapping matches.
int32_t StrCount(std::string_view pattern, std::string_view text, uint8_t caseFlag = kIgnoreCase);

// The text before / after the n-th delimiter; the whole text when there is none.
std::string StrBefore(std::string_view delimiter, std::string_view text, int32_t n);
std::string StrAfter(std::string_view delimiter, std::string_view text, int32_t n);
// The text between the n-th left delimiter (or the last one, when there are fewer than n,
// and then up to the end) and the first right delimiter after it, ignoring case; the whole
// text when there is no left delimiter, empty when no right delimiter follows.
std::string StrBetween(std::string_view text, std::string_view left, std::string_view right,
                       int32_t n);
