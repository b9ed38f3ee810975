// TZipReader: the archive reader component. It holds the name of the current archive and,
// once read, its directory (entry records in archive order and the end record); it finds
// the end record, reads the central directory, and rebuilds a damaged directory by
// scanning the local headers. Reading is safe on any bytes: every count and offset is
// checked against the file before it is used.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/BufferedFileStream.h"
#include "platform/DateTime.h"
#include "zip/SortedZip.h"
#include "zip/ZipErrors.h"
#include "zip/ZipRecords.h"

enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad };
enum class TMultiMode { mmNone, mmSpan, mmBlocks };

class TZipReader {
 public:
  static constexpr const char* kOpenDialogTitle = "Open a Zip File";
  static constexpr const char* kOpenDialogFilter =
      "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*";

  TZipReader();
  virtual ~TZipReader();
  TZipReader(const TZipReader&) = delete;
  TZipReader& operator=(const TZipReader&) = delete;

  const std::string& ZipName() const { return zipName_; }
  // Records the name and forgets what was held for the previous archive; the same name
  // changes nothing. A name ending in "?" lets the user pick the file (EUserCanceled).
  void SetZipName(const std::string& name);

  // Opens the archive if it is closed and reads its directory unless the one held is
  // still current (the file's modification time is unchanged).
  void OpenArchive();
  // Closes the archive file unless KeepZipOpen is on.
  void CloseArchive();
  // Closes the file, drops the directory and empties ZipName.
  void ForgetArchive();
  // Reads the directory of the open archive (EIncompleteZip, EBadZipFile,
  // EMultiVolumeZip, EZip64Archive, EListError).
  void ReadDirectory();
  // Fills the held end record from the open stream; false when there is none.
  bool FindEndCentral(TBufferedFileStream& stream);
  // Rebuilds the entry list from the local headers; false when none is found.
  bool ScanLocalHeaders();

  // Entries of the held directory, by index in the sorted view (EListError when out of range).
  int Count() const;
  const TZipHeaderInfo& Entry(int index) const;
  platform::DateTimeValue EntryDateTime(int index) const;
  std::string GetFileComment(int index);
  void SetFileComment(int index, const std::string& comment);
  std::string GetZipComment();
  const TEndCentral& EndCentral() const { return endCentral_; }

  TZipSortMode SortMode() const { return sortMode_; }
  void SetSortMode(TZipSortMode mode);

  // Settings.
  TIncompleteZipMode IncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
  bool KeepZipOpen = false;
  bool DoProcessMessages = true;

  // Called, when assigned, for an archive without end record; may change the mode.
  std::function<void(TZipReader& sender, TIncompleteZipMode& mode)> OnInCompleteZip;

  // State of the held archive.
  platform::DateTimeValue ArchiveTime() const { return archiveTime_; }
  bool BuiltByScan() const { return builtByScan_; }
  int CurrentDisk() const { return currentDisk_; }
  int NumberOfDisks() const { return numberOfDisks_; }
  TMultiMode MultiMode() const { return multiMode_; }
  bool IsArchiveOpen() const { return archiveStream_ != nullptr; }
  bool HasDirectory() const { return entryList_ != nullptr; }

 protected:
  TZipHeaderInfo& EntryAt(int index) const;
  // The offset before which an entry of the held directory must end: the next entry's
  // local header, or the central directory for the last one.
  int64_t EntryEndLimit(const TZipHeaderInfo& entry) const;
  TSortedZip* SortedEntries() const { return sortedView_ ? sortedView_.get() : entryList_.get(); }
  void DropLists();
  // Makes list the held directory in archive order, with its end record.
  void HoldDirectory(std::unique_ptr<TSortedZip> list, const TEndCentral& endCentral);
  // Makes view the sorted view of mode (a list of that mode filled from EntryList).
  void HoldSortedView(std::unique_ptr<TSortedZip> view, TZipSortMode mode);
  // Remembers the modification time of file as the held directory's time.
  void SetArchiveTimeFrom(const std::string& file);
  static std::unique_ptr<TSortedZip> NewEntryList();

  std::string zipName_;
  std::unique_ptr<TBufferedFileStream> archiveStream_;
  std::unique_ptr<TSortedZip> entryList_;
  std::unique_ptr<TSortedZip> sortedView_;  // absent when the view is entryList_ itself
  TZipSortMode sortMode_ = TZipSortMode::ByNone;
  TEndCentral endCentral_;
  int64_t archiveNanos_ = 0;  // modification time of the held directory's file
  platform::DateTimeValue archiveTime_ = 0;
  bool builtByScan_ = false;
  int currentDisk_ = 0;
  int numberOfDisks_ = 1;
  TMultiMode multiMode_ = TMultiMode::mmNone;

 private:
  void CheckIndex(int index) const;
  [[noreturn]] void RefuseBadZip();
  void ReadCentralDirectory(int64_t fileSize);
  void RefuseMiscountedDirectory(int64_t centralOffset);
  void RefuseOverlappingEntries(const TSortedZip& list, int64_t centralOffset);
  void RefuseZip64(TBufferedFileStream& stream);
  void MergeCentralIntoScan();
  bool FindLocalSignature(int64_t from, int64_t& found);
};
