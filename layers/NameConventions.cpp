#include "layers/NameConventions.h"

#include <string>

#include "kztools/kzStrTools.h"
#include "layers/Text.h"

namespace layers {

namespace {

using K = FunctionKind;

// Layer names looked for at the end of a name, written in upper case with the separators
// between their words left out ("F_Cu", "F.Cu" and "FCU" are all "FCU").
struct LayerName {
  const char* squeezed;
  FunctionKind kind;
  const char* label;  // what the evidence calls it
};

constexpr LayerName kLayerNames[] = {
    {"FCU", K::TopCopper, "KiCad layer name F_Cu"},
    {"BCU", K::BottomCopper, "KiCad layer name B_Cu"},
    {"FMASK", K::TopMask, "KiCad layer name F_Mask"},
    {"BMASK", K::BottomMask, "KiCad layer name B_Mask"},
    {"FSILKS", K::TopSilk, "KiCad layer name F_SilkS"},
    {"BSILKS", K::BottomSilk, "KiCad layer name B_SilkS"},
    {"FSILKSCREEN", K::TopSilk, "KiCad layer name F_Silkscreen"},
    {"BSILKSCREEN", K::BottomSilk, "KiCad layer name B_Silkscreen"},
    {"FPASTE", K::TopPaste, "KiCad layer name F_Paste"},
    {"BPASTE", K::BottomPaste, "KiCad layer name B_Paste"},
    {"EDGECUTS", K::Outline, "KiCad layer name Edge_Cuts"},
    {"TOPLAYER", K::TopCopper, "EasyEDA layer name TopLayer"},
    {"BOTTOMLAYER", K::BottomCopper, "EasyEDA layer name BottomLayer"},
    {"TOPSILKLAYER", K::TopSilk, "EasyEDA layer name TopSilkLayer"},
    {"BOTTOMSILKLAYER", K::BottomSilk, "EasyEDA layer name BottomSilkLayer"},
    {"TOPSILKSCREENLAYER", K::TopSilk, "EasyEDA layer name TopSilkscreenLayer"},
    {"BOTTOMSILKSCREENLAYER", K::BottomSilk, "EasyEDA layer name BottomSilkscreenLayer"},
    {"TOPSOLDERMASKLAYER", K::TopMask, "EasyEDA layer name TopSolderMaskLayer"},
    {"BOTTOMSOLDERMASKLAYER", K::BottomMask, "EasyEDA layer name BottomSolderMaskLayer"},
    {"TOPPASTEMASKLAYER", K::TopPaste, "EasyEDA layer name TopPasteMaskLayer"},
    {"BOTTOMPASTEMASKLAYER", K::BottomPaste, "EasyEDA layer name BottomPasteMaskLayer"},
    {"BOARDOUTLINELAYER", K::Outline, "EasyEDA layer name BoardOutlineLayer"},
    {"TOP", K::TopCopper, "gEDA/DipTrace layer name top"},
    {"BOTTOM", K::BottomCopper, "gEDA/DipTrace layer name bottom"},
    {"FRONT", K::TopCopper, "gEDA layer name front"},
    {"BACK", K::BottomCopper, "gEDA layer name back"},
    {"TOPMASK", K::TopMask, "gEDA/DipTrace layer name topmask"},
    {"BOTTOMMASK", K::BottomMask, "gEDA/DipTrace layer name bottommask"},
    {"FRONTMASK", K::TopMask, "gEDA layer name frontmask"},
    {"BACKMASK", K::BottomMask, "gEDA layer name backmask"},
    {"TOPSILK", K::TopSilk, "gEDA/DipTrace layer name topsilk"},
    {"BOTTOMSILK", K::BottomSilk, "gEDA/DipTrace layer name bottomsilk"},
    {"FRONTSILK", K::TopSilk, "gEDA layer name frontsilk"},
    {"BACKSILK", K::BottomSilk, "gEDA layer name backsilk"},
    {"TOPPASTE", K::TopPaste, "gEDA/DipTrace layer name toppaste"},
    {"BOTTOMPASTE", K::BottomPaste, "gEDA/DipTrace layer name bottompaste"},
    {"FRONTPASTE", K::TopPaste, "gEDA layer name frontpaste"},
    {"BACKPASTE", K::BottomPaste, "gEDA layer name backpaste"},
    {"OUTLINE", K::Outline, "layer name outline"},
    {"BOARDOUTLINE", K::Outline, "DipTrace layer name BoardOutline"},
    {"COPPERTOP", K::TopCopper, "Fritzing layer name copperTop"},
    {"COPPERBOTTOM", K::BottomCopper, "Fritzing layer name copperBottom"},
    {"MASKTOP", K::TopMask, "Fritzing layer name maskTop"},
    {"MASKBOTTOM", K::BottomMask, "Fritzing layer name maskBottom"},
    {"SILKTOP", K::TopSilk, "Fritzing layer name silkTop"},
    {"SILKBOTTOM", K::BottomSilk, "Fritzing layer name silkBottom"},
    {"PASTEMASKTOP", K::TopPaste, "Fritzing layer name pasteMaskTop"},
    {"PASTEMASKBOTTOM", K::BottomPaste, "Fritzing layer name pasteMaskBottom"},
    {"CONTOUR", K::Outline, "Fritzing layer name contour"},
    {"TOPCOPPER", K::TopCopper, "layer name Top Copper"},
    {"BOTTOMCOPPER", K::BottomCopper, "layer name Bottom Copper"},
    {"TOPSILKSCREEN", K::TopSilk, "layer name Top Silkscreen"},
    {"BOTTOMSILKSCREEN", K::BottomSilk, "layer name Bottom Silkscreen"},
    {"TOPOVERLAY", K::TopSilk, "layer name Top Overlay"},
    {"BOTTOMOVERLAY", K::BottomSilk, "layer name Bottom Overlay"},
    {"TOPSOLDERMASK", K::TopMask, "layer name Top Solder Mask"},
    {"BOTTOMSOLDERMASK", K::BottomMask, "layer name Bottom Solder Mask"},
    {"TOPSOLDERRESIST", K::TopMask, "layer name Top Solder Resist"},
    {"BOTTOMSOLDERRESIST", K::BottomMask, "layer name Bottom Solder Resist"},
    {"TOPPASTEMASK", K::TopPaste, "layer name Top Paste Mask"},
    {"BOTTOMPASTEMASK", K::BottomPaste, "layer name Bottom Paste Mask"},
    {"SILKSCREENTOP", K::TopSilk, "Allegro film name SILKSCREEN_TOP"},
    {"SILKSCREENBOTTOM", K::BottomSilk, "Allegro film name SILKSCREEN_BOTTOM"},
    {"SOLDERMASKTOP", K::TopMask, "Allegro film name SOLDERMASK_TOP"},
    {"SOLDERMASKBOTTOM", K::BottomMask, "Allegro film name SOLDERMASK_BOTTOM"},
    {"PASTEMASKTOP", K::TopPaste, "Allegro film name PASTEMASK_TOP"},
    {"PASTEMASKBOTTOM", K::BottomPaste, "Allegro film name PASTEMASK_BOTTOM"},
};

// Names that say "top" or "bottom" and nothing more name the copper only where the file is
// no drawing: "assembly_top.gbr" is an assembly drawing.
constexpr const char* kDrawingWords[] = {"ASSEMBLY", "ASSY", "FAB", "FABRICATION", "COURTYARD", "CRTYD",
                                         "DRAWING", "DRAWINGS", "DWGS", "MAP", "DRLMAP", "DOC",
                                         "DOCUMENT", "COMMENTS", "USER", "KEEPOUT", "PLACEMENT"};

struct Extension {
  const char* ext;
  FunctionKind kind;
  const char* label;
};

constexpr Extension kExtensions[] = {
    {"GTL", K::TopCopper, "Protel extension"},       {"GBL", K::BottomCopper, "Protel extension"},
    {"GTO", K::TopSilk, "Protel extension"},         {"GBO", K::BottomSilk, "Protel extension"},
    {"GTS", K::TopMask, "Protel extension"},         {"GBS", K::BottomMask, "Protel extension"},
    {"GTP", K::TopPaste, "Protel extension"},        {"GBP", K::BottomPaste, "Protel extension"},
    {"GKO", K::Outline, "Protel extension"},         {"GPT", K::TopPadMaster, "Protel extension"},
    {"GPB", K::BottomPadMaster, "Protel extension"},
    {"CMP", K::TopCopper, "Eagle CAM extension"},    {"SOL", K::BottomCopper, "Eagle CAM extension"},
    {"STC", K::TopMask, "Eagle CAM extension"},      {"STS", K::BottomMask, "Eagle CAM extension"},
    {"PLC", K::TopSilk, "Eagle CAM extension"},      {"PLS", K::BottomSilk, "Eagle CAM extension"},
    {"CRC", K::TopPaste, "Eagle CAM extension"},     {"CRS", K::BottomPaste, "Eagle CAM extension"},
    {"DIM", K::Outline, "Eagle CAM extension"},      {"GML", K::Outline, "Eagle CAM extension"},
    {"TOP", K::TopCopper, "OrCAD Layout extension"}, {"BOT", K::BottomCopper, "OrCAD Layout extension"},
    {"SMT", K::TopMask, "OrCAD Layout extension"},   {"SMB", K::BottomMask, "OrCAD Layout extension"},
    {"SST", K::TopSilk, "OrCAD Layout extension"},   {"SSB", K::BottomSilk, "OrCAD Layout extension"},
    {"SPT", K::TopPaste, "OrCAD Layout extension"},  {"SPB", K::BottomPaste, "OrCAD Layout extension"},
};

constexpr int kMaxMidLayer = 30;
constexpr int kMaxPlaneLayer = 16;
constexpr int kMaxMechanicalLayer = 32;
// Layer names span at most this many words of the name ("Drill_PTH_Through" is three).
constexpr size_t kMaxNameWords = 3;

struct SplitName {
  std::string stem;  // upper case, before the last dot
  std::string ext;   // upper case, after the last dot; empty without one
  std::string extAsWritten;
};

SplitName Split(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {StrUpperAscii(name), "", ""};
  return {StrUpperAscii(name.substr(0, dot)), StrUpperAscii(name.substr(dot + 1)), std::string(name.substr(dot + 1))};
}

std::vector<std::string> Words(const std::string& stem) {
  std::vector<std::string> words;
  std::string word;
  for (char c : stem) {
    if (c == '-' || c == '_' || c == '.' || c == ' ' || c == '+') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// "G<n>" with n in 1..limit after prefix: the number, or -1.
int NumberAfter(const std::string& text, std::string_view prefix, int limit) {
  if (text.rfind(prefix, 0) != 0) return -1;
  int number = SmallNumber(std::string_view(text).substr(prefix.size()));
  return number >= 1 && number <= limit ? number : -1;
}

Finding UnnumberedInnerCopper(const std::string& evidence) {
  Finding inner{{}, evidence + ": inner copper of unknown number"};
  inner.unnumberedInnerCopper = true;
  return inner;
}

// "G<n>L" with n in 2..31: n, or -1.
int OshParkInnerLayer(const std::string& ext) {
  if (ext.size() < 3 || ext.back() != 'L') return -1;
  int number = NumberAfter(ext.substr(0, ext.size() - 1), "G", kMaxMidLayer + 1);
  return number >= 2 ? number : -1;
}

bool HasDrawingWord(const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    for (const char* drawing : kDrawingWords) {
      if (word == drawing) return true;
    }
  }
  return false;
}

bool IsSideOnly(FunctionKind kind, const char* squeezed) {
  return (kind == K::TopCopper || kind == K::BottomCopper) &&
         (std::string_view(squeezed) == "TOP" || std::string_view(squeezed) == "BOTTOM" ||
          std::string_view(squeezed) == "FRONT" || std::string_view(squeezed) == "BACK");
}

MaybeFinding NumberedLayerName(const std::string& tail) {
  // KiCad "In2_Cu": inner copper counted from the top.
  if (tail.size() > 4 && tail.rfind("IN", 0) == 0 && tail.compare(tail.size() - 2, 2, "CU") == 0) {
    int number = SmallNumber(std::string_view(tail).substr(2, tail.size() - 4));
    if (number >= 1) return Finding{{K::InnerCopper, number}, "file name: KiCad layer name In" + std::to_string(number) + "_Cu"};
  }
  int inner = NumberAfter(tail, "INNER", kMaxMidLayer);
  if (inner >= 1) return Finding{{K::InnerCopper, inner}, "file name: layer name Inner" + std::to_string(inner)};
  return std::nullopt;
}

MaybeFinding LayerNameIs(const std::string& tail, const std::vector<std::string>& words) {
  if (MaybeFinding numbered = NumberedLayerName(tail)) return numbered;
  for (const LayerName& name : kLayerNames) {
    if (tail != name.squeezed) continue;
    if (IsSideOnly(name.kind, name.squeezed) && HasDrawingWord(words)) return std::nullopt;
    return Finding{{name.kind}, std::string("file name: ") + name.label};
  }
  return std::nullopt;
}

// The longest layer name that ends stem ("SOLDERMASK_TOP" is a mask, not the copper "TOP");
// wholeStem tells whether it is all of the stem, with no board name before it.
MaybeFinding LayerNameAtEnd(const std::string& stem, bool& wholeStem) {
  const std::vector<std::string> words = Words(stem);
  MaybeFinding longest;
  std::string tail;
  for (size_t k = 1; k <= kMaxNameWords && k <= words.size(); ++k) {
    tail = words[words.size() - k] + tail;
    if (MaybeFinding found = LayerNameIs(tail, words)) {
      longest = std::move(found);
      wholeStem = k == words.size();
    }
  }
  return longest;
}

MaybeFinding LayerExtension(const SplitName& split, const NameContext& context) {
  std::string quoted(1, '.');  // appended: g++ 12 warns falsely (-Wrestrict) on "." + a temporary
  quoted += Quotable(split.extAsWritten);
  for (const Extension& ext : kExtensions) {
    if (split.ext == ext.ext) return Finding{{ext.kind}, std::string("file name: ") + ext.label + " " + quoted};
  }
  int mechanical = NumberAfter(split.ext, "GM", kMaxMechanicalLayer);
  if (mechanical >= 1) return Finding{{K::Mechanical, mechanical}, "file name: Protel extension " + quoted};
  const int plane = NumberAfter(split.ext, "GP", kMaxPlaneLayer);
  const int mid = NumberAfter(split.ext, "G", kMaxMidLayer);
  if (plane >= 1 || mid >= 1) {
    const std::string evidence =
        std::string("file name: Altium ") + (plane >= 1 ? "internal plane" : "mid-layer") + " extension " + quoted;
    // Mid layers and planes are numbered in their own series; together they give no order.
    const bool oneSeries = !(context.hasMidLayers && context.hasPlaneLayers);
    // KiCad's Protel extensions number the copper from the top (".g2" is its first inner
    // layer), Altium's mid layers from the first inner layer (".G1"): only a series that
    // starts at ".G1" is numbered as Altium's.
    const bool fromFirst = plane >= 1 || context.hasFirstMidLayer || split.ext == "G1";
    if (oneSeries && fromFirst) return Finding{{K::InnerCopper, plane >= 1 ? plane : mid}, evidence};
    // Either way the file lies between the top and the bottom copper.
    return UnnumberedInnerCopper(evidence + (oneSeries ? " in a series without .G1" : " beside the other inner series"));
  }
  // Eagle's inner layers 2..15, ".ly2".."ly15": Eagle numbers layers, not their order.
  if (const int eagle = NumberAfter(split.ext, "LY", 15); eagle >= 2)
    return UnnumberedInnerCopper("file name: Eagle inner layer extension " + quoted);
  // OSH Park's ".G2L", ".G3L": copper layers 2, 3 counted from the top one.
  if (const int copperLayer = OshParkInnerLayer(split.ext); copperLayer >= 2)
    return Finding{{K::InnerCopper, copperLayer - 1}, "file name: OSH Park inner layer extension " + quoted};
  return std::nullopt;
}

MaybeFinding GerberName(std::string_view name, const NameContext& context) {
  const SplitName split = Split(name);
  bool wholeStem = false;
  MaybeFinding byLayerName = LayerNameAtEnd(split.stem, wholeStem);
  MaybeFinding byExtension = LayerExtension(split, context);
  // A name that is nothing but a layer word may be the board's own name ("top.GBL"): then
  // the layer extension, where there is one, says more.
  if (byLayerName && wholeStem && byExtension) return byExtension;
  return byLayerName ? byLayerName : byExtension;
}

// The name of the plated drill file beside a non-plated one that a board tool names by
// adding "-NPTH" or "_NPTH" ("board.drl" beside "board_NPTH.drl"), in upper case; empty
// for other names.
std::string PlatedSiblingOf(std::string_view name) {
  const SplitName split = Split(name);
  // pcb-rnd's Eagle-style names: ".drd" for the plated holes, ".dru" for the others.
  if (split.ext == "DRU") return split.stem + ".DRD";
  for (std::string_view suffix : {"-NPTH", "_NPTH"}) {
    const std::string& stem = split.stem;
    if (stem.size() > suffix.size() && stem.compare(stem.size() - suffix.size(), suffix.size(), suffix) == 0)
      return stem.substr(0, stem.size() - suffix.size()) + "." + split.ext;
  }
  return {};
}

// Plating words in a drill file's name: KiCad "-PTH"/"-NPTH", EasyEDA "Drill_PTH_Through",
// gEDA "plated-drill"/"unplated-drill", Altium "-Plated"/"-NonPlated". A name without them
// is the plated one where the folder holds its "-NPTH" sibling.
MaybeFinding DrillName(std::string_view name, const NameContext& context) {
  const SplitName split = Split(name);
  const std::vector<std::string> words = Words(split.stem);
  std::string plated, nonPlated;  // the first plating word of each kind
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    const bool afterNon = i > 0 && words[i - 1] == "NON";
    if (w == "NPTH" || w == "NONPLATED" || w == "UNPLATED" || (w == "PLATED" && afterNon)) {
      if (nonPlated.empty()) nonPlated = afterNon ? "NON-" + w : w;
    } else if (w == "PTH" || w == "PLATED") {
      if (plated.empty()) plated = w;
    }
  }
  if (!plated.empty() && !nonPlated.empty()) return std::nullopt;
  if (!nonPlated.empty()) return Finding{{K::DrillNonPlated}, "file name: plating word " + Quotable(nonPlated)};
  if (!plated.empty()) return Finding{{K::DrillPlated}, "file name: plating word " + Quotable(plated)};
  if (split.ext == "DRU")
    return Finding{{K::DrillNonPlated}, "file name: extension for unplated holes ." + Quotable(split.extAsWritten)};
  for (const std::string& sibling : context.nonPlatedDrills) {
    if (PlatedSiblingOf(sibling) == split.stem + "." + split.ext)
      return Finding{{K::DrillPlated}, "file name: the non-plated holes are in " + Quotable(sibling)};
  }
  return std::nullopt;
}

}  // namespace

NameContext NameContextOf(const std::vector<std::string>& names) {
  NameContext context;
  for (const std::string& name : names) {
    const std::string ext = Split(name).ext;
    if (NumberAfter(ext, "GP", kMaxPlaneLayer) >= 1) context.hasPlaneLayers = true;
    else if (NumberAfter(ext, "G", kMaxMidLayer) >= 1) context.hasMidLayers = true;
    if (ext == "G1") context.hasFirstMidLayer = true;
    if (!PlatedSiblingOf(name).empty()) context.nonPlatedDrills.push_back(name);
  }
  return context;
}

StackPlace StackPlaceOfExtension(std::string_view name) {
  const std::string ext = Split(name).ext;
  if (ext == "GTL") return StackPlace::Top;
  if (ext == "GBL") return StackPlace::Bottom;
  if (NumberAfter(ext, "GP", kMaxPlaneLayer) >= 1 || NumberAfter(ext, "G", kMaxMidLayer) >= 1) return StackPlace::Inner;
  return StackPlace::None;
}

MaybeFinding FindingFromFileName(std::string_view name, FileKind kind, const NameContext& context) {
  switch (kind) {
    case FileKind::Gerber: return GerberName(name, context);
    case FileKind::Excellon: return DrillName(name, context);
    case FileKind::Other: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace layers
