#include "zip/ZipRecords.h"

#include <cstring>
#include <vector>

#include "platform/BufferedFileStream.h"
#include "platform/CodePage.h"
#include "zip/LittleEndian.h"
#include "zip/ZipErrors.h"

using zipbytes::Get16;
using zipbytes::Get32;
using zipbytes::Put16;
using zipbytes::Put32;
using Origin = TBufferedFileStream::Origin;

uint32_t ValidDosDateTime(uint32_t dosDateTime) {
  const uint32_t time = dosDateTime & 0xFFFF;
  const uint32_t date = dosDateTime >> 16;
  uint32_t hour = (time >> 11) & 31, minute = (time >> 5) & 63, second = (time & 31) * 2;
  uint32_t year = 1980 + ((date >> 9) & 127), month = (date >> 5) & 15, day = date & 31;
  bool changed = false;
  auto clamp = [&changed](uint32_t& v, uint32_t low, uint32_t high) {
    if (v < low) { v = low; changed = true; }
    if (v > high) { v = high; changed = true; }
  };
  clamp(hour, 0, 24);  // 24 is kept: it marks the value as no valid time of day
  clamp(minute, 0, 59);
  clamp(second, 0, 59);
  clamp(year, 1980, 2099);
  clamp(month, 1, 12);
  clamp(day, 1, 31);
  if (!changed) return dosDateTime;
  const uint32_t newTime = (hour << 11) | (minute << 5) | (second / 2);
  const uint32_t newDate = ((year - 1980) << 9) | (month << 5) | day;
  return (newDate << 16) | newTime;
}

namespace {

uint16_t CheckedLength(size_t length, const char* what) {
  if (length > 0xFFFF) {
    throw EZipLimitError(std::string(what) + " is longer than 65535 bytes");
  }
  return static_cast<uint16_t>(length);
}

// Reads exactly count bytes into out; false on a short read.
bool ReadExactly(TBufferedFileStream& stream, std::string& out, size_t count) {
  out.resize(count);
  return count == 0 || stream.Read(out.data(), count) == count;
}

}  // namespace

std::string TZipHeaderInfo::ArchiveNameBytes() const {
  if (archiveName_) return *archiveName_;
  const std::string name = StoredName();
  if (GeneralFlags & kUtf8NameFlag) return name;
  return platform::AnsiToOem(name);
}

void TZipHeaderInfo::UpdateNameLength() {
  FileNameLength = CheckedLength(ArchiveNameBytes().size(), "Stored name");
}

void TZipHeaderInfo::SetFileName(std::string_view name) {
  if (name == fileName_) return;
  fileName_ = std::string(name);
  archiveName_.reset();
  UpdateNameLength();
}

void TZipHeaderInfo::SetDirectory(std::string_view folder) {
  std::string value(folder);
  if (!value.empty() && value.back() != '/') value += '/';
  if (value == directory_) return;
  directory_ = std::move(value);
  archiveName_.reset();
  UpdateNameLength();
}

void TZipHeaderInfo::SetFileComment(std::optional<std::string> comment) {
  if (comment && comment->empty()) comment.reset();
  FileCommentLength = comment ? CheckedLength(comment->size(), "File comment") : 0;
  comment_ = std::move(comment);
}

void TZipHeaderInfo::SetLocalExtraField(std::string bytes) {
  CheckedLength(bytes.size(), "Extra field");
  localExtra_ = std::move(bytes);
}

void TZipHeaderInfo::SetCentralExtraField(std::string bytes) {
  CheckedLength(bytes.size(), "Extra field");
  centralExtra_ = std::move(bytes);
}

// Splits the archive's name bytes into folder and name part in the file system's encoding.
void TZipHeaderInfo::SetStoredName(std::string_view archiveBytes) {
  archiveName_ = std::string(archiveBytes);
  const std::string name = (GeneralFlags & kUtf8NameFlag) ? std::string(archiveBytes)
                                                          : platform::OemToAnsi(archiveBytes);
  const size_t slash = name.rfind('/');
  if (slash == std::string::npos) {
    directory_.clear();
    fileName_ = name;
  } else {
    directory_ = name.substr(0, slash + 1);
    fileName_ = name.substr(slash + 1);
  }
}

