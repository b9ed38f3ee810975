#include "platform/BufferedFileStream.h"

#include <algorithm>
#include <cstring>

#include "platform/Exception.h"
#include "platform/FaultInjection.h"

TBufferedFileStream::TBufferedFileStream(const std::string& path, Mode mode)
    : file_(path, mode), buffer_(kBufferSize) {}

TBufferedFileStream::~TBufferedFileStream() {
  try {
    if (!closed_) FlushWrite();
  } catch (const Exception&) {
    // Destruction runs during error handling; the caller that cares calls Close().
  }
}

void TBufferedFileStream::FlushWrite() {
  if (writeLen_ == 0) return;
  size_t n = writeLen_;
  writeLen_ = 0;  // dropped even on failure, so a later flush cannot repeat a short write
  if (platform::FaultPoint(platform::FileOperation::Flush)) platform::ThrowWriteError();
  file_.Write(buffer_.data(), n);
  filePos_ += static_cast<int64_t>(n);
}

void TBufferedFileStream::DropReadAhead() {
  if (readLen_ == 0) return;
  // The descriptor stands after the read-ahead; move it back to the logical position.
  int64_t logical = filePos_ - static_cast<int64_t>(readLen_) + static_cast<int64_t>(readPos_);
  filePos_ = file_.Seek(logical, Origin::Begin);
  readLen_ = readPos_ = 0;
}

size_t TBufferedFileStream::Read(void* buffer, size_t count) {
  FlushWrite();
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (readPos_ < readLen_) {
      size_t n = std::min(count - done, readLen_ - readPos_);
      std::memcpy(out + done, buffer_.data() + readPos_, n);
      readPos_ += n;
      done += n;
      continue;
    }
    readLen_ = readPos_ = 0;
    if (count - done >= kBufferSize) {
      // Large reads go straight to the caller's memory: no copy through the buffer.
      size_t n = file_.Read(out + done, count - done);
      filePos_ += static_cast<int64_t>(n);
      done += n;
      break;
    }
    readLen_ = file_.Read(buffer_.data(), kBufferSize);
    filePos_ += static_cast<int64_t>(readLen_);
    if (readLen_ == 0) break;
  }
  return done;
}

void TBufferedFileStream::ReadBuffer(void* buffer, size_t count) {
  if (Read(buffer, count) != count) platform::ThrowReadError();
}

size_t TBufferedFileStream::Write(const void* buffer, size_t count) {
  DropReadAhead();
  const auto* in = static_cast<const uint8_t*>(buffer);
  if (writeLen_ + count > kBufferSize) {
    FlushWrite();
    if (count >= kBufferSize) {
      file_.Write(in, count);
      filePos_ += static_cast<int64_t>(count);
      return count;
    }
  }
  std::memcpy(buffer_.data() + writeLen_, in, count);
  writeLen_ += count;
  return count;
}

int64_t TBufferedFileStream::Position() const {
  if (writeLen_ > 0) return filePos_ + static_cast<int64_t>(writeLen_);
  return filePos_ - static_cast<int64_t>(readLen_) + static_cast<int64_t>(readPos_);
}

int64_t TBufferedFileStream::Seek(int64_t offset, Origin origin) {
  int64_t target = offset;
  if (origin == Origin::Current) target = Position() + offset;
  if (origin == Origin::End) target = Size() + offset;
  if (target < 0) platform::ThrowReadError();
  FlushWrite();
  if (readLen_ > 0) {
    int64_t bufStart = filePos_ - static_cast<int64_t>(readLen_);
    if (target >= bufStart && target <= filePos_) {
      // Within the read-ahead: just move in it (the reader seeks back a few bytes often).
      readPos_ = static_cast<size_t>(target - bufStart);
      return target;
    }
    readLen_ = readPos_ = 0;
  }
  filePos_ = file_.Seek(target, Origin::Begin);
  return filePos_;
}

int64_t TBufferedFileStream::Size() {
  FlushWrite();
  return file_.Size();
}

void TBufferedFileStream::Flush() { FlushWrite(); }

void TBufferedFileStream::Sync() {
  FlushWrite();
  file_.Sync();
}

void TBufferedFileStream::Close() {
  if (closed_) return;
  closed_ = true;
  try {
    FlushWrite();
  } catch (...) {
    try { file_.Close(); } catch (...) {}
    throw;
  }
  file_.Close();
}
