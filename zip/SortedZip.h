// TSortedZip: a sorted list of entry records in one of the sort modes of TZipSortMode;
// ByNone is archive order (volume, then local header offset).
#pragma once

#include <string_view>

#include "zip/ObjectList.h"
#include "zip/ZipRecords.h"

enum class TZipSortMode {
  ByName,
  ByFileName,
  ByDirectoryName,
  ByDate,
  ByCompressedSize,
  ByUnCompressedSize,
  ByRate,
  ByNone,
};

// Compares byte by byte with the ASCII letters a-z taken as A-Z: below 0, 0 or above 0.
int CompareTextAscii(std::string_view a, std::string_view b);

class TSortedZip : public TSortedObjectList<TZipHeaderInfo> {
 public:
  TSortedZip(TZipSortMode mode, TDuplicates duplicates, bool ownsObjects)
      : TSortedObjectList<TZipHeaderInfo>(duplicates, ownsObjects), mode_(mode) {}

  TZipSortMode SortMode() const { return mode_; }

 protected:
  int Compare(const TZipHeaderInfo* a, const TZipHeaderInfo* b) const override;

 private:
  TZipSortMode mode_;
};
