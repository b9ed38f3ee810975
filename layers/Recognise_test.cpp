// The focus of this file is recognising whole folders: the exports of each board tool,
// the order of trust between sources of evidence, bounded reading, bad bytes, and which
// entries of a folder are looked at.
#include "layers/Recognise.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "layers/LayerChecks.h"
#include "layers/testing/BoardHeads.h"
#include "platform/FileStream.h"
#include "platform/testing/TempDir.h"

using namespace std::string_literals;

namespace layers {
namespace {

using namespace layers::testing;
using Files = std::vector<std::pair<std::string, std::string>>;  // name, content

// "kind function" of every recognised file, by name.
std::map<std::string, std::string> Recognised(const Files& files) {
  platform::testing::TempDir dir;
  for (const auto& [name, content] : files) dir.Write(name, content);
  std::map<std::string, std::string> result;
  for (const RecognisedFile& file : RecogniseFolder(dir.Path())) {
    result[file.name] = std::string(FileKindName(file.kind)) + " " + FunctionName(file.function);
  }
  return result;
}

RecognisedFile RecogniseOne(const std::string& name, const std::string& content) {
  platform::testing::TempDir dir;
  dir.Write(name, content);
  std::vector<RecognisedFile> files = RecogniseFolder(dir.Path());
  EXPECT_EQ(files.size(), 1u);
  return files.empty() ? RecognisedFile{} : files[0];
}

const char kKiCadJob[] = R"({"Header": {"GenerationSoftware": {"Vendor": "KiCad"}},
  "FilesAttributes": [
    {"Path": "board-F_Cu.gbr", "FileFunction": "Copper,L1,Top", "FilePolarity": "Positive"},
    {"Path": "board-In1_Cu.gbr", "FileFunction": "Copper,L2,Inr", "FilePolarity": "Positive"}]})";

struct ToolCase {
  const char* tool;
  Files files;
  std::map<std::string, std::string> expected;
};

