// What the bytes of a file say about it: its kind (Gerber RS-274X, Excellon drill, other)
// and the evidence about its function that its header carries, one finding per source so
// the caller can weigh them in the order of trust. Works on any bytes and never fails.
#pragma once

#include <string_view>

#include "layers/FileKind.h"
#include "layers/Finding.h"

namespace layers {

struct ContentFacts {
  FileKind kind = FileKind::Other;
  MaybeFinding x2Attribute;      // %TF.FileFunction,...*% (Gerber)
  MaybeFinding x2Comment;        // G04 #@! TF.FileFunction,...* (Gerber), ; #@! TF.FileFunction,... (Excellon)
  MaybeFinding headerLayerName;  // G04 Layer: ...* comments of EasyEDA and Allegro (Gerber)
  MaybeFinding platingComment;   // ;TYPE=PLATED, ; NON_PLATED, ... (Excellon)
};

// The kind of a file from its head (its first bytes) and tail (its last bytes, empty when
// the head is the whole file). Gerber: a format (%FS) or unit (%MO) parameter. Excellon: an
// "M48" header line before anything else, or, for a file without a header, tool
// definitions such as "T01C0.8", coordinates and the end code "M30".
FileKind DetectKind(std::string_view head, std::string_view tail);

// The kind and every finding the head holds. Findings that contradict the kind (a copper
// attribute in an Excellon file) are left out.
ContentFacts ReadContentFacts(std::string_view head, std::string_view tail);

}  // namespace layers
