// An open file with the file layer's error messages: open, create, read, write, seek,
// size, modification time, sync. Owns its descriptor (a HANDLE on Windows) and closes it
// on destruction. Every call that can fail passes the fault-injection seam first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class FileStream {
 public:
  enum class Mode {
    OpenRead,       // existing file, reading (EFOpenError)
    OpenReadWrite,  // existing file, reading and writing (EFOpenError)
    Create,         // create or truncate, reading and writing (EFCreateError)
    CreateNew,      // create, failing when it exists; mode 0600 (EFCreateError)
  };
  enum class Origin { Begin, Current, End };

  FileStream(const std::string& path, Mode mode);
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Reads up to count bytes; fewer only at the end of the file. EReadError on failure.
  size_t Read(void* buffer, size_t count);
  // Writes all count bytes or raises EWriteError (short writes included: full disk).
  void Write(const void* buffer, size_t count);
  int64_t Seek(int64_t offset, Origin origin);
  int64_t Position() const;
  // The file's size now (EReadError when it cannot be read).
  int64_t Size() const;
  // Truncates or extends the file to size bytes.
  void SetSize(int64_t size);
  // Flushes to the disk (fsync); EWriteError on failure.
  void Sync();
  // Closes; EWriteError when the system reports a failure. Idempotent.
  void Close();

  const std::string& Path() const { return path_; }
  // Modification time as local DOS date and time; 0xFFFFFFFF when it cannot be given.
  uint32_t DosDateTime() const;
  // Modification time in nanoseconds since the epoch (EReadError when it cannot be read).
  std::int64_t ModificationNanos() const;
  // The descriptor; on Windows the HANDLE, which fits an int by the system's own rule
  // (kernel handles carry 32 significant bits and sign-extend).
  int Handle() const { return fd_; }

 private:
  std::string path_;
  int fd_ = -1;
};

// Reads the whole file (EFOpenError, EReadError).
std::string ReadWholeFile(const std::string& path);
// Creates or truncates path and writes bytes (EFCreateError, EWriteError).
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace platform
