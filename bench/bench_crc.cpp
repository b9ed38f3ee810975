// update_crc against zlib's crc32 over a 64 MiB buffer: best of several passes, GB/s.
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "deflate/Crc32.h"

namespace {

template <class F>
double BestSeconds(int passes, F&& f) {
  double best = 1e30;
  for (int i = 0; i < passes; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
    if (d.count() < best) best = d.count();
  }
  return best;
}

}  // namespace

int main() {
  const size_t size = size_t{64} << 20;
  std::vector<uint8_t> buf(size);
  std::mt19937_64 rng(42);
  for (size_t i = 0; i < size; i += 8) {
    const uint64_t v = rng();
    for (int k = 0; k < 8; ++k) buf[i + k] = static_cast<uint8_t>(v >> (8 * k));
  }
  uint32_t ours = 0;
  unsigned long theirs = 0;
  // The archive writer folds the input in reads of at most 65535 bytes; so does this.
  const double tOurs = BestSeconds(7, [&] {
    uint32_t reg = 0xFFFFFFFFu;
    for (size_t at = 0; at < size; at += 65535)
      reg = update_crc(reg, buf.data() + at, std::min<size_t>(65535, size - at));
    ours = ~reg;
  });
  const double tZlib = BestSeconds(7, [&] {
    unsigned long c = crc32(0L, Z_NULL, 0);
    for (size_t at = 0; at < size; at += 65535)
      c = crc32(c, buf.data() + at, static_cast<uInt>(std::min<size_t>(65535, size - at)));
    theirs = c;
  });
  std::printf("CRC-32 over 64 MiB (%s)\n", ours == theirs ? "same value" : "VALUES DIFFER");
  std::printf("  update_crc   %7.2f GB/s\n", size / tOurs / 1e9);
  std::printf("  zlib crc32   %7.2f GB/s   (zlib %s)\n", size / tZlib / 1e9, zlibVersion());
  std::printf("  ratio        %7.2fx\n", tZlib / tOurs);
  return ours == theirs ? 0 : 1;
}
