#include "zip/SortedZip.h"

#include <cmath>

#include "platform/DateTime.h"

int CompareTextAscii(std::string_view a, std::string_view b) {
  auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int d = upper(static_cast<unsigned char>(a[i])) - upper(static_cast<unsigned char>(b[i]));
    if (d != 0) return d;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

namespace {

platform::DateTimeValue EntryTime(const TZipHeaderInfo& e) {
  platform::DateTimeValue value = 0;
  if (!platform::TryDosDateTimeToValue(e.DosDateTime, value)) value = 0;
  return value;
}

// Compressed size as a percentage of the uncompressed size, rounded half to even and
// capped at 100; 0 for an empty entry.
int RatePercent(const TZipHeaderInfo& e) {
  if (e.UncompressedSize == 0) return 0;
  const double percent =
      std::nearbyint(static_cast<double>(e.CompressedSize) * 100.0 / e.UncompressedSize);
  return percent > 100 ? 100 : static_cast<int>(percent);
}

}  // namespace

int TSortedZip::Compare(const TZipHeaderInfo* a, const TZipHeaderInfo* b) const {
  switch (mode_) {
    case TZipSortMode::ByName:
      return CompareTextAscii(a->StoredName(), b->StoredName());
    case TZipSortMode::ByFileName:
      return CompareTextAscii(a->FileName(), b->FileName());
    case TZipSortMode::ByDirectoryName:
      return CompareTextAscii(a->Directory(), b->Directory());
    // These never give 0, so equal keys keep the order in which they were added.
    case TZipSortMode::ByDate:
      return EntryTime(*b) > EntryTime(*a) ? 1 : -1;
    case TZipSortMode::ByCompressedSize:
      return b->CompressedSize > a->CompressedSize ? 1 : -1;
    case TZipSortMode::ByUnCompressedSize:
      return b->UncompressedSize > a->UncompressedSize ? 1 : -1;
    case TZipSortMode::ByRate:
      return RatePercent(*b) - RatePercent(*a);
    case TZipSortMode::ByNone:
      break;
  }
  if (a->DiskNumberStart != b->DiskNumberStart) {
    return a->DiskNumberStart < b->DiskNumberStart ? -1 : 1;
  }
  if (a->LocalHeaderOffset != b->LocalHeaderOffset) {
    return a->LocalHeaderOffset < b->LocalHeaderOffset ? -1 : 1;
  }
  return 0;
}
