#include "zip/ZipReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/UiHooks.h"
#include "zip/LittleEndian.h"

using Origin = TBufferedFileStream::Origin;

namespace {

platform::DateTimeValue NanosToValue(int64_t nanos) {
  const std::time_t seconds = static_cast<std::time_t>(nanos / 1000000000);
  platform::DateTimeValue value = 0;
  if (!platform::TryEncodeDateTime(platform::ToLocal(seconds), value)) return platform::NowValue();
  return value;
}

// Closes the archive when a reader operation that opened it ends, on every path.
class ArchiveCloser {
 public:
  explicit ArchiveCloser(TZipReader& reader) : reader_(reader) {}
  ~ArchiveCloser() { reader_.CloseArchive(); }
  ArchiveCloser(const ArchiveCloser&) = delete;
  ArchiveCloser& operator=(const ArchiveCloser&) = delete;

 private:
  TZipReader& reader_;
};

}  // namespace

TZipReader::TZipReader() = default;
TZipReader::~TZipReader() = default;

std::unique_ptr<TSortedZip> TZipReader::NewEntryList() {
  return std::make_unique<TSortedZip>(TZipSortMode::ByNone, TDuplicates::Error, true);
}

void TZipReader::SetZipName(const std::string& name) {
  // File names on Linux differ by letter case, so only the same bytes are the same archive.
  if (name == zipName_) return;
  std::string chosen = name;
  if (!chosen.empty() && chosen.back() == '?') {
    const std::string folder = platform::ExtractFilePath(chosen.substr(0, chosen.size() - 1));
    const std::string initial =
        (!folder.empty() && platform::DirectoryExists(folder)) ? folder : platform::IncludeTrailingDelimiter("");
    std::optional<std::string> picked =
        platform::OpenFileDialog(kOpenDialogTitle, kOpenDialogFilter, initial);
    if (!picked) throw EUserCanceled("User canceled setting zip file name.");
    chosen = *picked;
  }
  zipName_ = chosen;
  DropLists();
  archiveTime_ = 0;
  archiveNanos_ = 0;
  endCentral_.Clear();
  archiveStream_.reset();
  builtByScan_ = false;
}

void TZipReader::OpenArchive() {
  if (!archiveStream_) {
    archiveStream_ =
        std::make_unique<TBufferedFileStream>(zipName_, TBufferedFileStream::Mode::OpenRead);
  }
  if (entryList_ && archiveStream_->ModificationNanos() == archiveNanos_) return;
  if (entryList_) {
    // The file changed under the open stream: open it again, so no bytes buffered from
    // the old content are read.
    archiveStream_.reset();
    archiveStream_ =
        std::make_unique<TBufferedFileStream>(zipName_, TBufferedFileStream::Mode::OpenRead);
  }
  ReadDirectory();
}

void TZipReader::CloseArchive() {
  if (!KeepZipOpen) archiveStream_.reset();
}

void TZipReader::ForgetArchive() {
  archiveStream_.reset();
  DropLists();
  endCentral_.Clear();
  builtByScan_ = false;
  archiveTime_ = 0;
  archiveNanos_ = 0;
  numberOfDisks_ = 1;
  multiMode_ = TMultiMode::mmNone;
  zipName_.clear();
}

void TZipReader::DropLists() {
  sortedView_.reset();
  entryList_.reset();
}

void TZipReader::RefuseBadZip() {
  ForgetArchive();
  throw EBadZipFile();
}

