#include "zip/ZipWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "deflate/Crc32.h"
#include "platform/FileSystem.h"
#include "platform/UiHooks.h"
#include "zip/FileListExpansion.h"
#include "zip/StoredNames.h"
#include "zip/WildcardMatch.h"

using Mode = TBufferedFileStream::Mode;
using Origin = TBufferedFileStream::Origin;

TZipWriter::TZipWriter() = default;
TZipWriter::~TZipWriter() = default;

void TZipWriter::SetPackLevel(int level) {
  if (level < 0 || level > 9) {
    throw Exception("PackLevel " + std::to_string(level) + " is not a level from 0 to 9");
  }
  packLevel_ = level;
}

void TZipWriter::SetStorePaths(bool on) {
  storePaths_ = on;
  if (!on) storeVolumes_ = relativePaths_ = false;
}

void TZipWriter::SetRelativePaths(bool on) {
  relativePaths_ = on;
  if (on) storePaths_ = recurse_ = true;
}

void TZipWriter::SetStoreVolumes(bool on) {
  storeVolumes_ = on;
  if (on) storePaths_ = true;
}

void TZipWriter::AllocDeflateBuffers() {
  if (!deflateBuffers_) deflateBuffers_ = std::make_unique<TDeflateBuffers>();
}

void TZipWriter::FreeDeflateBuffers() {
  deflateBuffers_.reset();
  storeBuffer_ = std::vector<uint8_t>();
}

int TZipWriter::BuildArchive() { return RunBuild(); }

// With freshening, whether the held directory (read now if needed) has this stored name.
bool TZipWriter::InHeldDirectory(const std::string& fileName, const std::string& directory) {
  if (!HasDirectory()) {
    if (!platform::FileExists(ZipName())) return false;
    OpenArchive();
    CloseArchive();
  }
  const std::string wanted = directory + fileName;
  for (int i = 0; i < entryList_->Count(); ++i) {
    if (CompareTextAscii((*entryList_)[i]->StoredName(), wanted) == 0) return true;
  }
  return false;
}

int TZipWriter::RunBuild() {
  if (running_) throw Exception("The archive writer is already running a zip run");
  running_ = true;
  struct RunningFlag {
    bool& flag;
    ~RunningFlag() { flag = false; }
  } runningFlag{running_};

  // Step 1: archive order while the run works; the view and mode come back at the end.
  result_ = 0;
  currentDisk_ = 0;
  const TZipSortMode savedMode = sortMode_;
  const bool savedKeepOpen = KeepZipOpen;
  std::unique_ptr<TSortedZip> savedView = std::move(sortedView_);
  KeepZipOpen = true;
  sortMode_ = TZipSortMode::ByNone;
  disposeList_.clear();
  tempName_.clear();
  outputCreated_ = false;
  updating_ = false;
  totalBytes_ = 0;
  runBytesDone_ = 0;

  try {
    // Step 3: an error here ends the run before any file is created.
    if (FilesList.Count() > 0) {
      TExpansionContext context{FilesList,
                                TStoreNameOptions{storePaths_, relativePaths_, storeVolumes_,
                                                  Store83Names, RootDir},
                                recurse_,
                                ExcludeList,
                                ZipAction == TZipAction::zaFreshen,
                                ZipName(),
                                nullptr,
                                nullptr};
      if (OnNoSuchFile) {
        context.OnNoSuchFile = [this](const std::string& name) { OnNoSuchFile(*this, name); };
      }
      context.InHeldDirectory = [this](const std::string& fileName, const std::string& directory) {
        return InHeldDirectory(fileName, directory);
      };
      totalBytes_ = ExpandFileList(context);
    }
  } catch (...) {
    sortedView_ = std::move(savedView);
    sortMode_ = savedMode;
    KeepZipOpen = savedKeepOpen;
    throw;
  }

  try {
    // Step 5.
    if (platform::FileExists(ZipName())) {
      throw Exception("Cannot update the existing archive \"" + ZipName() +
                      "\": updating is not supported; the archive is left unchanged");
    }
    if (platform::PathExists(ZipName()) && !platform::DirectoryExists(ZipName())) {
      platform::ThrowCreateError(ZipName(), EEXIST);  // a FIFO or device is no archive
    }
    AllocDeflateBuffers();
    tempName_ = ZipName();
    updating_ = false;
    OpenOutput();

    // Step 7.
    if (FilesList.Count() > 0 && OnStartZipInfo) {
      bool stopNow = false;
      OnStartZipInfo(*this, FilesList.Count(), totalBytes_, newEndCentral_, stopNow);
      if (stopNow) throw EUserCanceled("User canceled Zip operation.");
    }

    // Step 8.
    const int count = FilesList.Count();
    for (int i = 0; i < count; ++i) {
      auto header = std::make_unique<TZipHeaderInfo>();
      CurrentHeader = header.get();
      bool written;
      try {
        written = ZipOneFile(FilesList[i]);
      } catch (...) {
        CurrentHeader = nullptr;
        throw;
      }
      CurrentHeader = nullptr;
      if (written) RecordEntry(std::move(header), i);
    }

    // Steps 9 and 10; the output is closed here so that a failing last flush fails the run.
    WriteCentralDirectory();
    outputStream_->Close();
  } catch (...) {
    FinishFailedRun(std::move(savedView), savedMode);
    KeepZipOpen = savedKeepOpen;
    CloseArchive();
    throw;
  }
  FinishSuccessfulRun(savedMode);
  KeepZipOpen = savedKeepOpen;
  CloseArchive();
  return result_;
}

