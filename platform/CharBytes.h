// Where characters begin and end in the byte strings of the two encodings the program
// meets, UTF-8 (file-system names, window text) and GBK (file contents, archive names).
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

bool IsAscii(std::string_view s);
// Length of the UTF-8 sequence that starts at s[i], or 0 when it is not a valid one. Only
// the form of the sequence is checked (lead byte, continuation bytes, no C0/C1 or F5+).
size_t Utf8SequenceLength(std::string_view s, size_t i);
bool IsValidUtf8(std::string_view s);
// Length of the GBK character that starts at s[i]: 2 for a lead byte with a byte after it,
// else 1.
size_t GbkCharLength(std::string_view s, size_t i);

}  // namespace platform