void TZipReader::ReadDirectory() {
  if (!archiveStream_) {
    archiveStream_ =
        std::make_unique<TBufferedFileStream>(zipName_, TBufferedFileStream::Mode::OpenRead);
  }
  TBufferedFileStream& stream = *archiveStream_;
  archiveNanos_ = stream.ModificationNanos();
  archiveTime_ = NanosToValue(archiveNanos_);
  DropLists();
  builtByScan_ = false;
  endCentral_.Clear();
  try {
    const int64_t fileSize = stream.Size();
    if (!FindEndCentral(stream)) {
      TIncompleteZipMode mode = IncompleteZipMode;
      if (OnInCompleteZip) OnInCompleteZip(*this, mode);
      if (mode == TIncompleteZipMode::izAssumeMulti) {
        ForgetArchive();
        throw EIncompleteZip();
      }
      bool found;
      {
        platform::WaitCursor busy;
        found = ScanLocalHeaders();
      }
      if (!found) RefuseBadZip();
      MergeCentralIntoScan();
    } else {
      RefuseZip64(stream);
      const TEndCentral& end = endCentral_;
      if (end.ThisDisk != 0 || end.CentralStartDisk != 0 ||
          end.EntriesThisDisk != end.TotalEntries) {
        ForgetArchive();
        throw EMultiVolumeZip();
      }
      currentDisk_ = 0;
      multiMode_ = TMultiMode::mmNone;
      if (end.TotalEntries != 0) {
        bool atCentral = false;
        if (static_cast<int64_t>(end.CentralOffset) + 4 <= fileSize) {
          uint8_t signature[4];
          stream.Seek(end.CentralOffset, Origin::Begin);
          atCentral = stream.Read(signature, 4) == 4 &&
                      zipbytes::Get32(signature) == TZipHeaderInfo::kCentralSignature;
          stream.Seek(end.CentralOffset, Origin::Begin);
        }
        if (!atCentral) {
          bool found;
          {
            platform::WaitCursor busy;
            found = ScanLocalHeaders();
          }
          if (!found) RefuseBadZip();
          MergeCentralIntoScan();
        }
      }
      if (!builtByScan_) ReadCentralDirectory(fileSize);
    }
    numberOfDisks_ = endCentral_.ThisDisk + 1;
    currentDisk_ = endCentral_.ThisDisk;
    SetSortMode(sortMode_);
  } catch (...) {
    // A directory read only in part is never held.
    DropLists();
    throw;
  }
}

void TZipReader::ReadCentralDirectory(int64_t fileSize) {
  TBufferedFileStream& stream = *archiveStream_;
  const TEndCentral& end = endCentral_;
  auto list = NewEntryList();
  // A count of 0 with a directory of some size undercounts it: nothing would be kept.
  if (end.TotalEntries == 0 && end.CentralSize != 0) RefuseBadZip();
  if (end.TotalEntries != 0) {
    const int64_t offset = end.CentralOffset;
    // Each record takes at least its fixed 46 bytes, so a count the file cannot hold is
    // refused before anything is read.
    if (offset > fileSize ||
        static_cast<int64_t>(end.TotalEntries) * TZipHeaderInfo::kCentralFixedSize >
            fileSize - offset) {
      RefuseBadZip();
    }
    stream.Seek(offset, Origin::Begin);
    for (int i = 0; i < end.TotalEntries; ++i) {
      auto record = std::make_unique<TZipHeaderInfo>();
      if (!record->ReadCentralHeader(stream)) RefuseBadZip();
      if (static_cast<int64_t>(record->LocalHeaderOffset) + TZipHeaderInfo::kLocalFixedSize >
          offset) {
        RefuseBadZip();  // a local header must lie before the central directory
      }
      if (record->NeedsZip64()) {
        ForgetArchive();
        throw EZip64Archive();
      }
      list->AddOwned(std::move(record));
    }
    RefuseMiscountedDirectory(offset);
  }
  RefuseOverlappingEntries(*list, end.CentralOffset);
  entryList_ = std::move(list);
}

// The records read for the count must fill the directory's size exactly, and no further
// record may follow: other readers walk the directory by its size, so a count lower than
// the records would silently drop the uncounted entries from the rebuilt archive.
void TZipReader::RefuseMiscountedDirectory(int64_t centralOffset) {
  TBufferedFileStream& stream = *archiveStream_;
  const int64_t read = stream.Position() - centralOffset;
  if (read != static_cast<int64_t>(endCentral_.CentralSize)) RefuseBadZip();
  uint8_t next[4];
  if (stream.Read(next, 4) == 4 && zipbytes::Get32(next) == TZipHeaderInfo::kCentralSignature) {
    RefuseBadZip();
  }
}

// Each entry's local header and data must end before the next entry begins (the last one
// before the central directory). Entries that share bytes would each be copied whole, so a
// small archive could grow without bound; such an archive is refused. The local header's
// own extra field is not known here: the copy checks the exact end again.
void TZipReader::RefuseOverlappingEntries(const TSortedZip& list, int64_t centralOffset) {
  for (int i = 0; i < list.Count(); ++i) {
    const TZipHeaderInfo& entry = *list[i];
    const int64_t end = static_cast<int64_t>(entry.LocalHeaderOffset) +
                        TZipHeaderInfo::kLocalFixedSize + entry.FileNameLength +
                        static_cast<int64_t>(entry.CompressedSize);
    const int64_t limit =
        i + 1 < list.Count() ? static_cast<int64_t>(list[i + 1]->LocalHeaderOffset) : centralOffset;
    if (end > limit) RefuseBadZip();
  }
}