void TZipWriter::OpenOutput() {
  outputStream_ = std::make_unique<TBufferedFileStream>(tempName_, Mode::Create);
  outputCreated_ = true;
  runNameList_ = std::make_unique<TSortedZip>(TZipSortMode::ByName, TDuplicates::Error, false);
  runEntryList_ = std::make_unique<TSortedZip>(TZipSortMode::ByNone, TDuplicates::Error, true);
  newEndCentral_.Clear();
}

void TZipWriter::RecordEntry(std::unique_ptr<TZipHeaderInfo> header, int fileIndex) {
  TZipHeaderInfo* entry = header.get();
  runEntryList_->AddOwned(std::move(header));
  try {
    runNameList_->Add(entry);
  } catch (...) {
    runEntryList_->Delete(runEntryList_->IndexOf(entry));  // never half recorded
    throw;
  }
  ++result_;
  ++newEndCentral_.TotalEntries;
  ++newEndCentral_.EntriesThisDisk;
  if (Dispose) disposeList_.push_back(FilesList[fileIndex]);
}

void TZipWriter::WriteCentralDirectory() {
  TBufferedFileStream& out = *outputStream_;
  const int64_t start = out.Position();
  if (start < 0 || static_cast<uint64_t>(start) > offsetLimit_) {
    throw EZipLimitError("The central directory of \"" + ZipName() +
                         "\" would start beyond 4 GiB, the reach of zip offsets");
  }
  newEndCentral_.CentralOffset = static_cast<uint32_t>(start);
  newEndCentral_.CentralStartDisk = static_cast<uint16_t>(currentDisk_);
  for (int i = 0; i < runEntryList_->Count(); ++i) {
    CurrentHeader = (*runEntryList_)[i];
    CurrentHeader->WriteCentralHeader(out);
  }
  CurrentHeader = nullptr;
  newEndCentral_.CentralSize = static_cast<uint32_t>(out.Position() - start);
  newEndCentral_.ThisDisk = static_cast<uint16_t>(currentDisk_);
  newEndCentral_.WriteEndCentral(out);
}

void TZipWriter::FinishSuccessfulRun(TZipSortMode savedMode) {
  FreeDeflateBuffers();
  outputStream_.reset();
  const std::string name = ZipName();
  if (updating_) ForgetArchive();
  SetZipName(name);
  if (Dispose) {
    for (const std::string& file : disposeList_) {
      bool skip = false;
      if (OnDisposeFile) OnDisposeFile(*this, file, skip);
      if (!skip) platform::DeleteFile(file);
    }
    disposeList_.clear();
  }
  HoldDirectory(std::move(runEntryList_), newEndCentral_);
  SetArchiveTimeFrom(ZipName());
  if (savedMode != TZipSortMode::ByName) {
    SetSortMode(savedMode);
    runNameList_.reset();
  } else {
    HoldSortedView(std::move(runNameList_), TZipSortMode::ByName);
  }
  numberOfDisks_ = currentDisk_ + 1;
  newEndCentral_.Clear();
}

