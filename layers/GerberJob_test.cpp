// The focus of this file is reading Gerber job files: the FilesAttributes of a real-shaped
// job, text that is no job file, and several job files of one folder.
#include "layers/GerberJob.h"

#include <gtest/gtest.h>

#include <string>

namespace layers {
namespace {

const char kKiCadJob[] = R"({
  "Header": {
    "GenerationSoftware": { "Vendor": "KiCad", "Application": "Pcbnew", "Version": "6.0.11" },
    "CreationDate": "2023-05-01T10:00:00+08:00"
  },
  "GeneralSpecs": {
    "ProjectId": { "Name": "board", "GUID": "626f6172-642e-6b69-6361-645f70636200", "Revision": "rev?" },
    "Size": { "X": 50.0, "Y": 30.0 }, "LayerNumber": 4, "BoardThickness": 1.6, "Finish": "None"
  },
  "DesignRules": [ { "Layers": "Outer", "PadToPad": 0.2, "TrackToTrack": 0.2 } ],
  "FilesAttributes": [
    { "Path": "board-F_Cu.gbr", "FileFunction": "Copper,L1,Top", "FilePolarity": "Positive" },
    { "Path": "board-In1_Cu.gbr", "FileFunction": "Copper,L2,Inr", "FilePolarity": "Positive" },
    { "Path": "gerbers\\board-Edge_Cuts.gbr", "FileFunction": "Profile", "FilePolarity": "Positive" },
    { "Path": "board-F_Fab.gbr", "FileFunction": "AssemblyDrawing,Top", "FilePolarity": "Positive" },
    { "Path": "board-\u677f.gbr", "FileFunction": "Legend,Top" },
    { "Path": "no-function.gbr" }
  ],
  "MaterialStackup": [ { "Type": "Legend", "Name": "Top Silk Screen" } ]
})";

TEST(ReadGerberJob, ReadsPathAndFileFunctionOfEachEntry) {
  const std::vector<JobFileEntry> entries = ReadGerberJob(kKiCadJob);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].path, "board-F_Cu.gbr");
  EXPECT_EQ(entries[0].fileFunction, "Copper,L1,Top");
  EXPECT_EQ(entries[2].path, "gerbers\\board-Edge_Cuts.gbr");
  EXPECT_EQ(entries[4].path, "board-\xE6\x9D\xBF.gbr");  // \u677f as UTF-8
}

TEST(ReadGerberJob, TextThatIsNoJobFileGivesNothing) {
  const std::string truncated = std::string(kKiCadJob).substr(0, 900);
  const char* const texts[] = {
      "", "null", "[]", "{", "{\"FilesAttributes\": [{\"Path\": \"a.gbr\", \"FileFunction\": \"Profile\"}]",
      "{\"FilesAttributes\": [{\"Path\": \"a.gbr\" \"FileFunction\": \"Profile\"}]}",
      "{\"FilesAttributes\": [{\"Path\": \"a\\q.gbr\", \"FileFunction\": \"Profile\"}]}",
      "{\"FilesAttributes\": [{\"Path\": \"\\ud800x\", \"FileFunction\": \"Profile\"}]}",
      truncated.c_str(),
  };
  for (const char* text : texts) EXPECT_TRUE(ReadGerberJob(text).empty()) << text;
  // Nesting far deeper than a job file ever goes is refused without exhausting the stack.
  const std::string deep = "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
  EXPECT_TRUE(ReadGerberJob(deep).empty());
}

TEST(GerberJobFindings, LooksUpByNamePartAndDropsDisagreements) {
  GerberJobFindings jobs;
  jobs.Add("board-job.gbrjob", kKiCadJob);
  EXPECT_EQ(FunctionName(jobs.For("BOARD-F_CU.GBR")->function), "top copper");
  EXPECT_EQ(jobs.For("board-F_Cu.gbr")->evidence, "Gerber job file board-job.gbrjob (Copper,L1,Top)");
  EXPECT_EQ(FunctionName(jobs.For("board-In1_Cu.gbr")->function), "inner copper 1");
  EXPECT_EQ(FunctionName(jobs.For("board-Edge_Cuts.gbr")->function), "outline");
  EXPECT_EQ(FunctionName(jobs.For("board-F_Fab.gbr")->function), "unknown");  // decides: not a layer
  EXPECT_FALSE(jobs.For("no-function.gbr"));
  EXPECT_FALSE(jobs.For("other.gbr"));

  jobs.Add("old-job.gbrjob", R"({"FilesAttributes": [
      {"Path": "board-F_Cu.gbr", "FileFunction": "Copper,L4,Bot"},
      {"Path": "board-In1_Cu.gbr", "FileFunction": "Copper,L2,Inr"}]})");
  EXPECT_FALSE(jobs.For("board-F_Cu.gbr"));  // two job files disagree: no evidence
  EXPECT_EQ(FunctionName(jobs.For("board-In1_Cu.gbr")->function), "inner copper 1");
}

}  // namespace
}  // namespace layers
