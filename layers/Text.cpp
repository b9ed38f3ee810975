#include "layers/Text.h"

namespace layers {

namespace {

constexpr size_t kQuoteLimit = 80;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

size_t FindIgnoringCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty() || haystack.size() < needle.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    if (EqualsIgnoringCase(haystack.substr(i, needle.size()), needle)) return i;
  }
  return std::string_view::npos;
}

std::optional<std::string_view> G04Value(std::string_view line, std::string_view key) {
  const std::string_view text = TrimBlanks(line);
  if (!StartsWithIgnoringCase(text, "G04")) return std::nullopt;
  const std::string_view rest = TrimBlanks(text.substr(3));
  if (!StartsWithIgnoringCase(rest, key)) return std::nullopt;
  const std::string_view value = rest.substr(key.size());
  return TrimBlanks(value.substr(0, value.find('*')));
}

int SmallNumber(std::string_view text) {
  if (text.empty() || text.size() > 4) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string Quotable(std::string_view text) {
  std::string quoted(text.substr(0, kQuoteLimit));
  for (char& c : quoted) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return quoted;
}

}  // namespace layers