bool TZipHeaderInfo::NeedsZip64() const {
  constexpr uint16_t kZip64ExtraId = 0x0001;
  if (CompressedSize != 0xFFFFFFFF && UncompressedSize != 0xFFFFFFFF &&
      LocalHeaderOffset != 0xFFFFFFFF && DiskNumberStart != 0xFFFF) {
    return false;
  }
  const auto* extra = reinterpret_cast<const uint8_t*>(centralExtra_.data());
  for (size_t at = 0; at + 4 <= centralExtra_.size(); at += 4 + Get16(extra + at + 2)) {
    if (Get16(extra + at) == kZip64ExtraId) return true;
  }
  return false;
}

void TZipHeaderInfo::WriteLocalHeader(TBufferedFileStream& stream) {
  const int64_t position = stream.Position();
  if (position < 0 || position > 0xFFFFFFFF) {
    throw EZipLimitError("Zip archive offset passes 4 GiB");
  }
  LocalHeaderOffset = static_cast<uint32_t>(position);
  const std::string name = ArchiveNameBytes();
  FileNameLength = CheckedLength(name.size(), "Stored name");
  std::vector<uint8_t> header(kLocalFixedSize + name.size() + localExtra_.size());
  uint8_t* p = header.data();
  Put32(p + 0, kLocalSignature);
  Put16(p + 4, VersionNeeded);
  Put16(p + 6, GeneralFlags);
  Put16(p + 8, CompressionMethod);
  Put16(p + 10, static_cast<uint16_t>(DosDateTime));
  Put16(p + 12, static_cast<uint16_t>(DosDateTime >> 16));
  Put32(p + 14, Crc32);
  Put32(p + 18, CompressedSize);
  Put32(p + 22, UncompressedSize);
  Put16(p + 26, FileNameLength);
  Put16(p + 28, static_cast<uint16_t>(localExtra_.size()));
  std::memcpy(p + kLocalFixedSize, name.data(), name.size());
  std::memcpy(p + kLocalFixedSize + name.size(), localExtra_.data(), localExtra_.size());
  stream.Write(header.data(), header.size());
}

void TZipHeaderInfo::WriteCentralHeader(TBufferedFileStream& stream) {
  const std::string name = ArchiveNameBytes();
  FileNameLength = CheckedLength(name.size(), "Stored name");
  // The comment length written is that of the bytes held, so the record is always whole.
  const std::string comment = comment_.value_or(std::string());
  FileCommentLength = static_cast<uint16_t>(comment.size());
  std::vector<uint8_t> header(kCentralFixedSize + name.size() + centralExtra_.size() +
                              comment.size());
  uint8_t* p = header.data();
  Put32(p + 0, kCentralSignature);
  Put16(p + 4, VersionMadeBy);
  Put16(p + 6, VersionNeeded);
  Put16(p + 8, GeneralFlags);
  Put16(p + 10, CompressionMethod);
  Put16(p + 12, static_cast<uint16_t>(DosDateTime));
  Put16(p + 14, static_cast<uint16_t>(DosDateTime >> 16));
  Put32(p + 16, Crc32);
  Put32(p + 20, CompressedSize);
  Put32(p + 24, UncompressedSize);
  Put16(p + 28, FileNameLength);
  Put16(p + 30, static_cast<uint16_t>(centralExtra_.size()));
  Put16(p + 32, FileCommentLength);
  Put16(p + 34, DiskNumberStart);
  Put16(p + 36, InternalAttributes);
  Put32(p + 38, ExternalAttributes);
  Put32(p + 42, LocalHeaderOffset);
  uint8_t* tail = p + kCentralFixedSize;
  std::memcpy(tail, name.data(), name.size());
  tail += name.size();
  std::memcpy(tail, centralExtra_.data(), centralExtra_.size());
  tail += centralExtra_.size();
  std::memcpy(tail, comment.data(), comment.size());
  stream.Write(header.data(), header.size());
}

