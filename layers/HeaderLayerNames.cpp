#include "layers/HeaderLayerNames.h"

#include <optional>
#include <string>
#include <vector>

#include "kztools/kzStrTools.h"
#include "layers/Text.h"

namespace layers {

namespace {

constexpr size_t kMaxLayerLines = 64;

struct LayerLine {
  std::string line;  // the comment as written, for the evidence
  std::string name;  // the name after "Layer:", upper case, blanks kept
};

std::vector<LayerLine> LayerLines(std::string_view head) {
  std::vector<LayerLine> found;
  for (std::string_view line : SplitLines(head)) {
    const std::optional<std::string_view> name = G04Value(line, "LAYER:");
    if (!name || name->empty()) continue;
    found.push_back({std::string(TrimBlanks(line)), StrUpperAscii(*name)});
    if (found.size() == kMaxLayerLines) break;
  }
  return found;
}

std::string WithoutBlanks(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c != ' ' && c != '_' && c != '-') result += c;
  }
  return result;
}

// An EasyEDA layer name; unknown when the name is none of them.
LayerFunction EasyEdaLayer(const std::string& name) {
  struct Entry {
    const char* name;
    FunctionKind kind;
  };
  static const Entry kNames[] = {
      {"TOPLAYER", FunctionKind::TopCopper},
      {"BOTTOMLAYER", FunctionKind::BottomCopper},
      {"TOPSILKLAYER", FunctionKind::TopSilk},
      {"TOPSILKSCREENLAYER", FunctionKind::TopSilk},
      {"BOTTOMSILKLAYER", FunctionKind::BottomSilk},
      {"BOTTOMSILKSCREENLAYER", FunctionKind::BottomSilk},
      {"TOPSOLDERMASKLAYER", FunctionKind::TopMask},
      {"BOTTOMSOLDERMASKLAYER", FunctionKind::BottomMask},
      {"TOPPASTEMASKLAYER", FunctionKind::TopPaste},
      {"BOTTOMPASTEMASKLAYER", FunctionKind::BottomPaste},
      {"BOARDOUTLINELAYER", FunctionKind::Outline},
      {"BOARDOUTLINE", FunctionKind::Outline},
  };
  const std::string key = WithoutBlanks(name);
  for (const Entry& entry : kNames) {
    if (key == entry.name) return {entry.kind};
  }
  if (key.rfind("INNER", 0) == 0) {
    int number = SmallNumber(std::string_view(key).substr(5));
    if (number >= 1) return {FunctionKind::InnerCopper, number};
  }
  return {};
}

// What one Allegro "CLASS/SUBCLASS" record says about the film that holds it.
enum class AllegroRecord { Function, Outline, UnnumberedInner, Veto, Irrelevant };

AllegroRecord ReadAllegroRecord(const std::string& name, LayerFunction& function) {
  size_t slash = name.find('/');
  if (slash == std::string::npos) return AllegroRecord::Irrelevant;
  const std::string cls(TrimBlanks(std::string_view(name).substr(0, slash)));
  const std::string sub(TrimBlanks(std::string_view(name).substr(slash + 1)));
  struct Entry {
    const char* subclass;
    FunctionKind kind;
  };
  static const Entry kSubclasses[] = {
      {"SILKSCREEN_TOP", FunctionKind::TopSilk},     {"SILKSCREEN_BOTTOM", FunctionKind::BottomSilk},
      {"SOLDERMASK_TOP", FunctionKind::TopMask},     {"SOLDERMASK_BOTTOM", FunctionKind::BottomMask},
      {"PASTEMASK_TOP", FunctionKind::TopPaste},     {"PASTEMASK_BOTTOM", FunctionKind::BottomPaste},
  };
  for (const Entry& entry : kSubclasses) {
    if (sub == entry.subclass) {
      function = {entry.kind};
      return AllegroRecord::Function;
    }
  }
  // Drill figures and assembly outlines belong on drawings, not on a fabrication film.
  if (sub.rfind("NCDRILL", 0) == 0 || sub.rfind("ASSEMBLY", 0) == 0) return AllegroRecord::Veto;
  if (cls == "BOARD GEOMETRY" && (sub == "OUTLINE" || sub == "DESIGN_OUTLINE")) return AllegroRecord::Outline;
  if (cls == "ETCH" || cls == "PIN" || cls == "VIA CLASS") {
    if (sub == "TOP") function = {FunctionKind::TopCopper};
    else if (sub == "BOTTOM") function = {FunctionKind::BottomCopper};
    else return cls == "ETCH" ? AllegroRecord::UnnumberedInner : AllegroRecord::Irrelevant;
    return AllegroRecord::Function;
  }
  return AllegroRecord::Irrelevant;
}

