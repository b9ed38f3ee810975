#include "layers/GerberJob.h"

#include <cstdint>

#include "kztools/kzStrTools.h"
#include "layers/Text.h"
#include "layers/X2FileFunction.h"

namespace layers {

namespace {

// A job file nests three levels deep; anything much deeper is no job file.
constexpr int kMaxDepth = 32;

class JsonError {};

// A strict reader for the part of JSON a job file uses; it collects the FilesAttributes
// entries on its way and skips every other value.
class JobReader {
 public:
  explicit JobReader(std::string_view text) : text_(text) {}

  std::vector<JobFileEntry> Read() {
    SkipSpace();
    if (Peek() != '{') throw JsonError();
    ReadObject(0, Context::Top);
    SkipSpace();
    if (pos_ != text_.size()) throw JsonError();
    return entries_;
  }

 private:
  enum class Context { Top, FilesAttributes, Entry, Other };

  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  char Next() {
    if (pos_ >= text_.size()) throw JsonError();
    return text_[pos_++];
  }
  void Expect(char c) {
    if (Next() != c) throw JsonError();
  }
  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) ++pos_;
  }

  void ReadValue(int depth, Context context, std::string* stringOut) {
    if (depth > kMaxDepth) throw JsonError();
    SkipSpace();
    char c = Peek();
    if (c == '{') ReadObject(depth, context);
    else if (c == '[') ReadArray(depth, context);
    else if (c == '"') {
      std::string s = ReadString();
      if (stringOut) *stringOut = std::move(s);
    } else ReadLiteral();
  }

  void ReadObject(int depth, Context context) {
    Expect('{');
    JobFileEntry entry;
    SkipSpace();
    if (Peek() == '}') {
      ++pos_;
      return;
    }
    while (true) {
      SkipSpace();
      std::string key = ReadString();
      SkipSpace();
      Expect(':');
      Context inner = Context::Other;
      std::string* out = nullptr;
      if (context == Context::Top && key == "FilesAttributes") inner = Context::FilesAttributes;
      if (context == Context::Entry && key == "Path") out = &entry.path;
      if (context == Context::Entry && key == "FileFunction") out = &entry.fileFunction;
      ReadValue(depth + 1, inner, out);
      SkipSpace();
      char c = Next();
      if (c == '}') break;
      if (c != ',') throw JsonError();
    }
    if (context == Context::Entry && !entry.path.empty() && !entry.fileFunction.empty()) {
      entries_.push_back(std::move(entry));
    }
  }

  void ReadArray(int depth, Context context) {
    Expect('[');
    SkipSpace();
    if (Peek() == ']') {
      ++pos_;
      return;
    }
    const Context element = context == Context::FilesAttributes ? Context::Entry : Context::Other;
    while (true) {
      ReadValue(depth + 1, element, nullptr);
      SkipSpace();
      char c = Next();
      if (c == ']') break;
      if (c != ',') throw JsonError();
    }
  }

  // true, false, null and numbers: their bytes are checked loosely, they are never used.
  void ReadLiteral() {
    size_t start = pos_;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      bool word = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'E';
      if (!word) break;
      ++pos_;
    }
    if (pos_ == start) throw JsonError();
  }

  unsigned ReadHex4() {
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      char c = Next();
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<unsigned>(c - 'A' + 10);
      else throw JsonError();
    }
    return value;
  }

  static void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  uint32_t ReadEscapedCodePoint() {
    uint32_t cp = ReadHex4();
    if (cp >= 0xD800 && cp <= 0xDBFF) {  // a surrogate pair spells one code point
      if (Next() != '\\' || Next() != 'u') throw JsonError();
      uint32_t low = ReadHex4();
      if (low < 0xDC00 || low > 0xDFFF) throw JsonError();
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    }
    return cp;
  }

  std::string ReadString() {
    Expect('"');
    std::string out;
    while (true) {
      char c = Next();
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) throw JsonError();
      if (c != '\\') {
        out += c;
        continue;
      }
      char e = Next();
      switch (e) {
        case '"': case '\\': case '/': out += e; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': AppendUtf8(out, ReadEscapedCodePoint()); break;
        default: throw JsonError();
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::vector<JobFileEntry> entries_;
};

// The name part of a job Path, which may use "/" or "\" between folders.
std::string NamePart(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<JobFileEntry> ReadGerberJob(std::string_view json) {
  try {
    return JobReader(json).Read();
  } catch (const JsonError&) {
    return {};
  }
}

void GerberJobFindings::Add(const std::string& jobName, std::string_view json) {
  for (const JobFileEntry& job : ReadGerberJob(json)) {
    std::optional<LayerFunction> function = FunctionFromX2(job.fileFunction);
    if (!function) continue;
    Entry& entry = byName_[StrUpperAscii(NamePart(job.path))];
    if (entry.finding && entry.finding->function != *function) entry.conflicting = true;
    if (!entry.finding) {
      entry.finding = Finding{*function, "Gerber job file " + jobName + " (" +
                                             Quotable(job.fileFunction) + ")"};
    }
  }
}

MaybeFinding GerberJobFindings::For(std::string_view fileName) const {
  auto it = byName_.find(StrUpperAscii(fileName));
  if (it == byName_.end() || it->second.conflicting) return std::nullopt;
  return it->second.finding;
}

}  // namespace layers
