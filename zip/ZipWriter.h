// TZipWriter: the archive writer component. It holds the list of files to pack and the
// archive's name; the zip run that builds the archive from them grows here.
#pragma once

#include <string>

#include "platform/LineList.h"

class TZipWriter {
 public:
  // Full paths (or patterns) of the files to pack.
  TStringList FilesList;

  const std::string& ZipName() const { return zipName_; }
  void SetZipName(const std::string& name) { zipName_ = name; }

 private:
  std::string zipName_;
};