int64_t TZipReader::EntryEndLimit(const TZipHeaderInfo& entry) const {
  int index = 0;
  if (entryList_ && entryList_->Find(&entry, index) && index + 1 < entryList_->Count()) {
    return (*entryList_)[index + 1]->LocalHeaderOffset;
  }
  return endCentral_.CentralOffset;
}

// A Zip64 end record and its locator, just before the end record, hold the real count,
// size and offset of the directory when the classic record cannot. When the classic
// fields are those values the archive reads as it is; when it needs them, it is refused
// whole rather than cut to what 16 and 32 bits can count.
void TZipReader::RefuseZip64(TBufferedFileStream& stream) {
  constexpr uint32_t kLocatorSignature = 0x07064B50;  // "PK" 6 7
  constexpr uint32_t kZip64EndSignature = 0x06064B50;  // "PK" 6 6
  constexpr int64_t kLocatorSize = 20, kZip64EndFixedSize = 56;
  const TEndCentral& end = endCentral_;
  const int64_t endAt = static_cast<int64_t>(end.CommentOffset) - TEndCentral::kFixedSize;
  const bool classicFull = end.TotalEntries == 0xFFFF || end.EntriesThisDisk == 0xFFFF ||
                           end.CentralSize == 0xFFFFFFFF || end.CentralOffset == 0xFFFFFFFF;
  if (endAt < kLocatorSize) return;
  uint8_t locator[kLocatorSize];
  stream.Seek(endAt - kLocatorSize, Origin::Begin);
  if (stream.Read(locator, sizeof locator) != sizeof locator ||
      zipbytes::Get32(locator) != kLocatorSignature) {
    return;
  }
  const uint64_t zip64EndAt = zipbytes::Get64(locator + 8);
  uint8_t record[kZip64EndFixedSize];
  if (zip64EndAt + kZip64EndFixedSize > static_cast<uint64_t>(endAt - kLocatorSize)) return;
  stream.Seek(static_cast<int64_t>(zip64EndAt), Origin::Begin);
  if (stream.Read(record, sizeof record) != sizeof record ||
      zipbytes::Get32(record) != kZip64EndSignature) {
    return;
  }
  const bool same = zipbytes::Get64(record + 24) == end.EntriesThisDisk &&
                    zipbytes::Get64(record + 32) == end.TotalEntries &&
                    zipbytes::Get64(record + 40) == end.CentralSize &&
                    zipbytes::Get64(record + 48) == end.CentralOffset;
  if (classicFull || !same) {
    ForgetArchive();
    throw EZip64Archive();
  }
}

bool TZipReader::FindEndCentral(TBufferedFileStream& stream) {
  const int64_t fileSize = stream.Size();
  if (fileSize < TEndCentral::kFixedSize) return false;
  const int64_t n = std::min<int64_t>(fileSize, 0xFFF8);
  std::vector<uint8_t> tail(static_cast<size_t>(n));
  stream.Seek(fileSize - n, Origin::Begin);
  if (stream.Read(tail.data(), tail.size()) != tail.size()) return false;
  // Searching from the end, the record whose comment reaches exactly to the end of the
  // file wins; so a comment that holds the signature bytes does not hide the real record.
  // Failing that, the last record whose comment lies inside the file.
  int64_t chosen = -1, fallback = -1;
  for (int64_t pos = n - TEndCentral::kFixedSize; pos >= 0; --pos) {
    const uint8_t* p = tail.data() + pos;
    if (p[0] != 'P' || zipbytes::Get32(p) != TEndCentral::kSignature) continue;
    const int64_t end = pos + TEndCentral::kFixedSize + zipbytes::Get16(p + 20);
    if (end == n) {
      chosen = pos;
      break;
    }
    if (fallback < 0 && end <= n) fallback = pos;
  }
  if (chosen < 0) chosen = fallback;
  if (chosen < 0) return false;
  endCentral_.Clear();
  endCentral_.ParseFixed(tail.data() + chosen);
  endCentral_.CommentOffset =
      static_cast<uint32_t>(fileSize - n + chosen + TEndCentral::kFixedSize);
  return true;
}

