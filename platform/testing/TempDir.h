// A temporary folder for one test, removed with everything in it when the test ends.
// Tests never touch anything outside such a folder.
#pragma once

#include <string>

#include "platform/testing/TestPaths.h"

namespace platform::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, ending in the path delimiter ("/"; "\" on Windows).
  const std::string& Path() const { return path_; }
  // Path() + name, "/" in name standing for the system's delimiter.
  std::string operator/(const std::string& name) const { return path_ + SystemPath(name); }
  // Writes bytes to Path() + name (creating sub-folders as needed) and returns the path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string MakeDir(const std::string& name) const;
  // Marks the entry name hidden: the Windows attribute; on Linux the name must begin with
  // "." and nothing is done.
  void Hide(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace platform::testing
