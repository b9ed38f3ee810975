#include "layers/X2FileFunction.h"

#include <string>
#include <vector>

#include "kztools/kzStrTools.h"
#include "layers/Text.h"

namespace layers {

namespace {

using Fields = std::vector<std::string>;

Fields SplitFields(std::string_view value) {
  Fields fields;
  size_t start = 0;
  while (true) {
    size_t comma = value.find(',', start);
    std::string_view field = value.substr(start, comma == std::string_view::npos ? value.npos : comma - start);
    fields.push_back(StrUpperAscii(TrimBlanks(field)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

const std::string& Field(const Fields& fields, size_t index) {
  static const std::string kNone;
  return index < fields.size() ? fields[index] : kNone;
}

// The side field of "Soldermask,Top" and its kin: Top or Bot.
std::optional<LayerFunction> BySide(const Fields& fields, FunctionKind top, FunctionKind bottom) {
  if (Field(fields, 1) == "TOP") return LayerFunction{top};
  if (Field(fields, 1) == "BOT") return LayerFunction{bottom};
  return std::nullopt;
}

// "Copper,L<p>,Top|Inr|Bot[,type]": p counts the copper layers from the top, so the inner
// layer L2 is the first inner copper.
std::optional<LayerFunction> Copper(const Fields& fields) {
  const std::string& layer = Field(fields, 1);
  int position = layer.size() > 1 && layer[0] == 'L' ? SmallNumber(std::string_view(layer).substr(1)) : -1;
  if (position < 1) return std::nullopt;
  const std::string& side = Field(fields, 2);
  if (side == "TOP") return LayerFunction{FunctionKind::TopCopper};
  if (side == "BOT") return LayerFunction{FunctionKind::BottomCopper};
  if (side == "INR" && position >= 2) return LayerFunction{FunctionKind::InnerCopper, position - 1};
  return std::nullopt;
}

// "Other,<text>": only a mechanical layer with its number ("Mechanical 1", "Mechanical_13",
// "Mech1") is in the vocabulary; anything else is a layer of its own kind.
LayerFunction Other(const Fields& fields) {
  std::string text;
  for (char c : Field(fields, 1)) {
    if (c != ' ' && c != '_' && c != '-') text += c;
  }
  for (std::string_view prefix : {"MECHANICAL", "MECH"}) {
    if (text.rfind(prefix, 0) == 0) {
      int number = SmallNumber(std::string_view(text).substr(prefix.size()));
      if (number >= 1) return {FunctionKind::Mechanical, number};
    }
  }
  return {};
}

// File functions of the Gerber format that the vocabulary has no name for.
bool IsOtherKnownFunction(const std::string& name) {
  static const char* const kNames[] = {
      "GLUE",      "CARBONMASK",   "GOLDMASK", "HEATSINKMASK",       "PEELABLEMASK",
      "SILVERMASK", "TINMASK",     "DEPTHROUT", "VCUT",              "VIAFILL",
      "DRILLMAP",  "FABRICATIONDRAWING", "VCUTMAP", "ASSEMBLYDRAWING", "ARRAYDRAWING",
      "OTHERDRAWING", "COMPONENT", "KEEPOUT"};
  for (const char* known : kNames) {
    if (name == known) return true;
  }
  return false;
}

}  // namespace

std::optional<LayerFunction> FunctionFromX2(std::string_view value) {
  const Fields fields = SplitFields(value);
  const std::string& name = fields[0];
  if (name == "COPPER") return Copper(fields);
  if (name == "SOLDERMASK") return BySide(fields, FunctionKind::TopMask, FunctionKind::BottomMask);
  if (name == "LEGEND") return BySide(fields, FunctionKind::TopSilk, FunctionKind::BottomSilk);
  if (name == "PASTE") return BySide(fields, FunctionKind::TopPaste, FunctionKind::BottomPaste);
  if (name == "PADS") return BySide(fields, FunctionKind::TopPadMaster, FunctionKind::BottomPadMaster);
  if (name == "PROFILE") return LayerFunction{FunctionKind::Outline};
  if (name == "PLATED") return LayerFunction{FunctionKind::DrillPlated};
  if (name == "NONPLATED") return LayerFunction{FunctionKind::DrillNonPlated};
  if (name == "MIXEDPLATING") return LayerFunction{FunctionKind::Drill};
  if (name == "OTHER") return Other(fields);
  if (IsOtherKnownFunction(name)) return LayerFunction{};
  return std::nullopt;
}

}  // namespace layers
