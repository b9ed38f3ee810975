#include "layers/ContentRecogniser.h"

#include <string>

#include "layers/ExcellonPlating.h"
#include "layers/HeaderLayerNames.h"
#include "layers/Text.h"
#include "layers/X2FileFunction.h"

namespace layers {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kFileFunction = "TF.FileFunction,";
// Lines looked at for a leading M48; drill files open with it, perhaps after a few comments.
constexpr int kExcellonHeaderLines = 16;

std::string_view WithoutBom(std::string_view head) {
  return head.substr(0, kUtf8Bom.size()) == kUtf8Bom ? head.substr(kUtf8Bom.size()) : head;
}

bool IsCommandBoundary(std::string_view text, size_t at) {
  if (at == 0) return true;
  char before = text[at - 1];
  return before == '\n' || before == '\r' || before == '*' || before == '%' || before == ' ';
}

// A Gerber extended command such as "%FS" at the start of a line or right after another command.
bool HasExtendedCommand(std::string_view head, std::string_view command) {
  for (size_t at = head.find(command); at != std::string_view::npos; at = head.find(command, at + 1)) {
    if (IsCommandBoundary(head, at)) return true;
  }
  return false;
}

bool IsGerber(std::string_view head) {
  return HasExtendedCommand(head, "%FS") || HasExtendedCommand(head, "%MO");
}

bool OpensWithM48(std::string_view head) {
  int looked = 0;
  for (std::string_view line : SplitLines(head)) {
    if (++looked > kExcellonHeaderLines) break;
    std::string_view text = TrimBlanks(line);
    // Comments, and the "%" with which some tools (Eagle) open the header, may come first.
    if (text.empty() || text[0] == ';' || text == "%") continue;
    return text == "M48";
  }
  return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "T1C0.8", "T01C.035", "T1F00S00C0.0120": a tool number followed by a diameter.
bool IsToolDefinition(std::string_view line) {
  if (line.size() < 4 || line[0] != 'T' || !IsDigit(line[1])) return false;
  size_t c = line.find('C');
  return c != std::string_view::npos && c + 1 < line.size() && (IsDigit(line[c + 1]) || line[c + 1] == '.');
}

bool IsCoordinate(std::string_view line) {
  return line.size() >= 2 && line[0] == 'X' && (IsDigit(line[1]) || line[1] == '-' || line[1] == '+');
}

bool HasEndOfProgram(std::string_view text) {
  for (std::string_view line : SplitLines(text)) {
    if (TrimBlanks(line) == "M30") return true;
  }
  return false;
}

// An Excellon file without its M48 header: tools, holes and the end code are still there.
bool IsHeaderlessExcellon(std::string_view head, std::string_view tail) {
  bool tool = false, coordinate = false;
  for (std::string_view line : SplitLines(head)) {
    std::string_view text = TrimBlanks(line);
    tool = tool || IsToolDefinition(text);
    coordinate = coordinate || IsCoordinate(text);
  }
  return tool && coordinate && HasEndOfProgram(tail.empty() ? head : tail);
}

// The value after "TF.FileFunction," up to the "*" that ends the attribute, or the end of the line.
std::string_view AttributeValue(std::string_view text) {
  size_t end = text.find_first_of("*%\r\n");
  return text.substr(0, end);
}

MaybeFinding FromX2Value(std::string_view value, std::string evidence) {
  std::optional<LayerFunction> function = FunctionFromX2(value);
  if (!function) return std::nullopt;
  return Finding{*function, std::move(evidence)};
}

MaybeFinding FindX2Attribute(std::string_view head) {
  const std::string marker = "%" + std::string(kFileFunction);
  size_t at = FindIgnoringCase(head, marker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view value = AttributeValue(head.substr(at + marker.size()));
  return FromX2Value(value, "X2 attribute %TF.FileFunction," + Quotable(value) + "*%");
}

// "G04 #@! TF.FileFunction,...*" in Gerber, "; #@! TF.FileFunction,..." in Excellon.
MaybeFinding FindX2Comment(std::string_view head) {
  for (std::string_view line : SplitLines(head)) {
    std::string_view text = TrimBlanks(line);
    std::string_view lead;
    if (StartsWithIgnoringCase(text, "G04")) lead = text.substr(0, 3);
    else if (!text.empty() && text[0] == ';') lead = text.substr(0, 1);
    else continue;
    std::string_view rest = TrimBlanks(text.substr(lead.size()));
    if (rest.substr(0, 3) != "#@!") continue;
    rest = TrimBlanks(rest.substr(3));
    if (!StartsWithIgnoringCase(rest, kFileFunction)) continue;
    std::string_view value = AttributeValue(rest.substr(kFileFunction.size()));
    std::string end = lead == ";" ? "" : "*";
    return FromX2Value(value, "X2 attribute as comment " + std::string(lead) + " #@! TF.FileFunction," +
                                  Quotable(value) + end);
  }
  return std::nullopt;
}

// An Excellon file holds holes: a finding that names any other function is not believed.
void KeepDrillFindingsOnly(MaybeFinding& finding) {
  if (finding && finding->function.IsKnown() && !finding->function.IsDrill()) finding.reset();
}

}  // namespace

FileKind DetectKind(std::string_view head, std::string_view tail) {
  head = WithoutBom(head);
  if (OpensWithM48(head)) return FileKind::Excellon;
  if (IsGerber(head)) return FileKind::Gerber;
  if (IsHeaderlessExcellon(head, tail)) return FileKind::Excellon;
  return FileKind::Other;
}

ContentFacts ReadContentFacts(std::string_view head, std::string_view tail) {
  ContentFacts facts;
  facts.kind = DetectKind(head, tail);
  head = WithoutBom(head);
  if (facts.kind == FileKind::Gerber) {
    facts.x2Attribute = FindX2Attribute(head);
    facts.x2Comment = FindX2Comment(head);
    facts.headerLayerName = FindingFromHeaderLayerNames(head);
  } else if (facts.kind == FileKind::Excellon) {
    facts.x2Comment = FindX2Comment(head);
    KeepDrillFindingsOnly(facts.x2Comment);
    facts.platingComment = FindingFromPlatingComments(head);
  }
  return facts;
}

}  // namespace layers
