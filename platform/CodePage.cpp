#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/Exception.h"
#include "platform/CharBytes.h"

namespace platform {
namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// Converts with iconv; a character that cannot be converted becomes "?" when replace is
// set, otherwise the conversion fails (returns false). A conversion that the C library
// does not have raises EConvertError: it is never taken for an empty or unchanged text.
bool Convert(const char* to, const char* from, std::string_view in, bool fromUtf8, bool replace,
             std::string& out) {
  std::unique_ptr<void, IconvCloser> cd(iconv_open(to, from));
  if (cd.get() == reinterpret_cast<void*>(-1)) {
    cd.release();
    throw EConvertError(std::string("Cannot convert text from ") + from + " to " + to + ". " +
                        std::strerror(errno));
  }
  out.clear();
  std::string buffer(in.size() * 2 + 16, '\0');
  size_t i = 0;
  while (i < in.size()) {
    char* src = const_cast<char*>(in.data() + i);
    size_t srcLeft = in.size() - i;
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    size_t r = iconv(static_cast<iconv_t>(cd.get()), &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer.data(), buffer.size() - dstLeft);
    i = in.size() - srcLeft;
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (!replace) return false;
    out += '?';
    size_t skip = fromUtf8 ? Utf8SequenceLength(in, i) : GbkCharLength(in, i);
    i += skip == 0 ? 1 : skip;
  }
  return true;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  Convert("GBK", "UTF-8", utf8, true, true, out);
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  std::string out;
  Convert("UTF-8", "GBK", gbk, false, true, out);
  return out;
}

std::string AnsiToOem(std::string_view fsName) {
  if (IsAscii(fsName) || !IsValidUtf8(fsName)) return std::string(fsName);
  return Utf8ToGbk(fsName);
}

std::string OemToAnsi(std::string_view oemName) {
  if (IsAscii(oemName)) return std::string(oemName);
  std::string out;
  if (!Convert("UTF-8", "GBK", oemName, false, false, out)) return std::string(oemName);
  return out;
}

}  // namespace platform
