// Gerber job files (".gbrjob", JSON): the "FilesAttributes" array names each file of the
// board with its "Path" and "FileFunction". A folder may hold several job files; the
// findings they give are looked up by file name.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "layers/Finding.h"

namespace layers {

struct JobFileEntry {
  std::string path;          // as written, may hold folders
  std::string fileFunction;  // the X2 value, such as "Copper,L1,Top"
};

// The entries of a job file's "FilesAttributes" array that have both a Path and a
// FileFunction. Text that is not valid JSON, or nested deeper than a job file ever is,
// gives no entries.
std::vector<JobFileEntry> ReadGerberJob(std::string_view json);

// The findings of every job file of a folder, by the name part of each Path.
class GerberJobFindings {
 public:
  // Adds the entries of the job file jobName (its bare name, for the evidence).
  void Add(const std::string& jobName, std::string_view json);
  // The finding for the file name, ignoring ASCII case; nothing when no job file names it
  // or two of them disagree.
  MaybeFinding For(std::string_view fileName) const;

 private:
  struct Entry {
    MaybeFinding finding;
    bool conflicting = false;
  };
  std::map<std::string, Entry> byName_;  // key: upper-case name part of the Path
};

}  // namespace layers
