#include "kztools/kzIniQuoting.h"

namespace {

bool IsSpecial(char c) { return c == '$' || c == '"' || c == '\r' || c == '\n'; }

char Unescape(char c) {
  switch (c) {
    case '#': return '$';
    case 'Q': return '"';
    case 'N': return '\r';
    case 'D': return '\n';
    default: return c;
  }
}

// No "$" in stored: the bytes between the first two double quotes.
std::string DecodePlain(std::string_view stored) {
  const size_t open = stored.find('"');
  if (open == std::string_view::npos) return std::string(stored);
  const size_t close = stored.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(stored.substr(open + 1, close - open - 1));
}

// stored holds a "$": read escapes from the byte after the first double quote.
std::string DecodeEscaped(std::string_view stored) {
  const size_t open = stored.find('"');
  if (open == std::string_view::npos || stored.size() - open - 1 < 2) return {};
  std::string result;
  for (size_t i = open + 1; i < stored.size(); ++i) {
    const char c = stored[i];
    if (c == '"') break;
    if (c == '$') {
      // A "$" that is the last byte stands for itself.
      if (i + 1 < stored.size()) ++i;
      result += Unescape(stored[i]);
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace

std::string EncodeValue(std::string_view text) {
  size_t specials = 0;
  for (char c : text) specials += IsSpecial(c) ? 1 : 0;
  std::string result;
  result.reserve(2 + text.size() + specials);
  result += '"';
  for (char c : text) {
    switch (c) {
      case '\n': result += "$D"; break;
      case '\r': result += "$N"; break;
      case '"': result += "$Q"; break;
      case '$': result += "$#"; break;
      default: result += c;
    }
  }
  result += '"';
  return result;
}

std::string DecodeValue(std::string_view stored) {
  if (stored == "\"\"") return {};
  if (stored.find('$') == std::string_view::npos) return DecodePlain(stored);
  return DecodeEscaped(stored);
}
