// TZipWriter: the archive writer component. BuildArchive runs the zip run: the file list is
// expanded, each file becomes an entry (local header, data stored or deflated, CRC-32) and
// the central directory and end record close the archive. An existing archive is rebuilt
// through a temporary file that replaces it only when complete. Data are streamed through
// buffered files; nothing is held in memory whole.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "deflate/Deflate.h"
#include "deflate/DeflateBuffers.h"
#include "deflate/DeflateIO.h"
#include "platform/LineList.h"
#include "zip/ZipReader.h"

class TParallelDeflater;

enum class TZipAction { zaUpdate, zaReplace, zaFreshen };
enum class TSkipReason { srNoOverwrite, srFileOpenError };

struct TMultiZipInfo {
  TMultiMode MultiMode = TMultiMode::mmNone;
  int64_t BlockSize = 1457600;
  int64_t FirstBlockSize = 1457600;
};

class TZipWriter : public TZipReader, protected TDeflateIO {
 public:
  TZipWriter();
  ~TZipWriter() override;

  // Names or patterns of the files to add; the run rewrites it.
  TStringList FilesList;
  TStringList ExcludeList;     // patterns of files never added
  TStringList NoCompressList;  // patterns of files stored without compression
  std::string RootDir;         // folder for names without a path
  std::string TempPath;        // folder for the temporary archive of an update
  TZipAction ZipAction = TZipAction::zaUpdate;
  bool Store83Names = false;
  bool Dispose = false;        // delete the source files after a successful run
  TMultiZipInfo MultiZipInfo;  // single-file archives only
  // KeepZipOpen and DoProcessMessages come from TZipReader.

  // 0 stores every file; 1 to 9 is the Deflate level (other values raise Exception).
  int PackLevel() const { return packLevel_; }
  void SetPackLevel(int level);
  // Off also turns StoreVolumes and RelativePaths off.
  bool StorePaths() const { return storePaths_; }
  void SetStorePaths(bool on);
  // On also turns StorePaths and Recurse on.
  bool RelativePaths() const { return relativePaths_; }
  void SetRelativePaths(bool on);
  // On also turns StorePaths on.
  bool StoreVolumes() const { return storeVolumes_; }
  void SetStoreVolumes(bool on);
  bool Recurse() const { return recurse_; }
  void SetRecurse(bool on) { recurse_ = on; }
  // Threads that compress the listed files, ahead of the writing: 1 (the default)
  // compresses each file as it is written; kAllCores takes one per core of the machine.
  // The archive's bytes and the events (in order, on the calling thread) do not depend on
  // it. Files are compressed ahead only while no OnStartZip handler is assigned, since
  // the handler may change how its file is stored; otherwise the run uses one thread.
  static constexpr int kAllCores = 0;
  int Threads() const { return threads_; }
  // Raises Exception for a negative count.
  void SetThreads(int threads);

  // Runs the zip run once; returns the number of files that became entries.
  int BuildArchive();

  // Hooks, each called only when assigned.
  std::function<void(TZipWriter& sender, int numFiles, int64_t totalBytes,
                     TEndCentral& endCentral, bool& stopNow)>
      OnStartZipInfo;
  std::function<void(TZipWriter& sender, const std::string& fileName)> OnNoSuchFile;
  std::function<void(TZipWriter& sender, const std::string& fileName, TZipHeaderInfo& header,
                     bool& skip)>
      OnStartZip;
  std::function<void(TZipWriter& sender, TSkipReason reason, const std::string& fileName,
                     int fileIndex)>
      OnSkippingFile;
  std::function<void(TZipWriter& sender, const std::string& fileName, uint32_t uncompressedSize,
                     uint32_t compressedSize, int64_t currentZipSize)>
      OnEndZip;
  std::function<void(TZipWriter& sender, int percent)> OnFilePercentDone;
  std::function<void(TZipWriter& sender, int percent)> OnTotalPercentDone;
  std::function<void(TZipWriter& sender, const std::string& fileName, bool& skip)> OnDisposeFile;

  // State of the last run.
  const std::string& TempName() const { return tempName_; }
  bool Updating() const { return updating_; }
  int64_t TotalBytes() const { return totalBytes_; }

