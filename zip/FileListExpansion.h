// The expansion of an archive writer's file list before a zip run: names without a folder
// are completed, patterns are replaced by the files they match, excluded and missing files
// are removed, and the sizes of the files kept are summed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/LineList.h"
#include "zip/StoredNames.h"

struct TExpansionContext {
  TStringList& FilesList;      // rewritten: the files to add, in order
  TStoreNameOptions Names;     // RootDir completes bare names; the rest gives stored names
  bool Recurse;                // patterns without "|" or ">" search sub-folders
  const TStringList& ExcludeList;
  bool Freshen;                // keep only files whose stored name the archive holds
  std::string ZipName;         // the archive, which never adds itself
  // Told of every plain line whose file does not exist (optional).
  std::function<void(const std::string&)> OnNoSuchFile;
  // With Freshen: true when the held directory has an entry of this stored name.
  std::function<bool(const std::string& fileName, const std::string& directory)> InHeldDirectory;
  // Linux files carry no archive attribute, so none has it set: every file is left out.
  bool SkipIfArchiveBitNotSet = false;
};

// Rewrites context.FilesList: the plain lines kept, in their order, then the files found
// for each pattern, in pattern order and walk order. Returns the sum of their sizes.
int64_t ExpandFileList(TExpansionContext& context);
