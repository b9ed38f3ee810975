// Renaming one layer file: the first plain file of the working folder whose extension is
// the layer code becomes the bare code. Among several candidates a file whose beginning
// looks like its layer's format is preferred, and the contact sheet is never a candidate.
#pragma once

#include <string>

#include "core/ExecuteRequest.h"

// The name of the file to rename for code in folder (ending in the delimiter), or empty
// when there is none.
std::string ChooseLayerFile(const std::string& folder, const std::string& code);

// The file's first 4 KiB look like the layer's format: an Excellon header line "M48" for
// the drill code TXT, a Gerber "%FS" or "%MO" parameter or a "G04" comment for the others.
bool LooksLikeLayerFormat(const std::string& path, const std::string& code);

// Searches, tests and renames; never replaces an existing file.
TLayerResult RenameLayer(const std::string& folder, const std::string& code);

// Renames the given file of folder to code, with the tests RenameLayer makes; used for a
// file that recognition chose.
TLayerResult RenameFileToCode(const std::string& folder, const std::string& file,
                              const std::string& code);

// What RenameLayer would give now, touching nothing: Planned where it would rename, and
// RenameFailed where the bare code is taken by something that is not a file.
TLayerResult PlanLayer(const std::string& folder, const std::string& code);
// The same for a given file.
TLayerResult PlanFileToCode(const std::string& folder, const std::string& file,
                            const std::string& code);