 protected:
  // One entry from the file path at the end of the output (see the .cpp); true when it
  // was written and CurrentHeader describes it, false when the file was left out.
  bool ZipOneFile(const std::string& path);
  // TDeflateIO: all entry data pass through these two.
  unsigned ReadEntryData(uint8_t* buffer, unsigned capacity) override;
  unsigned WriteArchiveData(const uint8_t* buffer, size_t size, size_t count) override;
  // Copies the rest of the input to the archive unchanged, in blocks of kStoreBlockSize:
  // 256 KiB blocks keep the read and write calls few (bench_zip_store: 64 KiB blocks
  // made the store run 1.7 times a copy, 256 KiB blocks 1.3 times) while window events
  // are still processed every fraction of a millisecond.
  static constexpr unsigned kStoreBlockSize = 262144;
  void StoreEntryData();
  // Compresses the rest of the input through the Deflate engine; the compressed size.
  uint64_t DeflateEntryData();
  // Counts n bytes read of the current entry and fires the progress events.
  void CountEntryRead(unsigned n);

  void AllocDeflateBuffers();
  void FreeDeflateBuffers();

  // The update of an existing archive.
  // TempPath when it names a folder, else the platform's folder for temporary files.
  std::string TempFolder() const;
  // Carries the old entries over: kept, or replaced by the listed file that matches them.
  void MergeExistingEntries();
  // True when the file name denotes the stored name of CurrentHeader.
  bool MatchesEntry(const std::string& fileName) const;
  // Copies the entry in CurrentHeader from the old archive to the output.
  void CopyExistingEntry();
  // Puts the finished temporary file in the place of the old archive.
  void ReplaceArchive();

  // The record being worked on, owned by the run.
  TZipHeaderInfo* CurrentHeader = nullptr;
  // The reach of the records: 32-bit offsets and sizes, 16-bit entry counts.
  uint64_t offsetLimit_ = 0xFFFFFFFFu;
  int entryLimit_ = 0xFFFF;

 private:
  int RunBuild();
  void ExpandFiles();
  void OpenOutput();
  bool ZipListedFile(const std::string& path);
  // The parallel run (ZipWriterParallel.cpp): the files of FilesList in order, compressed
  // ahead by workers when Threads allows it.
  void ZipListedFiles();
  std::unique_ptr<TParallelDeflater> StartParallelDeflater();
  bool ReplayEntryData(uint64_t& compressedSize);
  void RecordEntry(std::unique_ptr<TZipHeaderInfo> header, bool counts,
                   const std::string& sourceFile);
  void WriteCentralDirectory();
  void CloseOutput();
  void CheckSourceUnchanged(const std::string& path, int64_t sizeWhenOpened) const;
  void CheckEntryFits(const std::string& path, int64_t size, bool stored) const;
  bool InHeldDirectory(const std::string& fileName, const std::string& directory);
  void FinishSuccessfulRun();
  void FinishFailedRun() noexcept;
  int Percent(int64_t done, int64_t total) const;

  int packLevel_ = 6;
  bool storePaths_ = false;
  bool relativePaths_ = false;
  bool storeVolumes_ = false;
  bool recurse_ = false;
  int threads_ = 1;

  // State of one run.
  bool running_ = false;
  std::unique_ptr<TBufferedFileStream> outputStream_;
  std::unique_ptr<TBufferedFileStream> inputStream_;
  std::unique_ptr<TSortedZip> runEntryList_;
  std::unique_ptr<TSortedZip> runNameList_;
  TEndCentral newEndCentral_;
  std::unique_ptr<TDeflateBuffers> deflateBuffers_;
  std::vector<uint8_t> storeBuffer_;  // the store copy's block, kept for the run
  TDeflater deflater_;
  std::vector<std::string> disposeList_;
  std::string tempName_;
  bool outputCreated_ = false;
  bool updating_ = false;
  int64_t totalBytes_ = 0;
  int result_ = 0;
  uint32_t crc_ = 0xFFFFFFFF;
  int64_t entryBytesRead_ = 0;  // input bytes of the current entry, always counted
  int64_t entryExpectedSize_ = 0;  // the current input's size when it was opened
  int64_t fileBytesDone_ = 0;   // for OnFilePercentDone
  int64_t runBytesDone_ = 0;    // for OnTotalPercentDone
  TParallelDeflater* parallel_ = nullptr;  // during ZipListedFiles with workers
  int listIndex_ = -1;                      // the FilesList line being added there
};
