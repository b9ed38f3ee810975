#include "cli/JsonReport.h"

#include <cstdio>

#include "layers/FileKind.h"
#include "layers/LayerFunction.h"

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when there is none.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = b(i);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x06 ? 2 : (lead >> 4) == 0x0E ? 3
                : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and values past U+10FFFF are not valid either.
  if (length == 2 && lead < 0xC2) return 0;
  if (length == 3 && lead == 0xE0 && b(i + 1) < 0xA0) return 0;
  if (length == 3 && lead == 0xED && b(i + 1) >= 0xA0) return 0;
  if (length == 4 && (lead > 0xF4 || (lead == 0xF0 && b(i + 1) < 0x90) ||
                      (lead == 0xF4 && b(i + 1) >= 0x90)))
    return 0;
  return length;
}

std::string OrNull(const std::optional<std::string>& text) {
  return text ? JsonString(*text) : "null";
}

// The folder's files with their kind, layer function and evidence, and the checks'
// warnings.
std::string RecognitionJson(const TExecuteReport& report) {
  std::string out = ", \"files\": [";
  for (size_t i = 0; i < report.files.size(); ++i) {
    const layers::RecognisedFile& f = report.files[i];
    out += i ? ", " : "";
    out += "{\"name\": " + JsonString(f.name) + ", \"kind\": " + JsonString(layers::FileKindName(f.kind)) +
           ", \"function\": " +
           (f.function.IsKnown() ? JsonString(layers::FunctionName(f.function)) : "null") +
           ", \"evidence\": " + (f.evidence.empty() ? "null" : JsonString(f.evidence)) + "}";
  }
  out += "], \"warnings\": [";
  for (size_t i = 0; i < report.warnings.size(); ++i)
    out += (i ? ", " : "") + JsonString(report.warnings[i]);
  return out + "]";
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else if (c >= 0x80) {
      const size_t n = Utf8SequenceLength(text, i);
      out += n ? std::string(text.substr(i, n)) : std::string("\xEF\xBF\xBD");
      i += n ? n : 1;
      continue;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out + "\"";
}

std::string JsonReport(const TExecuteReport& report, const std::vector<std::string>& messages,
                       const std::optional<std::string>& error) {
  std::string out = "{\"folder\": " + JsonString(report.workingFolder) + ", \"layers\": [";
  for (size_t i = 0; i < report.layers.size(); ++i) {
    const TLayerResult& layer = report.layers[i];
    out += i ? ", " : "";
    out += "{\"code\": " + JsonString(layer.code) + ", \"file\": " +
           (layer.file.empty() ? "null" : JsonString(layer.file)) + ", \"outcome\": " +
           JsonString(OutcomeWord(layer.outcome)) + "}";
  }
  out += "], \"contactSheet\": " + OrNull(report.contactSheet);
  out += ", \"archive\": " + OrNull(report.archive) + ", \"messages\": [";
  for (size_t i = 0; i < messages.size(); ++i) out += (i ? ", " : "") + JsonString(messages[i]);
  out += "]";
  if (!report.files.empty() || !report.warnings.empty()) out += RecognitionJson(report);
  out += ", \"error\": " + OrNull(error) + "}\n";
  return out;
}