void TZipWriter::FinishFailedRun(std::unique_ptr<TSortedZip> savedView,
                                 TZipSortMode savedMode) noexcept {
  FreeDeflateBuffers();
  inputStream_.reset();
  outputStream_.reset();  // the destructor swallows flush errors: the file goes anyway
  runNameList_.reset();
  runEntryList_.reset();
  if (outputCreated_) platform::DeleteFile(tempName_);
  outputCreated_ = false;
  disposeList_.clear();
  newEndCentral_.Clear();
  // The held directory is as it was before the run.
  sortedView_ = std::move(savedView);
  sortMode_ = savedMode;
}

void TZipWriter::CheckEntryFits(const std::string& path, int64_t size, bool stored) const {
  if (size < 0 || static_cast<uint64_t>(size) > 0xFFFFFFFFu) {
    throw EZipLimitError("Cannot add \"" + path +
                         "\": a file of 4 GiB or more does not fit a zip entry");
  }
  if (runEntryList_->Count() >= entryLimit_) {
    throw EZipLimitError("Cannot add \"" + path + "\": a zip archive holds at most " +
                         std::to_string(entryLimit_) + " entries");
  }
  // A stored entry ends exactly here; a deflated one is checked when its size is known.
  const uint64_t start = static_cast<uint64_t>(outputStream_->Position());
  const uint64_t end = start + CurrentHeader->LocalHeaderSize() + static_cast<uint64_t>(size);
  if (start > offsetLimit_ || (stored && end > offsetLimit_)) {
    throw EZipLimitError("Cannot add \"" + path +
                         "\": the archive would pass 4 GiB, the reach of zip offsets");
  }
}

bool TZipWriter::ZipOneFile(const std::string& path) {
  fileBytesDone_ = 0;
  entryBytesRead_ = 0;
  if (!platform::FileExists(path)) return false;
  try {
    inputStream_ = std::make_unique<TBufferedFileStream>(path, Mode::OpenRead);
  } catch (const EFOpenError&) {
    if (OnSkippingFile) OnSkippingFile(*this, TSkipReason::srFileOpenError, path, -1);
    return false;
  }
  // The input is closed on every way out.
  struct InputCloser {
    std::unique_ptr<TBufferedFileStream>& input;
    ~InputCloser() { input.reset(); }
  } closer{inputStream_};

  TZipHeaderInfo& header = *CurrentHeader;
  header.DosDateTime = inputStream_->DosDateTime();
  const int64_t size = inputStream_->Size();
  header.UncompressedSize = static_cast<uint32_t>(size);
  const std::string name = NormalizeName(path);
  std::string fileName, directory;
  StoredName(name, TStoreNameOptions{storePaths_, relativePaths_, storeVolumes_, Store83Names, RootDir},
             fileName, directory);
  header.SetFileName(fileName);
  header.LocalHeaderOffset = static_cast<uint32_t>(
      std::min<int64_t>(outputStream_->Position(), static_cast<int64_t>(0xFFFFFFFFu)));
  header.InternalAttributes = 2;
  header.DiskNumberStart = static_cast<uint16_t>(currentDisk_);
  if (storePaths_) header.SetDirectory(directory);

  int index;
  if (runNameList_->Find(&header, index)) {
    if (OnSkippingFile) OnSkippingFile(*this, TSkipReason::srNoOverwrite, name, -1);
    totalBytes_ -= size;
    return false;
  }
  bool skip = false;
  if (OnStartZip) OnStartZip(*this, name, *CurrentHeader, skip);
  if (skip) {
    totalBytes_ -= size;
    return false;
  }
  TZipHeaderInfo& entry = *CurrentHeader;
  const bool stored = packLevel_ == 0 || IsInNoCompressList(NoCompressList, entry.FileName());
  CheckEntryFits(path, size, stored);

  entry.WriteLocalHeader(*outputStream_);
  crc_ = 0xFFFFFFFF;
  if (stored) {
    StoreEntryData();
    entry.CompressedSize = static_cast<uint32_t>(entryBytesRead_);
    entry.CompressionMethod = 0;
    entry.InternalAttributes = 0;
  } else {
    const uint64_t compressed = DeflateEntryData();
    if (compressed > 0xFFFFFFFFu ||
        entry.LocalHeaderOffset + entry.LocalHeaderSize() + compressed > offsetLimit_) {
      throw EZipLimitError("Cannot add \"" + path +
                           "\": the archive would pass 4 GiB, the reach of zip offsets");
    }
    entry.CompressedSize = static_cast<uint32_t>(compressed);
  }
  entry.Crc32 = ~crc_;
  // The bytes actually read, should the file have changed since it was opened.
  entry.UncompressedSize = static_cast<uint32_t>(entryBytesRead_);

  // The local header again, now with the CRC and the sizes.
  const int64_t end = outputStream_->Position();
  outputStream_->Seek(entry.LocalHeaderOffset, Origin::Begin);
  entry.WriteLocalHeader(*outputStream_);
  outputStream_->Seek(end, Origin::Begin);

  inputStream_.reset();
  if (OnEndZip) {
    OnEndZip(*this, name, entry.UncompressedSize, entry.CompressedSize, outputStream_->Size());
  }
  return true;
}