TEST(RecogniseFolder, ExportsOfBoardTools) {
  const ToolCase cases[] = {
      {"KiCad 6 with X2",
       {{"board-F_Cu.gbr", KiCadX2("Copper,L1,Top")}, {"board-In1_Cu.gbr", KiCadX2("Copper,L2,Inr")},
        {"board-In2_Cu.gbr", KiCadX2("Copper,L3,Inr")}, {"board-B_Cu.gbr", KiCadX2("Copper,L4,Bot")},
        {"board-F_Mask.gbr", KiCadX2("Soldermask,Top")}, {"board-B_Silkscreen.gbr", KiCadX2("Legend,Bot")},
        {"board-F_Paste.gbr", KiCadX2("Paste,Top")}, {"board-Edge_Cuts.gbr", KiCadX2("Profile,NP")},
        {"board-F_Fab.gbr", KiCadX2("AssemblyDrawing,Top")}, {"board-PTH.drl", KiCadDrill("Plated,1,4,PTH")},
        {"board-NPTH.drl", KiCadDrill("NonPlated,1,4,NPTH")}, {"board-job.gbrjob", kKiCadJob}},
       {{"board-F_Cu.gbr", "gerber top copper"}, {"board-In1_Cu.gbr", "gerber inner copper 1"},
        {"board-In2_Cu.gbr", "gerber inner copper 2"}, {"board-B_Cu.gbr", "gerber bottom copper"},
        {"board-F_Mask.gbr", "gerber top mask"}, {"board-B_Silkscreen.gbr", "gerber bottom silk"},
        {"board-F_Paste.gbr", "gerber top paste"}, {"board-Edge_Cuts.gbr", "gerber outline"},
        {"board-F_Fab.gbr", "gerber unknown"}, {"board-PTH.drl", "excellon drill plated"},
        {"board-NPTH.drl", "excellon drill non-plated"}, {"board-job.gbrjob", "other unknown"}}},
      {"KiCad 4 without attributes, Protel extensions, merged drill",
       {{"board-F.Cu.gtl", PlainGerber()}, {"board-B.Cu.gbl", PlainGerber()}, {"board-Edge.Cuts.gm1", PlainGerber()},
        {"board-F.SilkS.gto", PlainGerber()}, {"board.drl", PlainDrill()}},
       {{"board-F.Cu.gtl", "gerber top copper"}, {"board-B.Cu.gbl", "gerber bottom copper"},
        {"board-Edge.Cuts.gm1", "gerber outline"}, {"board-F.SilkS.gto", "gerber top silk"},
        {"board.drl", "excellon drill"}}},
      {"Altium four layers with planes",
       {{"amp.GTL", PlainGerber()}, {"amp.GP1", PlainGerber()}, {"amp.GP2", PlainGerber()}, {"amp.GBL", PlainGerber()},
        {"amp.GKO", PlainGerber()}, {"amp.GM1", PlainGerber()}, {"amp.GD1", PlainGerber()},
        {"amp.TXT", AltiumDrill(";TYPE=PLATED\n")}, {"amp-NonPlated.TXT", AltiumDrill(";TYPE=NON_PLATED\n")},
        {"amp.DRR", "NCDrill File Report For: amp.PcbDoc\n"}},
       {{"amp.GTL", "gerber top copper"}, {"amp.GP1", "gerber inner copper 1"}, {"amp.GP2", "gerber inner copper 2"},
        {"amp.GBL", "gerber bottom copper"}, {"amp.GKO", "gerber outline"}, {"amp.GM1", "gerber mechanical 1"},
        {"amp.GD1", "gerber unknown"}, {"amp.TXT", "excellon drill plated"},
        {"amp-NonPlated.TXT", "excellon drill non-plated"}, {"amp.DRR", "other unknown"}}},
      {"Eagle CAM",
       {{"board.cmp", PlainGerber()}, {"board.sol", PlainGerber()}, {"board.stc", PlainGerber()},
        {"board.plc", PlainGerber()}, {"board.dim", PlainGerber()}, {"board.drd", PlainDrill()},
        {"board.dri", "Drill File Info:\n Data Mode         : Absolute\n"}, {"board.gpi", "Photoplotter Info File:\n"}},
       {{"board.cmp", "gerber top copper"}, {"board.sol", "gerber bottom copper"}, {"board.stc", "gerber top mask"},
        {"board.plc", "gerber top silk"}, {"board.dim", "gerber outline"}, {"board.drd", "excellon drill"},
        {"board.dri", "other unknown"}, {"board.gpi", "other unknown"}}},
      {"EasyEDA",
       {{"Gerber_TopLayer.GTL", EasyEda("TopLayer")}, {"Gerber_BoardOutlineLayer.GKO", EasyEda("BoardOutlineLayer")},
        {"Gerber_TopSolderMaskLayer.GTS", EasyEda("TopSolderMaskLayer")}, {"Gerber_Inner1.G1", EasyEda("Inner1")},
        {"Drill_PTH_Through.DRL", "M48\nMETRIC,LZ,000.000\nT01C0.3048\n%\nT01\nX1Y1\nM30\n"},
        {"Drill_NPTH_Through.DRL", "M48\nMETRIC,LZ,000.000\nT01C3.0000\n%\nT01\nX1Y1\nM30\n"},
        {"How-to-order-PCB.txt", "Upload the zip file to the order page.\n"}},
       {{"Gerber_TopLayer.GTL", "gerber top copper"}, {"Gerber_BoardOutlineLayer.GKO", "gerber outline"},
        {"Gerber_TopSolderMaskLayer.GTS", "gerber top mask"}, {"Gerber_Inner1.G1", "gerber inner copper 1"},
        {"Drill_PTH_Through.DRL", "excellon drill plated"}, {"Drill_NPTH_Through.DRL", "excellon drill non-plated"},
        {"How-to-order-PCB.txt", "other unknown"}}},
      {"gEDA PCB",
       {{"board.top.gbr", GEda("component")}, {"board.bottom.gbr", GEda("solder")},
        {"board.topmask.gbr", GEda("componentmask")}, {"board.outline.gbr", GEda("outline")},
        {"board.group1.gbr", GEda("GND")}, {"board.fab.gbr", GEda("fab")},
        {"board.plated-drill.cnc", PlainDrill()}, {"board.unplated-drill.cnc", PlainDrill()}},
       {{"board.top.gbr", "gerber top copper"}, {"board.bottom.gbr", "gerber bottom copper"},
        {"board.topmask.gbr", "gerber top mask"}, {"board.outline.gbr", "gerber outline"},
        {"board.group1.gbr", "gerber unknown"}, {"board.fab.gbr", "gerber unknown"},
        {"board.plated-drill.cnc", "excellon drill plated"}, {"board.unplated-drill.cnc", "excellon drill non-plated"}}},
      {"DipTrace",
       {{"board_Top.gbr", PlainGerber()}, {"board_BottomMask.gbr", PlainGerber()},
        {"board_BoardOutline.gbr", PlainGerber()}, {"board_TopAssy.gbr", PlainGerber()}, {"board_Through.drl", PlainDrill()}},
       {{"board_Top.gbr", "gerber top copper"}, {"board_BottomMask.gbr", "gerber bottom mask"},
        {"board_BoardOutline.gbr", "gerber outline"}, {"board_TopAssy.gbr", "gerber unknown"},
        {"board_Through.drl", "excellon drill"}}},
      {"Fritzing",
       {{"board_copperTop.gtl", Fritzing()}, {"board_maskTop.gts", Fritzing()}, {"board_silkTop.gto", Fritzing()},
        {"board_contour.gm1", Fritzing()},
        {"board_drill.txt", "; NON-PLATED HOLES START AT T1\n; THROUGH (PLATED) HOLES START AT T2\nM48\nINCH\n"
                            "T1C0.125000\nT2C0.038000\n%\nT1\nX001000Y001000\nM30\n"},
        {"board_pnp.txt", "*** Fritzing pick and place\nID,Name,X,Y\n"}},
       {{"board_copperTop.gtl", "gerber top copper"}, {"board_maskTop.gts", "gerber top mask"},
        {"board_silkTop.gto", "gerber top silk"}, {"board_contour.gm1", "gerber outline"},
        {"board_drill.txt", "excellon drill"}, {"board_pnp.txt", "other unknown"}}},
      {"Allegro films",
       {{"TOP.art", Allegro("G04 Layer:  BOARD GEOMETRY/OUTLINE*\nG04 Layer:  ETCH/TOP*\nG04 Layer:  PIN/TOP*\n")},
        {"L2_GND.art", Allegro("G04 Layer:  ETCH/GND*\nG04 Layer:  PIN/GND*\n")},
        {"SMT.art", Allegro("G04 Layer:  PIN/SOLDERMASK_TOP*\nG04 Layer:  VIA CLASS/SOLDERMASK_TOP*\n")},
        {"ncdrill-1-4.drl", PlainDrill()}},
       {{"TOP.art", "gerber top copper"}, {"L2_GND.art", "gerber unknown"}, {"SMT.art", "gerber top mask"},
        {"ncdrill-1-4.drl", "excellon drill"}}},
  };
  for (const ToolCase& c : cases) EXPECT_EQ(Recognised(c.files), c.expected) << c.tool;
}

