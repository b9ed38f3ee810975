// The quoted form of string values in the settings file: the text between double quotes
// with "$#", "$Q", "$N" and "$D" standing for "$", the double quote, CR and LF, so that any
// text, line breaks and outer spaces included, is stored as one line.
#pragma once

#include <string>
#include <string_view>

// The quoted form of text; the empty text gives two double quotes.
std::string EncodeValue(std::string_view text);
// The text of a quoted form. Text before the first double quote is skipped; the value ends
// at the next unescaped double quote (or the end). A text without double quotes is
// returned unchanged unless it holds a "$", which makes it empty.
std::string DecodeValue(std::string_view stored);
