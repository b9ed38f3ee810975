// The Deflate engine against zlib (raw deflate, windowBits -15, memLevel 8, same level)
// and libdeflate on the same inputs, in one run: throughput and compressed size at levels
// 1, 6 and 9. Inputs: a generated Gerber (RS-274X) text of 24 MiB, a generated binary mix,
// and any files named on the command line. Every output of the engine is inflated by zlib
// and compared with its input before it is timed.
//
//   bench_deflate [--reps N] [--level L]... [--files-only] [--tavelo-only] [file...]
//
// --level picks levels (default 1, 6 and 9); --files-only leaves the generated inputs out;
// --tavelo-only times the engine alone (for a profiler).
#include <libdeflate.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "deflate/Deflate.h"

namespace {

// ---- inputs ----

// RS-274X as PCB tools write it: a header of comments, format and aperture definitions,
// then long runs of track segments (D02 move, D01 draws) on a grid, pad flashes (D03),
// aperture changes, filled regions (G36/G37) and net comments.
std::string GerberInput(size_t size) {
  std::mt19937 rng(2024);
  std::string s;
  s += "G04 Layer: TopLayer*\nG04 Gerber Generator version 0.2*\nG04 Scale: 100 percent, "
       "Rotated: No, Reflected: No*\nG04 Dimensions in millimeters*\nG04 leading zeros "
       "omitted, absolute positions, 4 integer and 5 decimal*\n%FSLAX45Y45*%\n%MOMM*%\n%LPD*%\n";
  const int apertures = 64;
  for (int d = 10; d < 10 + apertures; ++d) {
    char line[80];
    const double a = 0.1 + (rng() % 3000) / 1000.0, b = 0.1 + (rng() % 3000) / 1000.0;
    switch (d % 3) {
      case 0: std::snprintf(line, sizeof line, "%%ADD%dC,%.5f*%%\n", d, a); break;
      case 1: std::snprintf(line, sizeof line, "%%ADD%dR,%.5fX%.5f*%%\n", d, a, b); break;
      default: std::snprintf(line, sizeof line, "%%ADD%dO,%.5fX%.5f*%%\n", d, a, b); break;
    }
    s += line;
  }
  const long maxX = 16000000, maxY = 12000000;  // 160 x 120 mm in units of 10 nm
  auto onGrid = [&](long v) { return (rng() % 10 < 7) ? v - v % 2540 : v; };
  auto coord = [&](long x, long y, const char* op) {
    s += 'X';
    s += std::to_string(x);
    s += 'Y';
    s += std::to_string(y);
    s += op;
    s += "*\n";
  };
  while (s.size() < size) {
    const unsigned kind = rng() % 100;
    if (kind < 70) {  // a track of several segments, mostly horizontal, vertical or 45 degrees
      s += "D" + std::to_string(10 + rng() % 8) + "*\n";
      long x = onGrid(static_cast<long>(rng() % maxX)), y = onGrid(static_cast<long>(rng() % maxY));
      coord(x, y, "D02");
      const int segments = 2 + static_cast<int>(rng() % 12);
      for (int i = 0; i < segments; ++i) {
        const long step = 2540L * (1 + static_cast<long>(rng() % 200));
        switch (rng() % 4) {
          case 0: x += (rng() & 1) ? step : -step; break;
          case 1: y += (rng() & 1) ? step : -step; break;
          case 2: x += step; y += (rng() & 1) ? step : -step; break;
          default: x = onGrid(x + static_cast<long>(rng() % 20000) - 10000);
                   y = onGrid(y + static_cast<long>(rng() % 20000) - 10000); break;
        }
        x = std::max(0L, std::min(maxX, x));
        y = std::max(0L, std::min(maxY, y));
        coord(x, y, "D01");
      }
    } else if (kind < 90) {  // a row of pad flashes: an IC footprint
      s += "D" + std::to_string(18 + rng() % (apertures - 8)) + "*\n";
      long x = onGrid(static_cast<long>(rng() % maxX)), y = onGrid(static_cast<long>(rng() % maxY));
      const int pads = 4 + static_cast<int>(rng() % 28);
      const long pitch = 12700L * (1 + static_cast<long>(rng() % 4));
      const bool vertical = rng() & 1;
      for (int i = 0; i < pads; ++i) {
        coord(x, y, "D03");
        (vertical ? y : x) += pitch;
      }
    } else if (kind < 96) {  // a filled copper region
      s += "G36*\n";
      long x = onGrid(static_cast<long>(rng() % maxX)), y = onGrid(static_cast<long>(rng() % maxY));
      coord(x, y, "D02");
      const int points = 4 + static_cast<int>(rng() % 40);
      for (int i = 0; i < points; ++i) {
        x = std::max(0L, std::min(maxX, x + static_cast<long>(rng() % 100000) - 50000));
        y = std::max(0L, std::min(maxY, y + static_cast<long>(rng() % 100000) - 50000));
        coord(x, y, "D01");
      }
      s += "G37*\n";
    } else {
      static const char* const kNets[] = {"GND", "VCC", "3V3", "SDA", "SCL", "USB_DP", "USB_DM", "RESET"};
      s += "G04 net: " + std::string(kNets[rng() % 8]) + "_" + std::to_string(rng() % 500) + "*\n";
    }
  }
  s += "M02*\n";
  return s;
}

// Binary data of several kinds: little-endian records, 16-bit samples, zero runs,
// already-compressed (random) stretches.
std::string BinaryInput(size_t size) {
  std::mt19937 rng(77);
  std::string s;
  double phase = 0;
  while (s.size() < size) {
    const unsigned kind = rng() % 4;
    const size_t n = 4096 + rng() % 65536;
    if (kind == 0) {
      for (size_t i = 0; i < n / 16; ++i) {
        const uint32_t id = static_cast<uint32_t>(s.size() / 16), v = rng() % 1000, f = rng() % 4;
        const uint32_t rec[4] = {id, v, f, 0};
        s.append(reinterpret_cast<const char*>(rec), sizeof rec);
      }
    } else if (kind == 1) {
      for (size_t i = 0; i < n / 2; ++i) {
        phase += 0.01;
        const int16_t v = static_cast<int16_t>(8000 * std::sin(phase) + static_cast<int>(rng() % 200));
        s.append(reinterpret_cast<const char*>(&v), 2);
      }
    } else if (kind == 2) {
      s.append(n / 8, '\0');
    } else {
      for (size_t i = 0; i < n / 4; ++i) {
        const uint32_t v = rng();
        s.append(reinterpret_cast<const char*>(&v), 4);
      }
    }
  }
  s.resize(size);
  return s;
}

// ---- engines ----

class TMemoryIO : public TDeflateIO {
 public:
  TMemoryIO(const std::string& in, std::vector<uint8_t>& out) : in_(in), out_(out) {}
  unsigned ReadEntryData(uint8_t* buf, unsigned capacity) override {
    const size_t n = std::min<size_t>(capacity, in_.size() - pos_);
    std::memcpy(buf, in_.data() + pos_, n);
    pos_ += n;
    return static_cast<unsigned>(n);
  }
  unsigned WriteArchiveData(const uint8_t* buf, size_t size, size_t count) override {
    const size_t n = size * count;
    if (outSize_ + n > out_.size()) out_.resize((outSize_ + n) * 2);
    std::memcpy(out_.data() + outSize_, buf, n);
    outSize_ += n;
    return static_cast<unsigned>(count);
  }
  size_t OutSize() const { return outSize_; }

