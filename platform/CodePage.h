// Code page conversions (iconv on Linux, code page 936 on Windows): the UTF-8 text of the
// window and the file system, and the GBK bytes of text files and of names in archives.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-8 to GBK; characters that GBK lacks, and invalid input bytes, become "?".
std::string Utf8ToGbk(std::string_view utf8);
// GBK to UTF-8; invalid bytes become "?".
std::string GbkToUtf8(std::string_view gbk);

// The name of a file as stored in an archive ("ANSI to OEM"): a file-system name in valid
// UTF-8 becomes GBK, characters without a GBK form becoming "?". Bytes that are not valid
// UTF-8 are taken to be GBK already and stay as they are.
std::string AnsiToOem(std::string_view fsName);
// The file-system form of an archived name ("OEM to ANSI"): valid GBK becomes UTF-8; bytes
// that are not valid GBK stay as they are.
std::string OemToAnsi(std::string_view oemName);

}  // namespace platform