// Six Altium layers: mid layer 1 under the top, two internal planes, mid layer 2 above the
// bottom. The two series together give no stack order by their names.
TEST(RecogniseFolder, AltiumMidLayersBesidePlanesAreInnerCopperNumberedOnlyByTheirPhysicalOrder) {
  const char* stack[] = {"amp.GTL", "amp.G1", "amp.GP1", "amp.GP2", "amp.G2", "amp.GBL"};
  const std::vector<TickedLayer> ticked = {{"GTL", "amp.GTL"}, {"GBL", "amp.GBL"}};
  platform::testing::TempDir plain;
  for (const char* name : stack) plain.Write(name, PlainGerber());
  const std::vector<RecognisedFile> unnumbered = RecogniseFolder(plain.Path());
  for (const RecognisedFile& file : unnumbered) {
    const bool inner = file.name != "amp.GTL" && file.name != "amp.GBL";
    EXPECT_EQ(file.unnumberedInnerCopper, inner) << file.name;
    if (inner) {
      EXPECT_FALSE(file.function.IsKnown()) << file.name;
    }
  }
  EXPECT_EQ(CheckPlan(unnumbered, PlanLayers(unnumbered, ticked, false)),
            (std::vector<std::string>{"缺少外形层：GKO", "缺少钻孔文件：TXT", "内层不会打包：amp.G1（内层铜箔，层号未知）",
                                      "内层不会打包：amp.G2（内层铜箔，层号未知）",
                                      "内层不会打包：amp.GP1（内层铜箔，层号未知）",
                                      "内层不会打包：amp.GP2（内层铜箔，层号未知）"}));

  platform::testing::TempDir ordered;
  for (int order = 1; order <= 6; ++order) ordered.Write(stack[order - 1], AltiumCopper(order));
  const std::vector<RecognisedFile> numbered = RecogniseFolder(ordered.Path());
  for (const RecognisedFile& file : numbered) EXPECT_FALSE(file.unnumberedInnerCopper) << file.name;
  EXPECT_EQ(CheckPlan(numbered, PlanLayers(numbered, ticked, false)),
            (std::vector<std::string>{"缺少外形层：GKO", "缺少钻孔文件：TXT", "内层不会打包：amp.G1（内层铜箔 1）",
                                      "内层不会打包：amp.G2（内层铜箔 4）", "内层不会打包：amp.GP1（内层铜箔 2）",
                                      "内层不会打包：amp.GP2（内层铜箔 3）"}));
}

