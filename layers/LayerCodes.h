// The 13 layer codes of the program, in their fixed order, and how they meet the functions
// that recognition gives: which code a recognised file is taken for, and which functions
// a file found by a code's extension may have without contradicting it.
//
// TXT, the one drill code, is served by any drill file. When a folder holds several (a
// plated and a non-plated file, as KiCad and EasyEDA export them), a file that holds all
// holes ("drill") comes first, then the plated one, which carries nearly every hole; the
// file left out is named by the check for two files of one layer.
#pragma once

#include <array>
#include <string_view>

#include "layers/LayerFunction.h"

namespace layers {

inline constexpr std::array<std::string_view, 13> kLayerCodes = {
    "GTO", "GTP", "GTS", "GTL", "GBO", "GBP", "GBS", "GBL", "GKO", "GM1", "GPT", "GPB", "TXT"};

// The code a file of this function is taken for: GTL for top copper, GKO for the outline,
// GM1 for mechanical 1, TXT for every drill function; empty for a function no code serves
// (inner copper, mechanical layers other than 1, unknown).
std::string_view CodeForFunction(LayerFunction function);

// A file found for code may have this function: the code's own, plus the outline for
// GM1 (board tools commonly draw the outline on mechanical layer 1 and export it as .GM1).
// An unknown function contradicts no code.
bool CodeAllowsFunction(std::string_view code, LayerFunction function);

// Among several files recognised for code, the lower rank is taken first: for TXT "drill",
// then "drill plated", then "drill non-plated"; 0 for every other case.
int CandidateRank(std::string_view code, LayerFunction function);

// name is a layer code itself, ignoring ASCII case (the name an earlier run gave a file).
bool IsLayerCode(std::string_view name);

// The layer code that name's extension (after its last dot) spells, ignoring ASCII case;
// empty when it spells none. Such a file is the designed rule's candidate for that code.
std::string_view CodeOfExtension(std::string_view name);

}  // namespace layers
