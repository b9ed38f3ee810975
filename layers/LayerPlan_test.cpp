// The focus of this file is the layer plan and its checks: what each ticked code takes
// with recognition mode off and on, already renamed codes, several files for one layer,
// and the exact Chinese warnings.
#include "layers/LayerPlan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layers/LayerChecks.h"

namespace layers {
namespace {

RecognisedFile Gerber(const std::string& name, FunctionKind kind, int number = 0) {
  return {name, FileKind::Gerber, {kind, number}, "evidence of " + name};
}
RecognisedFile Drill(const std::string& name, FunctionKind kind) {
  return {name, FileKind::Excellon, {kind}, "evidence of " + name};
}
RecognisedFile Other(const std::string& name) { return {name, FileKind::Other, {}, ""}; }

// A KiCad export without Protel extensions, beside an earlier contact sheet.
const std::vector<RecognisedFile> kKiCad = {
    Gerber("board-B_Cu.gbr", FunctionKind::BottomCopper),
    Gerber("board-Edge_Cuts.gbr", FunctionKind::Outline),
    Gerber("board-F_Cu.gbr", FunctionKind::TopCopper),
    Gerber("board-In1_Cu.gbr", FunctionKind::InnerCopper, 1),
    Gerber("board-In2_Cu.gbr", FunctionKind::InnerCopper, 2),
    Drill("board-NPTH.drl", FunctionKind::DrillNonPlated),
    Drill("board-PTH.drl", FunctionKind::DrillPlated),
    Other("Contect.txt"),
};

const PlannedLayer& Layer(const std::vector<PlannedLayer>& plan, const std::string& code) {
  for (const PlannedLayer& layer : plan) {
    if (layer.code == code) return layer;
  }
  throw std::runtime_error("no layer " + code);
}

TEST(PlanLayers, ModeOffTakesExactlyTheDesignedFilesAndOffersTheRecognisedOnes) {
  const std::vector<PlannedLayer> plan =
      PlanLayers(kKiCad, {{"GTL", ""}, {"GKO", ""}, {"TXT", "Contect.txt"}, {"GTO", ""}}, false);
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[0].code, "GTL");
  EXPECT_EQ(plan[0].source, LayerSource::Missing);
  EXPECT_EQ(plan[0].file, "");
  EXPECT_EQ(plan[0].recognisedFile, "board-F_Cu.gbr");
  EXPECT_EQ(plan[0].recognisedEvidence, "evidence of board-F_Cu.gbr");
  EXPECT_EQ(plan[1].recognisedFile, "board-Edge_Cuts.gbr");
  // The designed rule's file is taken even when it is no drill file at all.
  EXPECT_EQ(plan[2].source, LayerSource::Designed);
  EXPECT_EQ(plan[2].file, "Contect.txt");
  EXPECT_EQ(plan[2].kind, FileKind::Other);
  EXPECT_EQ(plan[2].recognisedFile, "board-PTH.drl");
  EXPECT_EQ(plan[3].source, LayerSource::Missing);
  EXPECT_EQ(plan[3].recognisedFile, "");
}

TEST(PlanLayers, ModeOnFillsOnlyCodesWithoutADesignedFile) {
  std::vector<RecognisedFile> files = kKiCad;
  files.push_back(Gerber("old.GTL", FunctionKind::Unknown));
  const std::vector<PlannedLayer> plan =
      PlanLayers(files, {{"GTL", "old.GTL"}, {"GBL", ""}, {"GKO", ""}, {"TXT", ""}, {"GTS", ""}}, true);
  EXPECT_EQ(Layer(plan, "GTL").source, LayerSource::Designed);
  EXPECT_EQ(Layer(plan, "GTL").file, "old.GTL");
  EXPECT_EQ(Layer(plan, "GBL").source, LayerSource::Recognised);
  EXPECT_EQ(Layer(plan, "GBL").file, "board-B_Cu.gbr");
  EXPECT_EQ(FunctionName(Layer(plan, "GBL").function), "bottom copper");
  EXPECT_EQ(Layer(plan, "GBL").evidence, "evidence of board-B_Cu.gbr");
  EXPECT_EQ(Layer(plan, "GKO").file, "board-Edge_Cuts.gbr");
  // TXT takes the plated file; the non-plated one is named as left over.
  EXPECT_EQ(Layer(plan, "TXT").file, "board-PTH.drl");
  EXPECT_EQ(Layer(plan, "TXT").otherFiles, std::vector<std::string>{"board-NPTH.drl"});
  EXPECT_EQ(Layer(plan, "GTS").source, LayerSource::Missing);
}

TEST(PlanLayers, TxtPrefersAFileWithAllHoles) {
  const std::vector<RecognisedFile> files = {Drill("a-NPTH.drl", FunctionKind::DrillNonPlated),
                                             Drill("b-PTH.drl", FunctionKind::DrillPlated),
                                             Drill("c.drl", FunctionKind::Drill)};
  const PlannedLayer txt = PlanLayers(files, {{"TXT", ""}}, true)[0];
  EXPECT_EQ(txt.file, "c.drl");
  EXPECT_EQ(txt.otherFiles, (std::vector<std::string>{"a-NPTH.drl", "b-PTH.drl"}));
  const PlannedLayer onlyNonPlated = PlanLayers({files[0]}, {{"TXT", ""}}, true)[0];
  EXPECT_EQ(onlyNonPlated.file, "a-NPTH.drl");
}

TEST(PlanLayers, RecognitionLeavesCodeNamesAndCodeExtensionsToTheDesignedRule) {
  const std::vector<RecognisedFile> files = {
      Gerber("GKO", FunctionKind::Outline),          // renamed by an earlier run
      Gerber("board.GM1", FunctionKind::Outline),    // the designed rule's file for GM1
      Gerber("gtl", FunctionKind::TopCopper),        // a code name in lower case
  };
  const std::vector<PlannedLayer> plan = PlanLayers(files, {{"GKO", ""}, {"GM1", "board.GM1"}, {"GTL", ""}}, true);
  EXPECT_EQ(Layer(plan, "GKO").source, LayerSource::Missing);
  EXPECT_TRUE(Layer(plan, "GKO").alreadyRenamed);
  EXPECT_TRUE(Layer(plan, "GKO").otherFiles.empty());
  EXPECT_EQ(Layer(plan, "GM1").file, "board.GM1");
  EXPECT_FALSE(Layer(plan, "GM1").alreadyRenamed);
  EXPECT_EQ(Layer(plan, "GTL").source, LayerSource::Missing);
  EXPECT_FALSE(Layer(plan, "GTL").alreadyRenamed);  // "gtl" is not the file "GTL"
}

TEST(PlanLayers, ADesignedFileOfALayerThatStaysHomeIsFreeForRecognition) {
  // KiCad with Protel extensions puts its outline in ".gm1": with GM1 unticked it can go
  // out as GKO; with GM1 ticked it is GM1's by the designed rule.
  const std::vector<RecognisedFile> files = {Gerber("board-Edge_Cuts.gm1", FunctionKind::Outline)};
  const TickedLayer gko{"GKO", ""};
  const std::vector<PlannedLayer> gm1Home =
      PlanLayers(files, {gko, {"GM1", "board-Edge_Cuts.gm1", false}}, true);
  EXPECT_EQ(Layer(gm1Home, "GKO").source, LayerSource::Recognised);
  EXPECT_EQ(Layer(gm1Home, "GKO").file, "board-Edge_Cuts.gm1");
  const std::vector<PlannedLayer> gm1Out = PlanLayers(files, {gko, {"GM1", "board-Edge_Cuts.gm1"}}, true);
  EXPECT_EQ(Layer(gm1Out, "GKO").source, LayerSource::Missing);
  EXPECT_EQ(Layer(gm1Out, "GKO").recognisedFile, "");
  EXPECT_EQ(Layer(gm1Out, "GM1").file, "board-Edge_Cuts.gm1");
}

TEST(CheckPlan, AKiCadExportWithTheModeOffMissesOutlineAndDrill) {
  const std::vector<PlannedLayer> plan = PlanLayers(kKiCad, {{"GTL", ""}, {"GKO", ""}, {"TXT", ""}}, false);
  const std::vector<std::string> expected = {
      "缺少外形层：GKO",
      "缺少钻孔文件：TXT",
      "内层不会打包：board-In1_Cu.gbr（内层铜箔 1）",
      "内层不会打包：board-In2_Cu.gbr（内层铜箔 2）",
  };
  EXPECT_EQ(CheckPlan(kKiCad, plan), expected);
}

TEST(CheckPlan, TheModeOnTakesOutlineAndDrillAndNamesTheDrillLeftOut) {
  const std::vector<PlannedLayer> plan = PlanLayers(kKiCad, {{"GTL", ""}, {"GKO", ""}, {"TXT", ""}}, true);
  const std::vector<std::string> expected = {
      "同一层有多个文件：TXT 取 board-PTH.drl，不取 board-NPTH.drl",
      "内层不会打包：board-In1_Cu.gbr（内层铜箔 1）",
      "内层不会打包：board-In2_Cu.gbr（内层铜箔 2）",
  };
  EXPECT_EQ(CheckPlan(kKiCad, plan), expected);
}

TEST(CheckPlan, DesignedFilesThatAreNoLayerOrTheWrongLayer) {
  const std::vector<RecognisedFile> files = {
      Gerber("a.GTL", FunctionKind::TopCopper),
      Gerber("b.GTL", FunctionKind::BottomCopper),
      Gerber("board-F_Cu.gbr", FunctionKind::TopCopper),
      Gerber("board.GM1", FunctionKind::Outline),  // an outline on mechanical 1 is no contradiction
      Gerber("board.GKO", FunctionKind::Unknown),
      Drill("board.GTO", FunctionKind::Drill),
      Other("notes.TXT"),
  };
  const std::vector<PlannedLayer> plan =
      PlanLayers(files, {{"GTO", "board.GTO"}, {"GTL", "a.GTL"}, {"GKO", "board.GKO"}, {"GM1", "board.GM1"},
                         {"TXT", "notes.TXT"}},
                 false);
  // The drill file goes out as GTO, where no maker looks for holes; the GKO file of
  // unknown function counts as the outline.
  const std::vector<std::string> expected = {
      "缺少钻孔文件：TXT",
      "功能与扩展名不符：GTO 取 board.GTO，识别为钻孔",
      "同一层有多个文件：GTL 取 a.GTL，不取 b.GTL、board-F_Cu.gbr",
      "不是 Gerber 或钻孔文件：TXT 取 notes.TXT",
  };
  EXPECT_EQ(CheckPlan(files, plan), expected);
}

TEST(CheckPlan, AnOutlineOnMechanicalOneCounts) {
  const std::vector<RecognisedFile> files = {Gerber("b_contour.gm1", FunctionKind::Outline),
                                             Gerber("b.GKO", FunctionKind::TopSilk), Drill("b.TXT", FunctionKind::Drill)};
  EXPECT_EQ(CheckPlan(files, PlanLayers(files, {{"GM1", "b_contour.gm1"}, {"TXT", "b.TXT"}}, false)),
            std::vector<std::string>{});
  // A GKO file known to be something else is no outline; with GM1 staying home, the
  // outline in b_contour.gm1 is the GKO file left behind.
  EXPECT_EQ(CheckPlan(files, PlanLayers(files, {{"GKO", "b.GKO"}, {"TXT", "b.TXT"}}, false)),
            (std::vector<std::string>{"缺少外形层：GKO", "功能与扩展名不符：GKO 取 b.GKO，识别为顶层丝印",
                                      "同一层有多个文件：GKO 取 b.GKO，不取 b_contour.gm1"}));
}

TEST(CheckPlan, AlreadyRenamedCodesCountAsPresent) {
  const std::vector<RecognisedFile> files = {Gerber("GKO", FunctionKind::Outline), Drill("TXT", FunctionKind::Drill)};
  EXPECT_TRUE(CheckPlan(files, PlanLayers(files, {{"GKO", ""}, {"TXT", ""}}, false)).empty());
  // Not ticked: nothing of the folder goes out.
  EXPECT_EQ(CheckPlan(files, PlanLayers(files, {}, false)),
            (std::vector<std::string>{"缺少外形层：GKO", "缺少钻孔文件：TXT"}));
}

}  // namespace
}  // namespace layers