bool TZipReader::FindLocalSignature(int64_t from, int64_t& found) {
  TBufferedFileStream& stream = *archiveStream_;
  static constexpr uint8_t kSig[4] = {'P', 'K', 3, 4};
  std::vector<uint8_t> block(TBufferedFileStream::kBufferSize + 3);
  size_t carried = 0;  // the last 3 bytes of the previous block, for a split signature
  int64_t blockStart = from;
  int64_t sincePump = 0;
  stream.Seek(from, Origin::Begin);
  for (;;) {
    const size_t n = stream.Read(block.data() + carried, TBufferedFileStream::kBufferSize);
    if (n == 0) return false;
    const size_t have = carried + n;
    for (size_t i = 0; i + 4 <= have; ++i) {
      if (block[i] == 'P' && std::memcmp(block.data() + i, kSig, 4) == 0) {
        found = blockStart - static_cast<int64_t>(carried) + static_cast<int64_t>(i);
        return true;
      }
    }
    const size_t keep = std::min<size_t>(3, have);
    std::memmove(block.data(), block.data() + have - keep, keep);
    blockStart += static_cast<int64_t>(n);
    carried = keep;
    sincePump += static_cast<int64_t>(n);
    if (DoProcessMessages && sincePump >= 10240) {
      platform::ProcessEvents();
      sincePump = 0;
    }
  }
}

bool TZipReader::ScanLocalHeaders() {
  builtByScan_ = true;
  DropLists();
  if (!archiveStream_) return false;
  TBufferedFileStream& stream = *archiveStream_;
  const int64_t fileSize = stream.Size();
  const int64_t start = platform::ExtractFileExt(zipName_) == ".EXE" ? 14000 : 0;
  int64_t first = 0;
  if (start >= fileSize || !FindLocalSignature(start, first)) return false;
  stream.Seek(first, Origin::Begin);
  auto list = NewEntryList();
  for (;;) {
    const int64_t headerStart = stream.Position();
    auto record = std::make_unique<TZipHeaderInfo>();
    if (!record->ReadLocalHeader(stream)) break;
    int64_t dataEnd = stream.Position() + record->CompressedSize;
    if (record->GeneralFlags & TZipHeaderInfo::kDataDescriptorFlag) dataEnd += 16;
    if (dataEnd > fileSize) {
      // The entry's data are cut off: it is not an entry that can be read back.
      stream.Seek(headerStart, Origin::Begin);
      break;
    }
    if (list->Count() == 0xFFFF) RefuseBadZip();  // more entries than a directory can count
    list->AddOwned(std::move(record));
    stream.Seek(dataEnd, Origin::Begin);
  }
  if (list->Count() == 0) return false;
  endCentral_.ThisDisk = 0;
  endCentral_.CentralOffset = static_cast<uint32_t>(stream.Position());
  endCentral_.TotalEntries = static_cast<uint16_t>(list->Count());
  endCentral_.EntriesThisDisk = endCentral_.TotalEntries;
  currentDisk_ = 0;
  numberOfDisks_ = 1;
  entryList_ = std::move(list);
  return true;
}

// What remains of a central directory after the last scanned entry completes the scanned
// records it names (by volume and local header offset); the scanned offset and local extra
// field stay. Reading stops at the first record that cannot be read, and records that name
// no scanned entry are dropped, so no scanned entry is ever lost or blanked.
void TZipReader::MergeCentralIntoScan() {
  if (!entryList_) return;
  TBufferedFileStream& stream = *archiveStream_;
  stream.Seek(endCentral_.CentralOffset, Origin::Begin);
  for (int i = 0; i < endCentral_.TotalEntries; ++i) {
    TZipHeaderInfo central;
    if (!central.ReadCentralHeader(stream)) break;
    int index;
    if (!entryList_->Find(&central, index)) continue;
    TZipHeaderInfo* scanned = (*entryList_)[index];
    const uint32_t offset = scanned->LocalHeaderOffset;
    std::string localExtra = scanned->LocalExtraField();
    scanned->Assign(central);
    scanned->LocalHeaderOffset = offset;
    scanned->SetLocalExtraField(std::move(localExtra));
  }
}