TEST(RecogniseFolder, EachSourceOfEvidenceBeatsTheWeakerOnes) {
  struct Case {
    const char* label;
    Files files;
    const char* file;
    const char* function;
    const char* evidence;
  };
  const Case cases[] = {
      {"X2 attribute beats a contradicting name", {{"board-B_Cu.gbr", KiCadX2("Copper,L1,Top")}},
       "board-B_Cu.gbr", "top copper", "X2 attribute %TF.FileFunction,Copper,L1,Top*%"},
      {"X2 attribute beats its comment form",
       {{"x.gbr", "G04 #@! TF.FileFunction,Legend,Bot*\n" + KiCadX2("Legend,Top")}},
       "x.gbr", "top silk", "X2 attribute %TF.FileFunction,Legend,Top*%"},
      {"comment form beats the job file",
       {{"board-F_Cu.gbr", KiCadComments("Legend,Top")}, {"board.gbrjob", kKiCadJob}},
       "board-F_Cu.gbr", "top silk", "X2 attribute as comment G04 #@! TF.FileFunction,Legend,Top*"},
      {"job file beats header layer names and the name",
       {{"board-F_Cu.gbr", EasyEda("BottomLayer")}, {"board.gbrjob", kKiCadJob}},
       "board-F_Cu.gbr", "top copper", "Gerber job file board.gbrjob (Copper,L1,Top)"},
      {"header layer name beats the name", {{"x.GBL", EasyEda("TopLayer")}},
       "x.GBL", "top copper", "header comment G04 Layer: TopLayer*"},
      {"physical order beats the name's own number", {{"amp.G1", AltiumCopper(3)}, {"amp.G2", PlainGerber()}},
       "amp.G1", "inner copper 2", "header comment G04 Layer_Physical_Order=3* with an inner-layer extension"},
      {"a physical order that contradicts the name leaves it unknown", {{"amp.GBL", AltiumCopper(1)}},
       "amp.GBL", "unknown", "header comment G04 Layer_Physical_Order=1* contradicts the file name amp.GBL"},
      {"plating comment beats the name", {{"board-NPTH.drl", AltiumDrill(";TYPE=PLATED\n")}},
       "board-NPTH.drl", "drill plated", "Excellon comment ;TYPE=PLATED"},
      {"an X2 drill map is decided as unknown, whatever its name says", {{"board.GTO", KiCadX2("Drillmap")}},
       "board.GTO", "unknown", "X2 attribute %TF.FileFunction,Drillmap*%"},
      {"an Excellon file named like a copper layer is a drill", {{"board.GTL", PlainDrill()}},
       "board.GTL", "drill", "Excellon drill file without plating information"},
      {"a name alone never decides for a file that is no Gerber", {{"board.GTL", "just some text\n"}},
       "board.GTL", "unknown", ""},
      {"a Gerber whose name no convention covers stays unknown", {{"layer7.gbr", PlainGerber()}},
       "layer7.gbr", "unknown", ""},
      {"inner copper of unknown number yields to a number, not to another layer",
       {{"b.gtl", GEda("Intern")}}, "b.gtl", "unknown",
       "header comment G04 Title: (unknown), Intern *: inner copper of unknown number"},
      {"a weaker finding may give the number", {{"b.g2l", GEda("Intern")}},
       "b.g2l", "inner copper 1", "file name: OSH Park inner layer extension .g2l"},
  };
  for (const Case& c : cases) {
    platform::testing::TempDir dir;
    for (const auto& [name, content] : c.files) dir.Write(name, content);
    bool seen = false;
    for (const RecognisedFile& file : RecogniseFolder(dir.Path())) {
      if (file.name != c.file) continue;
      seen = true;
      EXPECT_EQ(FunctionName(file.function), c.function) << c.label;
      EXPECT_EQ(file.evidence, c.evidence) << c.label;
    }
    EXPECT_TRUE(seen) << c.label;
  }
}

