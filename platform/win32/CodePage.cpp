// GBK through code page 936 (WideCharToMultiByte / MultiByteToWideChar), one character at
// a time so that every replacement by "?" falls exactly where the Linux build's iconv puts
// it: an archive or a settings file is the same bytes on both systems.
#include "platform/CodePage.h"

#include "platform/CharBytes.h"
#include "platform/win32/WinApi.h"

namespace platform {
namespace {

constexpr UINT kGbkCodePage = 936;

// Code page 936 maps characters that GBK as the Linux build knows it lacks: U+0080 and the
// private-use area of the user-defined rows. They become "?" there, so they do here.
bool OutsideGbk(char32_t cp) { return cp == 0x80 || (cp >= 0xE000 && cp <= 0xF8FF); }

// The one single byte above ASCII that GBK gives a character: the euro sign.
constexpr unsigned char kEuroByte = 0x80;
constexpr char32_t kEuroSign = 0x20AC;

// The code point of the well-formed UTF-8 sequence s[i..i+len), or U+FFFFFFFF for an
// overlong form, a surrogate or a value past U+10FFFF, which iconv refuses as well.
char32_t DecodeUtf8(std::string_view s, size_t i, size_t len) {
  static const unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  char32_t cp = static_cast<unsigned char>(s[i]) & kLeadMask[len];
  for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  if (cp < kLeast[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0xFFFFFFFF;
  return cp;
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Appends the GBK bytes of cp; false when GBK has no such character. Best-fit mappings
// (a look-alike instead of "?") are refused.
bool AppendGbk(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return true;
  }
  if (cp > 0xFFFF || OutsideGbk(cp)) return false;
  const wchar_t wide = static_cast<wchar_t>(cp);
  char bytes[4];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes,
                                    nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.append(bytes, static_cast<size_t>(n));
  return true;
}

// The character of the GBK pair at s[i], s[i + 1]; false when it is none.
bool DecodeGbkPair(std::string_view s, size_t i, char32_t& cp) {
  wchar_t wide[2];
  const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, s.data() + i, 2, wide, 2);
  if (n != 1 || OutsideGbk(wide[0])) return false;
  cp = wide[0];
  return true;
}

// GBK to UTF-8; false on the first byte that is no GBK character unless replace is set,
// when it becomes "?" (a lead byte taking its follower with it, as iconv skips the pair).
bool GbkToUtf8Checked(std::string_view gbk, bool replace, std::string& out) {
  out.clear();
  out.reserve(gbk.size() * 3 / 2);
  for (size_t i = 0; i < gbk.size();) {
    const unsigned char c = static_cast<unsigned char>(gbk[i]);
    if (c < 0x80 || c == kEuroByte) {
      AppendUtf8(c == kEuroByte ? kEuroSign : c, out);
      ++i;
      continue;
    }
    const size_t len = GbkCharLength(gbk, i);
    char32_t cp = 0;
    if (len == 2 && DecodeGbkPair(gbk, i, cp)) {
      AppendUtf8(cp, out);
    } else if (replace) {
      out += '?';
    } else {
      return false;
    }
    i += len;
  }
  return true;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t len = Utf8SequenceLength(utf8, i);
    if (len == 0) {
      out += '?';  // a byte that starts no UTF-8 sequence
      ++i;
      continue;
    }
    if (!AppendGbk(DecodeUtf8(utf8, i, len), out)) out += '?';
    i += len;
  }
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  std::string out;
  GbkToUtf8Checked(gbk, true, out);
  return out;
}

std::string AnsiToOem(std::string_view fsName) {
  if (IsAscii(fsName) || !IsValidUtf8(fsName)) return std::string(fsName);
  return Utf8ToGbk(fsName);
}

std::string OemToAnsi(std::string_view oemName) {
  if (IsAscii(oemName)) return std::string(oemName);
  std::string out;
  if (!GbkToUtf8Checked(oemName, false, out)) return std::string(oemName);
  return out;
}

}  // namespace platform