int TZipWriter::Percent(int64_t done, int64_t total) const {
  if (total <= 0) return 0;
  // Rounded to the nearest, halves to the even neighbour.
  const double percent = std::nearbyint(static_cast<double>(done) * 100.0 / static_cast<double>(total));
  return percent > 100 ? 100 : static_cast<int>(percent);
}

unsigned TZipWriter::ReadEntryData(uint8_t* buffer, unsigned capacity) {
  const unsigned n = static_cast<unsigned>(inputStream_->Read(buffer, capacity));
  if (n == 0) return 0;
  entryBytesRead_ += n;
  if (entryBytesRead_ > 0xFFFFFFFF) {
    throw EZipLimitError("Cannot add \"" + inputStream_->Path() +
                         "\": a file of 4 GiB or more does not fit a zip entry");
  }
  if (OnFilePercentDone) {
    fileBytesDone_ += n;
    OnFilePercentDone(*this, Percent(fileBytesDone_, CurrentHeader->UncompressedSize));
  }
  if (OnTotalPercentDone) {
    runBytesDone_ += n;
    OnTotalPercentDone(*this, Percent(runBytesDone_, totalBytes_));
  }
  crc_ = update_crc(crc_, buffer, n);
  return n;
}

unsigned TZipWriter::WriteArchiveData(const uint8_t* buffer, size_t size, size_t count) {
  // A short write raises EWriteError in the stream: it never passes as written.
  const size_t written = outputStream_->Write(buffer, size * count);
  if (DoProcessMessages) platform::ProcessEvents();
  return static_cast<unsigned>(written);
}

void TZipWriter::StoreEntryData() {
  // Blocks of the largest read the entry data interface allows: with 4 KiB blocks the
  // store path spent more time in read and write calls than in the CRC (measured by
  // bench_zip_store: 0.32 s against 0.15 s for 256 MiB).
  storeBuffer_.resize(kStoreBlockSize);
  for (;;) {
    const unsigned n = ReadEntryData(storeBuffer_.data(), kStoreBlockSize);
    if (n == 0) break;
    WriteArchiveData(storeBuffer_.data(), 1, n);
  }
}

uint64_t TZipWriter::DeflateEntryData() {
  TZipHeaderInfo& entry = *CurrentHeader;
  TDeflateDecisions decisions;
  decisions.CompressionMethod = entry.CompressionMethod;
  decisions.InternalAttributes = entry.InternalAttributes;
  decisions.GeneralFlags = entry.GeneralFlags;
  const uint64_t compressed = deflater_.Deflate(*this, *deflateBuffers_, packLevel_, decisions);
  entry.CompressionMethod = decisions.CompressionMethod;
  entry.InternalAttributes = decisions.InternalAttributes;
  entry.GeneralFlags = decisions.GeneralFlags;
  return compressed;
}
