// The function a file's name states by the naming conventions of board tools: layer
// names at the end of the name (KiCad "F_Cu", EasyEDA "TopLayer", gEDA "topmask",
// DipTrace "BoardOutline", Fritzing "copperTop"), layer extensions (Protel/Altium ".GTL",
// ".G1", ".GP1", ".GM1"; Eagle CAM ".cmp", ".stc"; OrCAD Layout ".SMT"; OSH Park ".G2L")
// and plating words in drill file names ("-NPTH", "Drill_PTH_Through", "unplated-drill").
// The weakest evidence
// of all, so it only ever names a function that one of these conventions spells out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "layers/FileKind.h"
#include "layers/Finding.h"

namespace layers {

// What the other names of the folder tell. Altium's mid layers (".G1".."G30") and internal
// planes (".GP1"..) are numbered in two separate series, so their numbers give the order
// of the inner layers only while the folder holds one series alone, and mid layers are
// numbered as Altium's only where the series starts at ".G1" (KiCad's first inner layer
// is ".g2"). Otherwise such a file is still an inner copper layer, of unknown number. A
// drill file named like "board-NPTH.drl" (or pcb-rnd's "board.dru") says that "board.drl"
// ("board.drd") beside it holds the plated holes.
struct NameContext {
  bool hasMidLayers = false;
  bool hasPlaneLayers = false;
  bool hasFirstMidLayer = false;
  std::vector<std::string> nonPlatedDrills;  // names as written
};

NameContext NameContextOf(const std::vector<std::string>& names);

// The finding for the file name of a file of kind: for Gerber a layer name or extension,
// for Excellon a plating word; nothing for other files or names no convention covers.
// A layer name in the name beats the extension, which board tools add by their own,
// coarser rule (KiCad puts its board outline "Edge_Cuts" in ".gm1").
MaybeFinding FindingFromFileName(std::string_view name, FileKind kind, const NameContext& context = {});

// Where a Protel/Altium extension puts a copper layer in the stack: ".GTL" on top, ".GBL"
// at the bottom, the mid layers ".G1".."G30" and internal planes ".GP1".."GP16" between
// them; None for every other name.
enum class StackPlace { None, Top, Bottom, Inner };
StackPlace StackPlaceOfExtension(std::string_view name);

}  // namespace layers
