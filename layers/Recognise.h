// Recognition of a board folder: for each plain file its kind and, for Gerber and
// Excellon files, its function with the evidence that decided it. Evidence is weighed in
// this order of trust, the first source that speaks deciding: X2 file attributes, the
// same attributes written as comments, a Gerber job file of the folder, layer names in
// header comments (among them Altium's physical layer order, read with the file's
// extension), Excellon plating comments, the naming conventions of board tools. An
// Excellon file that none of them places is a drill file of unstated plating.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "layers/FileKind.h"
#include "layers/GerberJob.h"
#include "layers/LayerFunction.h"
#include "layers/NameConventions.h"

namespace layers {

struct RecognisedFile {
  std::string name;  // bare name inside the folder (file-system bytes)
  FileKind kind = FileKind::Other;
  LayerFunction function;  // unknown for other files and where no evidence decides
  // A short English text naming the evidence that decided, such as
  // "X2 attribute %TF.FileFunction,Copper,L1,Top*%" or "file name: KiCad layer name F_Cu".
  // Empty when nothing decided; set for an unknown function when the evidence says the file
  // is something outside the vocabulary ("X2 attribute %TF.FileFunction,Drillmap*%").
  std::string evidence;
  // An inner copper layer whose number no evidence gives (its function is unknown).
  bool unnumberedInnerCopper = false;
};

// Weighs the evidence about one file: its name, its head and tail bytes, the job files of
// its folder and what the folder's other names tell. Any bytes; never fails.
RecognisedFile RecogniseContent(std::string_view name, std::string_view head, std::string_view tail,
                                const GerberJobFindings& jobs, const NameContext& context);

// Every plain file of folder (a regular file whose name does not begin with "."), in the
// order of the folder listing (names compared after ASCII upper-casing). Reads the head and
// a bounded tail of each file, and each ".gbrjob" file up to a bounded size. A folder that
// does not exist or cannot be listed gives no files; unreadable files are recognised from
// their names alone. Never fails.
std::vector<RecognisedFile> RecogniseFolder(const std::string& folder);

}  // namespace layers