bool TZipHeaderInfo::ReadCentralHeader(TBufferedFileStream& stream) {
  const int64_t start = stream.Position();
  auto refuse = [&] {
    stream.Seek(start, Origin::Begin);
    return false;
  };
  uint8_t h[kCentralFixedSize];
  if (stream.Read(h, sizeof h) != sizeof h || Get32(h) != kCentralSignature) return refuse();
  const uint16_t nameLength = Get16(h + 28);
  const uint16_t extraLength = Get16(h + 30);
  const uint16_t commentLength = Get16(h + 32);
  std::string name, extra;
  if (!ReadExactly(stream, name, nameLength) || !ReadExactly(stream, extra, extraLength)) {
    return refuse();
  }
  // The comment is loaded on demand; it must still lie inside the file.
  const int64_t commentEnd = stream.Position() + commentLength;
  if (commentEnd > stream.Size() || start > 0xFFFFFFFF) return refuse();
  stream.Seek(commentEnd, Origin::Begin);

  Clear();
  VersionMadeBy = Get16(h + 4);
  VersionNeeded = Get16(h + 6);
  GeneralFlags = Get16(h + 8);
  CompressionMethod = Get16(h + 10);
  DosDateTime = ValidDosDateTime(static_cast<uint32_t>(Get16(h + 12)) |
                                 (static_cast<uint32_t>(Get16(h + 14)) << 16));
  Crc32 = Get32(h + 16);
  CompressedSize = Get32(h + 20);
  UncompressedSize = Get32(h + 24);
  FileNameLength = nameLength;
  ExtraFieldLength = extraLength;
  FileCommentLength = commentLength;
  DiskNumberStart = Get16(h + 34);
  InternalAttributes = Get16(h + 36);
  ExternalAttributes = Get32(h + 38);
  LocalHeaderOffset = Get32(h + 42);
  CentralHeaderOffset = static_cast<uint32_t>(start);
  centralExtra_ = std::move(extra);
  SetStoredName(name);
  return true;
}

bool TZipHeaderInfo::ReadLocalHeader(TBufferedFileStream& stream) {
  const int64_t start = stream.Position();
  auto refuse = [&] {
    stream.Seek(start, Origin::Begin);
    return false;
  };
  uint8_t h[kLocalFixedSize];
  if (stream.Read(h, sizeof h) != sizeof h || Get32(h) != kLocalSignature) return refuse();
  const uint16_t nameLength = Get16(h + 26);
  const uint16_t extraLength = Get16(h + 28);
  std::string name, extra;
  if (!ReadExactly(stream, name, nameLength) || !ReadExactly(stream, extra, extraLength) ||
      start > 0xFFFFFFFF) {
    return refuse();
  }
  Clear();
  VersionMadeBy = 0;
  VersionNeeded = Get16(h + 4);
  GeneralFlags = Get16(h + 6);
  CompressionMethod = Get16(h + 8);
  DosDateTime = ValidDosDateTime(static_cast<uint32_t>(Get16(h + 10)) |
                                 (static_cast<uint32_t>(Get16(h + 12)) << 16));
  Crc32 = Get32(h + 14);
  CompressedSize = Get32(h + 18);
  UncompressedSize = Get32(h + 22);
  FileNameLength = nameLength;
  ExtraFieldLength = extraLength;
  InternalAttributes = 0;
  ExternalAttributes = 0;
  LocalHeaderOffset = static_cast<uint32_t>(start);
  localExtra_ = std::move(extra);
  SetStoredName(name);
  return true;
}

void TEndCentral::SetZipComment(std::optional<std::string> comment) {
  if (comment && comment->empty()) comment.reset();
  ZipCommentLength = comment ? CheckedLength(comment->size(), "Zip comment") : 0;
  comment_ = std::move(comment);
}

void TEndCentral::ParseFixed(const uint8_t* record) {
  ThisDisk = Get16(record + 4);
  CentralStartDisk = Get16(record + 6);
  EntriesThisDisk = Get16(record + 8);
  TotalEntries = Get16(record + 10);
  CentralSize = Get32(record + 12);
  CentralOffset = Get32(record + 16);
  ZipCommentLength = Get16(record + 20);
}

void TEndCentral::WriteEndCentral(TBufferedFileStream& stream) const {
  // The comment length written is that of the bytes held, so the record is always whole.
  const std::string comment = comment_.value_or(std::string());
  std::vector<uint8_t> record(kFixedSize + comment.size());
  uint8_t* p = record.data();
  Put32(p + 0, Signature);
  Put16(p + 4, ThisDisk);
  Put16(p + 6, CentralStartDisk);
  Put16(p + 8, EntriesThisDisk);
  Put16(p + 10, TotalEntries);
  Put32(p + 12, CentralSize);
  Put32(p + 16, CentralOffset);
  Put16(p + 20, static_cast<uint16_t>(comment.size()));
  std::memcpy(p + kFixedSize, comment.data(), comment.size());
  stream.Write(record.data(), record.size());
}