// An Allegro film: the one function its records agree on. Nearly every film also carries
// the board outline, so the outline decides only for a film that holds nothing else.
MaybeFinding AllegroFilm(const std::vector<LayerLine>& lines) {
  MaybeFinding decided;
  const LayerLine* outline = nullptr;
  bool inner = false;
  for (const LayerLine& line : lines) {
    LayerFunction function;
    switch (ReadAllegroRecord(line.name, function)) {
      case AllegroRecord::Veto: return std::nullopt;
      case AllegroRecord::UnnumberedInner: inner = true; break;
      case AllegroRecord::Outline: outline = outline ? outline : &line; break;
      case AllegroRecord::Irrelevant: break;
      case AllegroRecord::Function:
        if (decided && decided->function != function) return std::nullopt;
        if (!decided) decided = Finding{function, "header comment " + Quotable(line.line)};
        break;
    }
  }
  if (decided && inner) return std::nullopt;  // an inner etch beside an outer one: a mixed film
  if (decided) return decided;
  if (outline && !inner) return Finding{{FunctionKind::Outline}, "header comment " + Quotable(outline->line)};
  return std::nullopt;
}

// gEDA pcb and pcb-rnd write "G04 Title: <board>, <layer group> *" and "G04 Creator: pcb
// 4.2.2 *" (or "pcb-rnd 3.0.6"). The group names below are those the two tools give the
// outer layers by default, and "Intern" pcb-rnd's for inner copper; any other group (a
// user's name, a drawing) says nothing here.
MaybeFinding PcbTitle(std::string_view head) {
  std::string_view title, titleLine;
  bool byPcb = false;
  size_t seen = 0;
  for (std::string_view line : SplitLines(head)) {
    if (++seen > kMaxLayerLines) break;
    const std::optional<std::string_view> creator = G04Value(line, "Creator:");
    if (creator && (creator->rfind("pcb ", 0) == 0 || creator->rfind("pcb-rnd ", 0) == 0)) byPcb = true;
    const std::optional<std::string_view> value = G04Value(line, "Title:");
    const size_t comma = value ? value->rfind(", ") : std::string_view::npos;
    if (comma != std::string_view::npos && title.empty()) {
      title = TrimBlanks(value->substr(comma + 2));
      titleLine = TrimBlanks(line);
    }
  }
  if (!byPcb || title.empty()) return std::nullopt;
  struct Entry {
    const char* group;
    FunctionKind kind;
  };
  static const Entry kGroups[] = {
      {"top_copper", FunctionKind::TopCopper},  {"component", FunctionKind::TopCopper},
      {"bottom_copper", FunctionKind::BottomCopper}, {"solder", FunctionKind::BottomCopper},
      {"top_mask", FunctionKind::TopMask},      {"componentmask", FunctionKind::TopMask},
      {"bottom_mask", FunctionKind::BottomMask}, {"soldermask", FunctionKind::BottomMask},
      {"top_silk", FunctionKind::TopSilk},      {"topsilk", FunctionKind::TopSilk},
      {"bottom_silk", FunctionKind::BottomSilk}, {"bottomsilk", FunctionKind::BottomSilk},
      {"top_paste", FunctionKind::TopPaste},    {"toppaste", FunctionKind::TopPaste},
      {"bottom_paste", FunctionKind::BottomPaste}, {"bottompaste", FunctionKind::BottomPaste},
      {"outline", FunctionKind::Outline},
  };
  for (const Entry& entry : kGroups) {
    if (title == entry.group) return Finding{{entry.kind}, "header comment " + Quotable(titleLine)};
  }
  // pcb-rnd's name for every inner copper group, whatever its place in the stack.
  if (title == "Intern") {
    Finding inner{{}, "header comment " + Quotable(titleLine) + ": inner copper of unknown number"};
    inner.unnumberedInnerCopper = true;
    return inner;
  }
  return std::nullopt;
}

}  // namespace

MaybeFinding FindingFromHeaderLayerNames(std::string_view head) {
  if (MaybeFinding byTitle = PcbTitle(head)) return byTitle;
  const std::vector<LayerLine> lines = LayerLines(head);
  if (lines.empty()) return std::nullopt;
  if (lines.size() == 1) {
    LayerFunction function = EasyEdaLayer(lines[0].name);
    if (function.IsKnown()) return Finding{function, "header comment " + Quotable(lines[0].line)};
  }
  return AllegroFilm(lines);
}

}  // namespace layers
