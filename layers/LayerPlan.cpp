#include "layers/LayerPlan.h"

#include <set>

#include "layers/LayerCodes.h"

namespace layers {

namespace {

const RecognisedFile* FindFile(const std::vector<RecognisedFile>& files, const std::string& name) {
  for (const RecognisedFile& file : files) {
    if (file.name == name) return &file;
  }
  return nullptr;
}

bool IsLayerFile(const RecognisedFile& file) { return file.kind != FileKind::Other; }

// The designed files of the layers that go out: they are theirs alone.
using Reserved = std::set<std::string>;

Reserved ReservedFiles(const std::vector<TickedLayer>& layers) {
  Reserved reserved;
  for (const TickedLayer& layer : layers) {
    if (layer.goesOut && !layer.designedFile.empty()) reserved.insert(layer.designedFile);
  }
  return reserved;
}

// A file recognition may take for code: a Gerber or drill file recognised as the code's
// layer that the designed rule gives to no layer that goes out.
bool IsRecognisedCandidate(const RecognisedFile& file, const std::string& code, const Reserved& reserved) {
  return IsLayerFile(file) && CodeForFunction(file.function) == code && !IsLayerCode(file.name) &&
         reserved.count(file.name) == 0;
}

const RecognisedFile* BestCandidate(const std::vector<RecognisedFile>& files, const std::string& code,
                                    const Reserved& reserved) {
  const RecognisedFile* best = nullptr;
  for (const RecognisedFile& file : files) {
    if (!IsRecognisedCandidate(file, code, reserved)) continue;
    if (!best || CandidateRank(code, file.function) < CandidateRank(code, best->function)) best = &file;
  }
  return best;
}

std::vector<std::string> OtherFiles(const std::vector<RecognisedFile>& files, const std::string& code,
                                    const std::string& taken, const Reserved& reserved) {
  std::vector<std::string> others;
  for (const RecognisedFile& file : files) {
    if (file.name == taken || !IsLayerFile(file) || IsLayerCode(file.name)) continue;
    if (CodeOfExtension(file.name) == code || IsRecognisedCandidate(file, code, reserved))
      others.push_back(file.name);
  }
  return others;
}

void Take(PlannedLayer& layer, LayerSource source, const RecognisedFile& file) {
  layer.source = source;
  layer.file = file.name;
  layer.kind = file.kind;
  layer.function = file.function;
  layer.evidence = file.evidence;
}

PlannedLayer PlanOne(const std::vector<RecognisedFile>& files, const TickedLayer& ticked,
                     const Reserved& reserved, bool recognitionMode) {
  PlannedLayer layer;
  layer.code = ticked.code;
  layer.alreadyRenamed = FindFile(files, ticked.code) != nullptr;
  const RecognisedFile* candidate = BestCandidate(files, ticked.code, reserved);
  if (candidate) {
    layer.recognisedFile = candidate->name;
    layer.recognisedEvidence = candidate->evidence;
  }
  if (!ticked.designedFile.empty()) {
    const RecognisedFile* designed = FindFile(files, ticked.designedFile);
    RecognisedFile unseen;  // a file that appeared after the folder was recognised
    unseen.name = ticked.designedFile;
    Take(layer, LayerSource::Designed, designed ? *designed : unseen);
  } else if (recognitionMode && candidate) {
    Take(layer, LayerSource::Recognised, *candidate);
  }
  layer.otherFiles = OtherFiles(files, ticked.code, layer.file, reserved);
  return layer;
}

}  // namespace

std::vector<PlannedLayer> PlanLayers(const std::vector<RecognisedFile>& files,
                                     const std::vector<TickedLayer>& ticked, bool recognitionMode) {
  std::vector<PlannedLayer> plan;
  const Reserved reserved = ReservedFiles(ticked);
  for (const TickedLayer& layer : ticked) plan.push_back(PlanOne(files, layer, reserved, recognitionMode));
  return plan;
}

}  // namespace layers