 private:
  const std::string& in_;
  std::vector<uint8_t>& out_;
  size_t pos_ = 0;
  size_t outSize_ = 0;
};

struct TResult {
  size_t size = 0;
  bool stored = false;  // the engine stored the whole entry
};

TResult RunTavelo(TDeflater& deflater, TDeflateBuffers& buffers, const std::string& in, int level,
                  std::vector<uint8_t>& out) {
  TMemoryIO io(in, out);
  TDeflateDecisions decisions;
  deflater.Deflate(io, buffers, level, decisions);
  return {io.OutSize(), decisions.CompressionMethod == 0};
}

TResult RunZlib(const std::string& in, int level, std::vector<uint8_t>& out) {
  z_stream zs{};
  if (deflateInit2(&zs, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
  const size_t bound = deflateBound(&zs, in.size());
  if (out.size() < bound) out.resize(bound);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  zs.avail_in = static_cast<uInt>(in.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  const size_t n = zs.total_out;
  deflateEnd(&zs);
  return {n, false};
}

TResult RunLibdeflate(libdeflate_compressor* c, const std::string& in, std::vector<uint8_t>& out) {
  const size_t bound = libdeflate_deflate_compress_bound(c, in.size());
  if (out.size() < bound) out.resize(bound);
  return {libdeflate_deflate_compress(c, in.data(), in.size(), out.data(), out.size()), false};
}

bool InflatesTo(const std::vector<uint8_t>& raw, size_t rawSize, const std::string& expected) {
  z_stream zs{};
  if (inflateInit2(&zs, -15) != Z_OK) return false;
  std::vector<uint8_t> out(expected.size() + 1);
  zs.next_in = const_cast<Bytef*>(raw.data());
  zs.avail_in = static_cast<uInt>(rawSize);
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&zs, Z_FINISH);
  const bool ok = rc == Z_STREAM_END && zs.total_out == expected.size() &&
                  std::memcmp(out.data(), expected.data(), expected.size()) == 0;
  inflateEnd(&zs);
  return ok;
}

template <class F>
double BestSeconds(int reps, F&& f) {
  double best = 1e30;
  for (int i = 0; i < reps; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
    best = std::min(best, d.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int reps = 3;
  std::vector<int> levels;
  bool filesOnly = false, taveloOnly = false;
  std::vector<std::pair<std::string, std::string>> inputs;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) {
      reps = std::max(1, std::atoi(argv[++i]));
      continue;
    }
    if (std::strcmp(argv[i], "--level") == 0 && i + 1 < argc) {
      levels.push_back(std::min(9, std::max(1, std::atoi(argv[++i]))));
      continue;
    }
    if (std::strcmp(argv[i], "--files-only") == 0) {
      filesOnly = true;
      continue;
    }
    if (std::strcmp(argv[i], "--tavelo-only") == 0) {
      taveloOnly = true;
      continue;
    }
    std::ifstream f(argv[i], std::ios::binary);
    if (!f) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 2;
    }
    std::ostringstream ss;
    ss << f.rdbuf();
    inputs.emplace_back(argv[i], ss.str());
  }
  if (levels.empty()) levels = {1, 6, 9};
  if (!filesOnly) {
    inputs.insert(inputs.begin(), {"binary mix (generated)", BinaryInput(size_t{16} << 20)});
    inputs.insert(inputs.begin(), {"gerber (generated)", GerberInput(size_t{24} << 20)});
  }

  TDeflateBuffers buffers;
  TDeflater deflater;
  std::vector<uint8_t> out(size_t{64} << 20);
  bool allOk = true;
  std::printf("best of %d runs; MB = 10^6 bytes of input per second; zlib %s, libdeflate %s\n",
              reps, zlibVersion(), LIBDEFLATE_VERSION_STRING);
  for (const auto& input : inputs) {
    // Plain references: clang 14 does not let lambdas capture structured bindings.
    const std::string& name = input.first;
    const std::string& data = input.second;
    std::printf("\n%s: %zu bytes\n", name.c_str(), data.size());
    std::printf("  level  engine        MB/s       size   ratio\n");
    for (int level : levels) {
      TResult t = RunTavelo(deflater, buffers, data, level, out);
      if (!t.stored && !InflatesTo(out, t.size, data)) {
        std::printf("  level %d: ENGINE OUTPUT DOES NOT INFLATE TO THE INPUT\n", level);
        allOk = false;
        continue;
      }
      // Both processor paths, interleaved run by run, so that a shared machine's load
      // falls on both alike.
      TDeflater portable;
      portable.SetCpuPath(TCpuPath::Portable);
      double tt = 1e30, tp = 1e30;
      for (int r = 0; r < reps; ++r) {
        tt = std::min(tt, BestSeconds(1, [&] { t = RunTavelo(deflater, buffers, data, level, out); }));
        if (deflater.CpuPath() != TCpuPath::Portable) {
          tp = std::min(tp, BestSeconds(1, [&] { RunTavelo(portable, buffers, data, level, out); }));
        }
      }
      if (taveloOnly) {
        std::printf("  %5d  tavelo     %7.1f %10zu\n", level, data.size() / tt / 1e6, t.size);
        if (tp < 1e30) std::printf("  %5d  portable   %7.1f\n", level, data.size() / tp / 1e6);
        continue;
      }
      TResult z;
      const double tz = BestSeconds(reps, [&] { z = RunZlib(data, level, out); });
      libdeflate_compressor* c = libdeflate_alloc_compressor(level);
      TResult l;
      const double tl = BestSeconds(reps, [&] { l = RunLibdeflate(c, data, out); });
      libdeflate_free_compressor(c);
      auto row = [&](const char* engine, double secs, size_t size) {
        std::printf("  %5d  %-10s %7.1f %10zu  %6.3f\n", level, engine, data.size() / secs / 1e6,
                    size, data.empty() ? 0.0 : static_cast<double>(size) / data.size());
      };
      row("tavelo", tt, t.size);
      if (tp < 1e30) row("portable", tp, t.size);
      row("zlib", tz, z.size);
      row("libdeflate", tl, l.size);
      std::printf("         tavelo vs zlib: %.2fx the speed, size %+.2f%%\n", tz / tt,
                  z.size ? 100.0 * (static_cast<double>(t.size) - z.size) / z.size : 0.0);
    }
  }
  return allOk ? 0 : 1;
}