TEST(RecogniseFolder, ReadsOnlyTheHeadAndABoundedTail) {
  // An attribute beyond the head is not read: the name decides.
  std::string late = "%FSLAX46Y46*%\n%MOMM*%\n";
  while (late.size() < 70 * 1024) late += "G04 padding padding padding padding padding*\n";
  late += "%TF.FileFunction,Copper,L4,Bot*%\n";
  RecognisedFile file = RecogniseOne("board.GTL", late);
  EXPECT_EQ(FunctionName(file.function), "top copper");
  EXPECT_EQ(file.evidence, "file name: Protel extension .GTL");

  // A sparse file of 3 GiB: tools and holes at the start, the end code in the last bytes.
  // Reading it whole would take gigabytes; recognition reads its head and its tail.
  platform::testing::TempDir dir;
  {
    platform::FileStream big(dir / "huge.drl", platform::FileStream::Mode::Create);
    const std::string start = "T01C0.035\nX012000Y010000\n";
    big.Write(start.data(), start.size());
    big.SetSize(3LL << 30);
    big.Seek(0, platform::FileStream::Origin::End);
    big.Write("\nM30\n", 5);
  }
  std::vector<RecognisedFile> files = RecogniseFolder(dir.Path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].kind, FileKind::Excellon);
  EXPECT_EQ(FunctionName(files[0].function), "drill");
}

TEST(RecogniseFolder, BadBytesNeverMakeItFail) {
  std::string noise;
  for (int i = 0; i < 70000; ++i) noise += static_cast<char>((i * 7919 + (i >> 3)) & 0xFF);
  const std::map<std::string, std::string> result = Recognised({
      {"noise.GTL", noise},
      {"zero.GBL", "%FSLAX46Y46*%\0\xff\xfe%MOMM*%\nG04 #@! TF.FileFunction,\0\x80*\n"s},
      {"broken.gbrjob", "{\"FilesAttributes\": [{\"Path\": \"nul.GBL\", \"FileFunction\": \"Copper,L1,Top\""},
      {"empty.GTO", ""},
  });
  const std::map<std::string, std::string> expected = {
      {"noise.GTL", "other unknown"},
      {"zero.GBL", "gerber bottom copper"},  // an unreadable attribute comment decides nothing
      {"broken.gbrjob", "other unknown"},
      {"empty.GTO", "other unknown"},
  };
  EXPECT_EQ(result, expected);
}

TEST(RecogniseFolder, LooksAtPlainFilesOnly) {
  platform::testing::TempDir dir;
  dir.Write("b/board.GTL", PlainGerber());
  dir.Write("b/.hidden.GBL", PlainGerber());
  dir.MakeDir("b/sub.GTO");
  dir.Write("b/sub.GTO/inner.GTO", PlainGerber());
  std::vector<RecognisedFile> files = RecogniseFolder(dir / "b");  // without the trailing "/"
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].name, "board.GTL");
  EXPECT_TRUE(RecogniseFolder(dir / "missing/").empty());
}

}  // namespace
}  // namespace layers
