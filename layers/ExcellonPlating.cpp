#include "layers/ExcellonPlating.h"

#include <string>

#include "kztools/kzStrTools.h"
#include "layers/Text.h"

namespace layers {

namespace {

enum class Plating { None, Plated, NonPlated };

// The comment's text in upper case with blanks, "-" and "_" left out, so that
// "NON-PLATED", "Non Plated" and "NON_PLATED" read alike.
std::string Squeezed(std::string_view text) {
  std::string result;
  for (char c : StrUpperAscii(text)) {
    if (c != ' ' && c != '\t' && c != '_' && c != '-') result += c;
  }
  return result;
}

Plating PlatingOf(std::string_view comment) {
  std::string text = Squeezed(comment);
  if (text.rfind("TYPE=", 0) == 0) text = text.substr(5);
  static const char* const kPlated[] = {"PLATED", "PTH", "PLATEDHOLES", "PLATEDTHROUGHHOLES"};
  static const char* const kNonPlated[] = {"NONPLATED", "NPTH", "UNPLATED", "NONPLATEDHOLES",
                                           "NONPLATEDTHROUGHHOLES", "UNPLATEDHOLES"};
  for (const char* word : kPlated) {
    if (text == word) return Plating::Plated;
  }
  for (const char* word : kNonPlated) {
    if (text == word) return Plating::NonPlated;
  }
  return Plating::None;
}

}  // namespace

MaybeFinding FindingFromPlatingComments(std::string_view head) {
  std::string plated, nonPlated;  // the first comment of each kind, as written
  for (std::string_view line : SplitLines(head)) {
    std::string_view text = TrimBlanks(line);
    if (text.empty() || text[0] != ';') continue;
    switch (PlatingOf(text.substr(1))) {
      case Plating::Plated: if (plated.empty()) plated = Quotable(text); break;
      case Plating::NonPlated: if (nonPlated.empty()) nonPlated = Quotable(text); break;
      case Plating::None: break;
    }
  }
  if (!plated.empty() && !nonPlated.empty()) {
    return Finding{{FunctionKind::Drill}, "Excellon comments " + plated + " and " + nonPlated};
  }
  if (!plated.empty()) return Finding{{FunctionKind::DrillPlated}, "Excellon comment " + plated};
  if (!nonPlated.empty()) return Finding{{FunctionKind::DrillNonPlated}, "Excellon comment " + nonPlated};
  return std::nullopt;
}

}  // namespace layers
