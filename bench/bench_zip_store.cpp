// The zip run at PackLevel 0 (every entry stored) over 256 MiB of files, against a plain
// buffered copy of the same bytes into one file, in the same run. The store path adds the
// CRC-32, the headers and the central directory; the goal is within 1.5 times the copy.
// Peak memory (ru_maxrss) is printed before and after: streaming keeps it independent of
// the files' size.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "deflate/Crc32.h"
#include "platform/BufferedFileStream.h"
#include "platform/FileSystem.h"
#include "platform/TempFiles.h"
#include "zip/ZipWriter.h"

namespace {

constexpr int kFiles = 16;
constexpr size_t kFileSize = size_t(16) << 20;  // 16 files of 16 MiB: 256 MiB
// The copy moves bytes in blocks of the size the store run uses, so that the two differ
// only in what the zip run adds: the CRC-32, the headers and the central directory.
constexpr size_t kCopyBlock = 262144;

long PeakRssKiB() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Half random, half text-like bytes, so the data look like real layer files and archives.
void WriteSourceFile(const std::string& path, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> block(1 << 20);
  TBufferedFileStream out(path, TBufferedFileStream::Mode::Create);
  for (size_t done = 0; done < kFileSize; done += block.size()) {
    for (size_t i = 0; i < block.size(); ++i) {
      block[i] = (i & 1) ? static_cast<uint8_t>(gen()) : static_cast<uint8_t>('0' + i % 10);
    }
    out.Write(block.data(), block.size());
  }
  out.Close();
}

// The baseline: every file's bytes through the same buffered streams into one file.
void PlainCopy(const std::vector<std::string>& files, const std::string& target) {
  std::vector<uint8_t> buffer(kCopyBlock);
  TBufferedFileStream out(target, TBufferedFileStream::Mode::Create);
  for (const std::string& f : files) {
    TBufferedFileStream in(f, TBufferedFileStream::Mode::OpenRead);
    for (size_t n; (n = in.Read(buffer.data(), buffer.size())) > 0;) out.Write(buffer.data(), n);
  }
  out.Close();
}

// The CRC-32 alone over the same bytes, read the same way as the copy: the part of the
// store path's cost that is computing, not moving, bytes.
uint32_t CrcOnly(const std::vector<std::string>& files) {
  std::vector<uint8_t> buffer(kCopyBlock);
  uint32_t all = 0;
  for (const std::string& f : files) {
    TBufferedFileStream in(f, TBufferedFileStream::Mode::OpenRead);
    uint32_t reg = 0xFFFFFFFF;
    for (size_t n; (n = in.Read(buffer.data(), buffer.size())) > 0;) reg = update_crc(reg, buffer.data(), n);
    all ^= ~reg;
  }
  return all;
}

int StoreRun(const std::vector<std::string>& files, const std::string& archive) {
  TZipWriter writer;
  writer.SetPackLevel(0);
  for (const std::string& f : files) writer.FilesList.Add(f);
  writer.SetZipName(archive);
  return writer.BuildArchive();
}

}  // namespace

int main() {
  const std::string dir = platform::TempDirectory() + "tavelo-bench-store-" +
                          std::to_string(std::random_device{}()) + "/";
  std::filesystem::create_directories(dir);
  std::vector<std::string> files;
  for (int i = 0; i < kFiles; ++i) {
    files.push_back(dir + "layer" + std::to_string(i) + ".gbr");
    WriteSourceFile(files.back(), static_cast<unsigned>(i + 1));
  }
  const long rssBefore = PeakRssKiB();
  std::printf("%d files, %zu MiB in all\n", kFiles, (kFiles * kFileSize) >> 20);

  double bestCopy = 1e9, bestStore = 1e9, bestCrc = 1e9;
  uint32_t crcSink = 0;
  for (int round = 0; round < 5; ++round) {
    // Each target is deleted outside the timed parts: deleting 256 MiB takes milliseconds
    // that belong to neither the copy nor the zip run.
    platform::DeleteFile(dir + "store.zip");
    auto t0 = std::chrono::steady_clock::now();
    PlainCopy(files, dir + "copy.bin");
    auto t1 = std::chrono::steady_clock::now();
    const int entries = StoreRun(files, dir + "store.zip");
    auto t2 = std::chrono::steady_clock::now();
    if (entries != kFiles) {
      std::fprintf(stderr, "zip run wrote %d entries, expected %d\n", entries, kFiles);
      return 1;
    }
    bestCopy = std::min(bestCopy, Seconds(t1 - t0));
    bestStore = std::min(bestStore, Seconds(t2 - t1));
    platform::DeleteFile(dir + "copy.bin");
    platform::DeleteFile(dir + "store.zip");
    auto t3 = std::chrono::steady_clock::now();
    crcSink ^= CrcOnly(files);
    bestCrc = std::min(bestCrc, Seconds(std::chrono::steady_clock::now() - t3));
  }
  const double mib = static_cast<double>(kFiles * kFileSize) / (1 << 20);
  std::printf("plain buffered copy : %.3f s  (%.0f MiB/s)\n", bestCopy, mib / bestCopy);
  std::printf("zip run, PackLevel 0: %.3f s  (%.0f MiB/s)\n", bestStore, mib / bestStore);
  std::printf("read + CRC-32 only  : %.3f s  (%.0f MiB/s, %08x)\n", bestCrc, mib / bestCrc, crcSink);
  std::printf("ratio store / copy  : %.2f  (goal <= 1.50)\n", bestStore / bestCopy);
  std::printf("peak RSS: %ld KiB before the runs, %ld KiB after\n", rssBefore, PeakRssKiB());
  std::filesystem::remove_all(dir);
  return 0;
}
