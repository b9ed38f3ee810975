// The zip records: TZipHeaderInfo (one entry, its local and its central header) and
// TEndCentral (the end-of-central-directory record), with their byte layout on disk.
// Every number is little-endian; sizes and offsets are 32 bits, counts 16 bits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TBufferedFileStream;

// A DOS date and time (date high, time low) with each field clamped into range; a value
// that needs no clamping comes back bit for bit.
uint32_t ValidDosDateTime(uint32_t dosDateTime);

class TZipHeaderInfo {
 public:
  static constexpr uint32_t kLocalSignature = 0x04034B50;    // "PK" 3 4
  static constexpr uint32_t kCentralSignature = 0x02014B50;  // "PK" 1 2
  static constexpr uint32_t kLocalFixedSize = 30;
  static constexpr uint32_t kCentralFixedSize = 46;
  // General flag bit 11: the stored name is UTF-8, not the OEM code page.
  static constexpr uint16_t kUtf8NameFlag = 0x0800;
  static constexpr uint16_t kDataDescriptorFlag = 0x0008;

  uint16_t VersionMadeBy = 20;
  uint16_t VersionNeeded = 20;
  uint16_t GeneralFlags = 0;
  uint16_t CompressionMethod = 8;
  uint32_t DosDateTime = 0;
  uint32_t Crc32 = 0xFFFFFFFF;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  // Bytes of the stored name as written in the archive (after the code page conversion).
  uint16_t FileNameLength = 0;
  // The extra field length of the header last read; writers use the kept extra bytes.
  uint16_t ExtraFieldLength = 0;
  uint16_t FileCommentLength = 0;
  uint16_t DiskNumberStart = 0;
  uint16_t InternalAttributes = 1;
  uint32_t ExternalAttributes = 0x00000020;
  uint32_t LocalHeaderOffset = 0;
  uint32_t CentralHeaderOffset = 0;

  void Clear() { *this = TZipHeaderInfo(); }
  // Copies every field, names, comment and kept extra fields included.
  void Assign(const TZipHeaderInfo& other) { *this = other; }

  const std::string& FileName() const { return fileName_; }
  const std::string& Directory() const { return directory_; }
  // Directory followed by FileName: the stored name in the file system's encoding.
  std::string StoredName() const { return directory_ + fileName_; }
  void SetFileName(std::string_view name);
  // A non-empty folder gets a trailing "/".
  void SetDirectory(std::string_view folder);

  // The entry comment; absent when empty or not loaded yet (FileCommentLength tells).
  const std::optional<std::string>& FileComment() const { return comment_; }
  void SetFileComment(std::optional<std::string> comment);

  // Extra fields carried by an entry of another tool; a new entry has none. The local and
  // the central header keep their own, so each is written back with its own length.
  const std::string& LocalExtraField() const { return localExtra_; }
  const std::string& CentralExtraField() const { return centralExtra_; }
  void SetLocalExtraField(std::string bytes);
  void SetCentralExtraField(std::string bytes);

  // The stored name as the archive holds it: "/" separated, OEM code page (or UTF-8 when
  // the name flag says so). A record read from an archive gives back the very bytes it was
  // read with, until its name is set anew: an entry that is carried over keeps its name
  // whatever the tool that wrote it meant by those bytes.
  std::string ArchiveNameBytes() const;

  // The central record marks a size or offset as held in a Zip64 extra field.
  bool NeedsZip64() const;

  uint32_t LocalHeaderSize() const { return kLocalFixedSize + FileNameLength + localExtra_.size(); }
  uint32_t CentralHeaderSize() const {
    return kCentralFixedSize + FileNameLength + centralExtra_.size() + FileCommentLength;
  }

  // Sets LocalHeaderOffset to the stream position, then writes the header and the name.
  void WriteLocalHeader(TBufferedFileStream& stream);
  void WriteCentralHeader(TBufferedFileStream& stream);
  // Read a header at the stream position. A record that is short or has the wrong
  // signature gives false and leaves the stream where it was.
  bool ReadLocalHeader(TBufferedFileStream& stream);
  bool ReadCentralHeader(TBufferedFileStream& stream);

 private:
  void UpdateNameLength();
  void SetStoredName(std::string_view archiveBytes);

  std::string fileName_;
  std::string directory_;
  std::optional<std::string> archiveName_;  // name bytes as read; absent for a new name
  std::optional<std::string> comment_;
  std::string localExtra_;
  std::string centralExtra_;
};

class TEndCentral {
 public:
  static constexpr uint32_t kSignature = 0x06054B50;  // "PK" 5 6
  static constexpr uint32_t kFixedSize = 22;

  uint32_t Signature = kSignature;
  uint16_t ThisDisk = 0;
  uint16_t CentralStartDisk = 0;
  uint16_t EntriesThisDisk = 0;
  uint16_t TotalEntries = 0;
  uint32_t CentralSize = 0;
  uint32_t CentralOffset = 0;
  uint16_t ZipCommentLength = 0;
  // File offset of the archive comment, set when the record is found in a file.
  uint32_t CommentOffset = 0;

  void Clear() { *this = TEndCentral(); }
  void Assign(const TEndCentral& other) { *this = other; }

  // The archive comment; absent when empty or not loaded yet (ZipCommentLength tells).
  const std::optional<std::string>& ZipComment() const { return comment_; }
  void SetZipComment(std::optional<std::string> comment);
  // Keeps bytes read from the archive for a length already known, leaving the length.
  void HoldZipComment(std::string bytes) { comment_ = std::move(bytes); }

  uint32_t EndCentralSize() const { return kFixedSize + ZipCommentLength; }
  // The 22 bytes, then the held comment when ZipCommentLength is not 0.
  void WriteEndCentral(TBufferedFileStream& stream) const;
  // Fills the fields from ThisDisk to ZipCommentLength from the 22 bytes of a record.
  void ParseFixed(const uint8_t* record);

 private:
  std::optional<std::string> comment_;
};
