// The layer plan of a folder: for each ticked layer code, the file it will take and why.
// The designed rule (the first plain file named "*.CODE", found by the caller) always comes
// first; recognition mode only fills a code that has no such file, with the file recognised
// as that code's layer. With the mode off the plan takes exactly what the designed rule
// takes, and still names the file recognition would offer.
#pragma once

#include <string>
#include <vector>

#include "layers/FileKind.h"
#include "layers/LayerFunction.h"
#include "layers/Recognise.h"

namespace layers {

struct TickedLayer {
  std::string code;          // one of kLayerCodes, upper case
  std::string designedFile;  // the designed rule's file for code (bare name), empty when none
  // Whether the layer goes out; a preview also plans the layers that do not, and their
  // designed files are then free for recognition to give to a ticked layer.
  bool goesOut = true;
};

enum class LayerSource {
  Designed,    // a "*.CODE" file
  Recognised,  // recognition mode: the file recognised as the code's layer
  Missing,     // nothing to take
};

struct PlannedLayer {
  std::string code;
  LayerSource source = LayerSource::Missing;
  std::string file;  // the file it will take (bare name); empty when Missing
  // Recognition of that file; Other and unknown when Missing.
  FileKind kind = FileKind::Other;
  LayerFunction function;
  std::string evidence;
  // A file named the bare code already exists: the designed Execute reports it
  // ("文件已经存在") and leaves the file it found alone.
  bool alreadyRenamed = false;
  // The file recognition finds for the code and its evidence, offered whatever the mode
  // and whether or not it is taken; empty when recognition finds none.
  std::string recognisedFile;
  std::string recognisedEvidence;
  // Further Gerber or Excellon files of the folder for this layer that will not be taken:
  // other "*.CODE" files, and files recognised as the layer that no layer going out takes
  // by the designed rule.
  std::vector<std::string> otherFiles;
};

// The plan for the ticked layers, in the order given. files is RecogniseFolder of the
// folder that the designed files were found in. Recognition never takes a file whose
// name is a code, nor the designed file of a layer that goes out (KiCad's outline in
// "board-Edge_Cuts.gm1" can go out as GKO while GM1 stays unticked), and among several
// candidates takes the first by CandidateRank, then by folder order.
std::vector<PlannedLayer> PlanLayers(const std::vector<RecognisedFile>& files,
                                     const std::vector<TickedLayer>& ticked, bool recognitionMode);

}  // namespace layers
