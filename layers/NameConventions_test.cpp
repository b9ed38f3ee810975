// The focus of this file is the naming conventions of board tools: which names state a
// function, which state none (never guessed), and how layer names, extensions and the
// folder's other names weigh against each other.
#include "layers/NameConventions.h"

#include <gtest/gtest.h>

#include <string>

namespace layers {
namespace {

std::string FunctionOf(const std::string& name, FileKind kind, const NameContext& context = {}) {
  MaybeFinding finding = FindingFromFileName(name, kind, context);
  return finding ? FunctionName(finding->function) : "none";
}

struct NameCase {
  const char* name;
  const char* function;
};

TEST(FindingFromFileName, GerberNamesOfBoardTools) {
  const NameCase cases[] = {
      // Protel / Altium
      {"board.GTL", "top copper"},         {"board.gbl", "bottom copper"},
      {"board.GTO", "top silk"},           {"board.GBO", "bottom silk"},
      {"board.GTS", "top mask"},           {"board.GBS", "bottom mask"},
      {"board.GTP", "top paste"},          {"board.GBP", "bottom paste"},
      {"board.GKO", "outline"},            {"board.GM1", "mechanical 1"},
      {"board.GM13", "mechanical 13"},     {"board.GPT", "top pad master"},
      {"board.GPB", "bottom pad master"},  {"board.G1", "inner copper 1"},
      {"board.GP2", "inner copper 2"},
      // OSH Park: copper layers counted from the top one
      {"board.G2L", "inner copper 1"},     {"board.g3l", "inner copper 2"},
      // KiCad, with and without the Protel extension option, old and new layer names
      {"board-F_Cu.gbr", "top copper"},    {"board-B_Cu.gbr", "bottom copper"},
      {"board-In1_Cu.gbr", "inner copper 1"}, {"board-In12_Cu.gbr", "inner copper 12"},
      {"board-F_Mask.gbr", "top mask"},    {"board-B_Mask.gbs", "bottom mask"},
      {"board-F_Silkscreen.gbr", "top silk"}, {"board-B_SilkS.gbo", "bottom silk"},
      {"board-F_Paste.gtp", "top paste"},  {"board-B_Paste.gbr", "bottom paste"},
      {"board-Edge_Cuts.gbr", "outline"},  {"board-Edge_Cuts.gm1", "outline"},
      {"board-F.Cu.gtl", "top copper"},    {"board-In1_Cu.g2", "inner copper 1"},
      // EasyEDA
      {"Gerber_TopLayer.GTL", "top copper"}, {"Gerber_BottomLayer.GBL", "bottom copper"},
      {"Gerber_TopSilkscreenLayer.GTO", "top silk"}, {"Gerber_BottomSilkLayer.GBO", "bottom silk"},
      {"Gerber_TopSolderMaskLayer.GTS", "top mask"}, {"Gerber_BottomPasteMaskLayer.GBP", "bottom paste"},
      {"Gerber_BoardOutlineLayer.GKO", "outline"}, {"Gerber_Inner1.G1", "inner copper 1"},
      // Eagle CAM
      {"board.cmp", "top copper"},         {"board.sol", "bottom copper"},
      {"board.stc", "top mask"},           {"board.sts", "bottom mask"},
      {"board.plc", "top silk"},           {"board.pls", "bottom silk"},
      {"board.crc", "top paste"},          {"board.crs", "bottom paste"},
      {"board.dim", "outline"},            {"board.gml", "outline"},
      // gEDA / pcb-rnd
      {"board.top.gbr", "top copper"},     {"board.bottom.gbr", "bottom copper"},
      {"board.topmask.gbr", "top mask"},   {"board.bottommask.gbr", "bottom mask"},
      {"board.topsilk.gbr", "top silk"},   {"board.bottompaste.gbr", "bottom paste"},
      {"board.outline.gbr", "outline"},    {"board.frontsilk.gbr", "top silk"},
      // DipTrace
      {"board_Top.gbr", "top copper"},     {"board_TopMask.gbr", "top mask"},
      {"board_BottomSilk.gbr", "bottom silk"}, {"board_BoardOutline.gbr", "outline"},
      // Fritzing: its outline goes into .gm1
      {"board_copperTop.gtl", "top copper"}, {"board_copperBottom.gbl", "bottom copper"},
      {"board_maskTop.gts", "top mask"},   {"board_silkTop.gto", "top silk"},
      {"board_contour.gm1", "outline"},
      // OrCAD Layout, Allegro film names, Proteus-like words
      {"board.SMT", "top mask"},           {"board.SSB", "bottom silk"},
      {"SOLDERMASK_TOP.art", "top mask"},  {"PASTEMASK_BOTTOM.art", "bottom paste"},
      {"CADCAM Top Copper.gbr", "top copper"}, {"CADCAM Bottom Solder Resist.gbr", "bottom mask"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(FunctionOf(c.name, FileKind::Gerber), c.function) << c.name;
}

TEST(FindingFromFileName, NamesThatStateNothingAreNeverGuessed) {
  const NameCase cases[] = {
      {"board.gbr", "none"},                 {"copper.gbr", "none"},
      {"layer1.gbr", "none"},                {"board-F_Fab.gbr", "none"},
      {"board-F_Courtyard.gbr", "none"},     {"board-User_Drawings.gbr", "none"},
      {"board-drl_map.gbr", "none"},         {"board.group1.gbr", "none"},
      {"board.fab.gbr", "none"},             {"assembly_top.gbr", "none"},
      {"board_Top_Assembly.gbr", "none"},    {"fab_bottom.gbr", "none"},
      {"board.GM0", "none"},                 {"board.G31", "none"},
      {"board.GD1", "none"},                 {"board.GTA", "none"},
      {"GTL", "none"},                       {".GTL", "none"},
      {"board.pho", "none"},                 {"art001.pho", "none"},
      {"board.G1L", "none"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(FunctionOf(c.name, FileKind::Gerber), c.function) << c.name;
}

TEST(FindingFromFileName, ALayerWordAloneMayBeTheBoardNameAndYieldsToTheExtension) {
  EXPECT_EQ(FunctionOf("top.GBL", FileKind::Gerber), "bottom copper");
  EXPECT_EQ(FunctionOf("outline.GTO", FileKind::Gerber), "top silk");
  EXPECT_EQ(FunctionOf("Top.gbr", FileKind::Gerber), "top copper");  // DipTrace without a board name
  // With a board name before it, the layer name is the tool's and beats the extension.
  EXPECT_EQ(FunctionOf("board-B_Cu.GTL", FileKind::Gerber), "bottom copper");
}

TEST(FindingFromFileName, DrillNamesStatePlatingOnly) {
  const NameCase cases[] = {
      {"board-PTH.drl", "drill plated"},          {"board-NPTH.drl", "drill non-plated"},
      {"Drill_PTH_Through.DRL", "drill plated"},  {"Drill_NPTH_Through.DRL", "drill non-plated"},
      {"Drill_PTH_Through_Via.DRL", "drill plated"},
      {"board.plated-drill.cnc", "drill plated"}, {"board.unplated-drill.cnc", "drill non-plated"},
      {"board-Plated.TXT", "drill plated"},       {"board-NonPlated.TXT", "drill non-plated"},
      {"board-Non_Plated.TXT", "drill non-plated"},
      {"board.drl", "none"},                      {"board_drill.txt", "none"},
      {"board.GTL", "none"},                      // a layer extension says nothing about holes
      {"PTH_and_NPTH.drl", "none"},               // both words: no decision
  };
  for (const NameCase& c : cases) EXPECT_EQ(FunctionOf(c.name, FileKind::Excellon), c.function) << c.name;
  EXPECT_EQ(FunctionOf("board.GTL", FileKind::Other), "none");
}

TEST(FindingFromFileName, AltiumInnerLayerNumbersCountOnlyWithinOneSeriesFromG1) {
  const NameContext midOnly = NameContextOf({"b.GTL", "b.G1", "b.G2", "b.G30", "b.GBL"});
  const NameContext planesOnly = NameContextOf({"b.GTL", "b.GP1", "b.GP2", "b.GBL"});
  const NameContext both = NameContextOf({"b.GTL", "b.G1", "b.GP1", "b.GP2", "b.G2", "b.GBL"});
  EXPECT_EQ(FunctionOf("b.G2", FileKind::Gerber, midOnly), "inner copper 2");
  EXPECT_EQ(FunctionOf("b.G30", FileKind::Gerber, midOnly), "inner copper 30");
  EXPECT_EQ(FunctionOf("b.GP2", FileKind::Gerber, planesOnly), "inner copper 2");
  EXPECT_FALSE(FindingFromFileName("b.G2", FileKind::Gerber, midOnly)->unnumberedInnerCopper);
  // Together: inner copper for certain, with no number.
  for (const char* name : {"b.G2", "b.GP1"}) {
    const MaybeFinding finding = FindingFromFileName(name, FileKind::Gerber, both);
    ASSERT_TRUE(finding) << name;
    EXPECT_EQ(FunctionName(finding->function), "unknown") << name;
    EXPECT_TRUE(finding->unnumberedInnerCopper) << name;
  }
  EXPECT_EQ(FindingFromFileName("b.GP1", FileKind::Gerber, both)->evidence,
            "file name: Altium internal plane extension .GP1 beside the other inner series: inner copper of "
            "unknown number");
  EXPECT_EQ(FunctionOf("b.GM1", FileKind::Gerber, both), "mechanical 1");
  EXPECT_FALSE(FindingFromFileName("b.GTL", FileKind::Gerber, both)->unnumberedInnerCopper);
  // KiCad's Protel extensions count the top layer as 1: its first inner layer is ".g2".
  const NameContext kicad = NameContextOf({"b-top.gtl", "b-GND.g2", "b-VCC.g3", "b-In3_Cu.g4", "b-bottom.gbl"});
  EXPECT_EQ(FunctionOf("b-GND.g2", FileKind::Gerber, kicad), "unknown");
  EXPECT_TRUE(FindingFromFileName("b-GND.g2", FileKind::Gerber, kicad)->unnumberedInnerCopper);
  EXPECT_EQ(FunctionOf("b-In3_Cu.g4", FileKind::Gerber, kicad), "inner copper 3");
  // Eagle numbers its layers, not their order: ".ly2" is some inner layer.
  EXPECT_TRUE(FindingFromFileName("b.ly2", FileKind::Gerber)->unnumberedInnerCopper);
  EXPECT_EQ(FunctionOf("b.ly1", FileKind::Gerber), "none");
}

TEST(FindingFromFileName, APlainDrillNameBesideItsNonPlatedSiblingIsThePlatedOne) {
  for (const char* sibling : {"LED_NPTH.drl", "LED-NPTH.drl", "led_npth.DRL"}) {
    const NameContext context = NameContextOf({"LED.drl", sibling, "LED.gtl"});
    EXPECT_EQ(FunctionOf("LED.drl", FileKind::Excellon, context), "drill plated") << sibling;
    EXPECT_EQ(FunctionOf(sibling, FileKind::Excellon, context), "drill non-plated");
  }
  const NameContext eagleStyle = NameContextOf({"LED.drd", "LED.dru"});
  EXPECT_EQ(FunctionOf("LED.drd", FileKind::Excellon, eagleStyle), "drill plated");
  EXPECT_EQ(FunctionOf("LED.dru", FileKind::Excellon, eagleStyle), "drill non-plated");
  EXPECT_EQ(FunctionOf("LED.drd", FileKind::Excellon), "none");  // Eagle's own .drd holds both
  const NameContext other = NameContextOf({"LED.drl", "LED2_NPTH.drl", "LED_NPTH.txt"});
  EXPECT_EQ(FunctionOf("LED.drl", FileKind::Excellon, other), "none");
  EXPECT_EQ(FindingFromFileName("LED.drl", FileKind::Excellon, NameContextOf({"LED.drl", "LED_NPTH.drl"}))->evidence,
            "file name: the non-plated holes are in LED_NPTH.drl");
}

TEST(FindingFromFileName, EvidenceNamesTheConvention) {
  EXPECT_EQ(FindingFromFileName("board-F_Cu.gbr", FileKind::Gerber)->evidence, "file name: KiCad layer name F_Cu");
  EXPECT_EQ(FindingFromFileName("amp.gtl", FileKind::Gerber)->evidence, "file name: Protel extension .gtl");
  EXPECT_EQ(FindingFromFileName("amp.G2", FileKind::Gerber, NameContextOf({"amp.G1", "amp.G2"}))->evidence,
            "file name: Altium mid-layer extension .G2");
  EXPECT_EQ(FindingFromFileName("amp.G2L", FileKind::Gerber)->evidence, "file name: OSH Park inner layer extension .G2L");
  EXPECT_EQ(FindingFromFileName("b.cmp", FileKind::Gerber)->evidence, "file name: Eagle CAM extension .cmp");
  EXPECT_EQ(FindingFromFileName("b-NPTH.drl", FileKind::Excellon)->evidence, "file name: plating word NPTH");
}

}  // namespace
}  // namespace layers