void TZipReader::SetSortMode(TZipSortMode mode) {
  sortedView_.reset();
  if (mode != TZipSortMode::ByNone && entryList_) {
    auto view = std::make_unique<TSortedZip>(mode, TDuplicates::Accept, false);
    for (int i = 0; i < entryList_->Count(); ++i) view->Add((*entryList_)[i]);
    sortedView_ = std::move(view);
  }
  sortMode_ = mode;
}

void TZipReader::HoldDirectory(std::unique_ptr<TSortedZip> list, const TEndCentral& endCentral) {
  DropLists();
  entryList_ = std::move(list);
  endCentral_.Assign(endCentral);
  builtByScan_ = false;
  sortMode_ = TZipSortMode::ByNone;
}

void TZipReader::HoldSortedView(std::unique_ptr<TSortedZip> view, TZipSortMode mode) {
  sortedView_ = std::move(view);
  sortMode_ = mode;
}

void TZipReader::SetArchiveTimeFrom(const std::string& file) {
  try {
    platform::FileStream stream(file, platform::FileStream::Mode::OpenRead);
    archiveNanos_ = stream.ModificationNanos();
    archiveTime_ = NanosToValue(archiveNanos_);
  } catch (const Exception&) {
    archiveNanos_ = -1;  // never equal to a file's time: the directory is read again
    archiveTime_ = platform::NowValue();
  }
}

int TZipReader::Count() const { return entryList_ ? entryList_->Count() : 0; }

void TZipReader::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) objectlist::ThrowIndexOutOfRange(index);
}

TZipHeaderInfo& TZipReader::EntryAt(int index) const {
  CheckIndex(index);
  return *(*SortedEntries())[index];
}

const TZipHeaderInfo& TZipReader::Entry(int index) const { return EntryAt(index); }

platform::DateTimeValue TZipReader::EntryDateTime(int index) const {
  platform::DateTimeValue value = 0;
  if (!platform::TryDosDateTimeToValue(EntryAt(index).DosDateTime, value)) {
    value = platform::NowValue();
  }
  return value;
}

void TZipReader::SetFileComment(int index, const std::string& comment) {
  EntryAt(index).SetFileComment(comment);
}

std::string TZipReader::GetFileComment(int index) {
  {
    const TZipHeaderInfo& entry = EntryAt(index);
    if (entry.FileCommentLength == 0) return std::string();
    if (entry.FileComment()) return *entry.FileComment();
  }
  ArchiveCloser closer(*this);
  OpenArchive();
  // Opening may have read a changed directory again: look the entry up anew.
  TZipHeaderInfo& entry = EntryAt(index);
  if (entry.FileCommentLength == 0) return std::string();
  if (entry.FileComment()) return *entry.FileComment();
  TBufferedFileStream& stream = *archiveStream_;
  uint8_t header[TZipHeaderInfo::kCentralFixedSize];
  stream.Seek(entry.CentralHeaderOffset, Origin::Begin);
  stream.ReadBuffer(header, sizeof header);
  if (zipbytes::Get32(header) != TZipHeaderInfo::kCentralSignature) platform::ThrowReadError();
  const int64_t skip = zipbytes::Get16(header + 28) + zipbytes::Get16(header + 30);
  const uint16_t length = zipbytes::Get16(header + 32);
  if (stream.Position() + skip + length > stream.Size()) platform::ThrowReadError();
  stream.Seek(skip, Origin::Current);
  std::string comment(length, '\0');
  stream.ReadBuffer(comment.data(), length);
  entry.SetFileComment(comment);
  return comment;
}

std::string TZipReader::GetZipComment() {
  if (endCentral_.ZipCommentLength == 0) return std::string();
  if (endCentral_.ZipComment()) return *endCentral_.ZipComment();
  ArchiveCloser closer(*this);
  OpenArchive();
  if (endCentral_.ZipCommentLength == 0) return std::string();
  if (endCentral_.ZipComment()) return *endCentral_.ZipComment();
  TBufferedFileStream& stream = *archiveStream_;
  const uint16_t length = endCentral_.ZipCommentLength;
  if (static_cast<int64_t>(endCentral_.CommentOffset) + length > stream.Size()) {
    platform::ThrowReadError();
  }
  std::string comment(length, '\0');
  stream.Seek(endCentral_.CommentOffset, Origin::Begin);
  stream.ReadBuffer(comment.data(), length);
  endCentral_.HoldZipComment(comment);
  return comment;
}
