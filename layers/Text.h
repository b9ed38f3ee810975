// Small routines over the byte text of file heads and file names: splitting into lines,
// trimming, ASCII case-blind comparison, and making a stretch of unknown bytes safe to
// quote in an evidence text. Bytes outside ASCII are ordinary bytes here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace layers {

// The lines of text, split at CR, LF or CR LF; empty lines are kept.
std::vector<std::string_view> SplitLines(std::string_view text);

// text without the blanks (space, tab) at both ends.
std::string_view TrimBlanks(std::string_view text);

// text begins with prefix, ignoring ASCII case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
// a and b are equal, ignoring ASCII case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The position of the first occurrence of needle in haystack ignoring ASCII case, or npos.
size_t FindIgnoringCase(std::string_view haystack, std::string_view needle, size_t from = 0);

// The value of a Gerber header comment "G04 <key><value>*" that line holds: the text after
// key up to the "*", without the blanks at its ends. key is matched ignoring ASCII case,
// and blanks may stand around "G04". Nothing when line is no such comment.
std::optional<std::string_view> G04Value(std::string_view line, std::string_view key);

// The decimal number that is all of text (1 to 4 digits), or -1.
int SmallNumber(std::string_view text);

// text cut to at most 80 bytes with every byte outside printable ASCII shown as "?", so that
// whatever a file holds can be quoted in an evidence text.
std::string Quotable(std::string_view text);

}  // namespace layers
