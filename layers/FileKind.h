// The kind of a file found in a board folder, told from its content: a Gerber RS-274X
// image, an Excellon drill file, or anything else (a report, a job file, a README).
#pragma once

namespace layers {

enum class FileKind { Gerber, Excellon, Other };

// "gerber", "excellon" or "other": the words the command line's JSON uses.
inline const char* FileKindName(FileKind kind) {
  switch (kind) {
    case FileKind::Gerber: return "gerber";
    case FileKind::Excellon: return "excellon";
    case FileKind::Other: return "other";
  }
  return "other";
}

}  // namespace layers
