// TBufferedFileStream: a file stream with an 8192-byte buffer, used for archives, the
// temporary archive and source files. Reads and writes may be mixed; a seek or a read
// first writes out what is pending, and every short write raises EWriteError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileStream.h"

class TBufferedFileStream {
 public:
  static constexpr size_t kBufferSize = 8192;
  using Mode = platform::FileStream::Mode;
  using Origin = platform::FileStream::Origin;

  TBufferedFileStream(const std::string& path, Mode mode);
  // Pending bytes are written out; errors here are swallowed, so call Close() to see them.
  ~TBufferedFileStream();

  size_t Read(void* buffer, size_t count);
  // Reads exactly count bytes or raises EReadError.
  void ReadBuffer(void* buffer, size_t count);
  size_t Write(const void* buffer, size_t count);
  int64_t Seek(int64_t offset, Origin origin);
  int64_t Position() const;
  int64_t Size();
  void Flush();
  // Writes out what is pending and flushes the file to the disk (EWriteError).
  void Sync();
  // Writes out what is pending, then closes (EWriteError on failure).
  void Close();

  const std::string& Path() const { return file_.Path(); }
  uint32_t DosDateTime() const { return file_.DosDateTime(); }
  int64_t ModificationNanos() const { return file_.ModificationNanos(); }

 private:
  void FlushWrite();
  void DropReadAhead();

  platform::FileStream file_;
  std::vector<uint8_t> buffer_;
  int64_t filePos_ = 0;     // position of the descriptor
  size_t readPos_ = 0;      // next byte to hand out of a read-ahead
  size_t readLen_ = 0;      // valid bytes of the read-ahead
  size_t writeLen_ = 0;     // pending bytes to write at filePos_
  bool closed_ = false;
};
