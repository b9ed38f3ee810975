// The whole pack of a real board folder, as whole processes timed in one interleaved run:
// Tavelo's zip run at level 6 on one thread and on all cores, against zlib and libdeflate
// (each file compressed at level 6 in a process of their own), 7-Zip's ZIP writer
// (7z a -tzip -mx=6, one thread and all threads), gzip -6 and pigz -6 where installed.
// Prints the median time of each, its speed against Tavelo on one thread, and the size
// and ratio of what it wrote. Tavelo's archives on one thread and on all cores must be
// the same bytes; the program fails when they differ.
//
//   bench_pack [--reps N] FOLDER      (bench/fetch-gerber-examples.sh gets a real one)
//
// The rows of this program's own engines run it again as a child in one of these modes:
//   bench_pack --tavelo THREADS FOLDER OUT.zip | --zlib FOLDER | --libdeflate FOLDER
#include <libdeflate.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileStream.h"
#include "zip/ZipWriter.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> FilesOf(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (item.is_regular_file()) files.push_back(item.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

uint64_t TotalSize(const std::vector<std::string>& files) {
  uint64_t total = 0;
  for (const std::string& f : files) total += fs::file_size(f);
  return total;
}

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// ---- child modes: one engine over the folder, the compressed size on stdout ----

int PackTavelo(int threads, const std::string& folder, const std::string& out) {
  TZipWriter w;
  w.SetThreads(threads);
  w.RootDir = folder;
  w.SetRelativePaths(true);  // names relative to the folder, as 7z stores them
  for (const std::string& f : FilesOf(folder)) w.FilesList.Add(f);
  fs::remove(out);  // a new archive each time: an existing one would be updated instead
  w.SetZipName(out);
  w.BuildArchive();
  std::printf("%llu\n", static_cast<unsigned long long>(fs::file_size(out)));
  return 0;
}

int PackZlib(const std::string& folder) {
  uint64_t total = 0;
  for (const std::string& f : FilesOf(folder)) {
    const std::string in = platform::ReadWholeFile(f);
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&zs, in.size()));
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    total += zs.total_out;
    deflateEnd(&zs);
    crc32(0, reinterpret_cast<const Bytef*>(in.data()), static_cast<uInt>(in.size()));
  }
  std::printf("%llu\n", static_cast<unsigned long long>(total));
  return 0;
}

int PackLibdeflate(const std::string& folder) {
  uint64_t total = 0;
  libdeflate_compressor* c = libdeflate_alloc_compressor(6);
  for (const std::string& f : FilesOf(folder)) {
    const std::string in = platform::ReadWholeFile(f);
    std::vector<uint8_t> out(libdeflate_deflate_compress_bound(c, in.size()));
    total += libdeflate_deflate_compress(c, in.data(), in.size(), out.data(), out.size());
    libdeflate_crc32(0, in.data(), in.size());
  }
  libdeflate_free_compressor(c);
  std::printf("%llu\n", static_cast<unsigned long long>(total));
  return 0;
}

// ---- the parent: runs every row as a child process, round after round ----

struct TRow {
  std::string name;
  std::string command;  // run through the shell; prints the size, or writes sizeFile
  std::string sizeFile;  // when not empty, the size is that file's
  std::vector<double> seconds;     // wall-clock
  std::vector<double> cpuSeconds;  // user + system time of the process and its children
  uint64_t size = 0;
};

bool Have(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double ChildrenCpuSeconds() {
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool RunRow(TRow& row) {
  if (!row.sizeFile.empty()) fs::remove(row.sizeFile);
  const double cpu0 = ChildrenCpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  FILE* pipe = popen(row.command.c_str(), "r");
  if (pipe == nullptr) return false;
  char text[64] = {};
  const size_t n = std::fread(text, 1, sizeof text - 1, pipe);
  const int status = pclose(pipe);
  row.seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  row.cpuSeconds.push_back(ChildrenCpuSeconds() - cpu0);
  if (status != 0) return false;
  row.size = row.sizeFile.empty() ? std::strtoull(std::string(text, n).c_str(), nullptr, 10)
                                  : fs::file_size(row.sizeFile);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--tavelo") == 0) return PackTavelo(std::atoi(argv[2]), argv[3], argv[4]);
  if (argc == 3 && std::strcmp(argv[1], "--zlib") == 0) return PackZlib(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "--libdeflate") == 0) return PackLibdeflate(argv[2]);
  int reps = 5;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) {
      reps = std::max(1, std::atoi(argv[++i]));
    } else {
      folder = argv[i];
    }
  }
  if (folder.empty() || !fs::is_directory(folder)) {
    std::fprintf(stderr, "usage: bench_pack [--reps N] FOLDER\n");
    return 2;
  }
  folder = fs::absolute(folder).lexically_normal().string();
  if (folder.back() != '/') folder += '/';
  const std::vector<std::string> files = FilesOf(folder);
  const uint64_t input = TotalSize(files);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::string self = Quote(fs::canonical("/proc/self/exe").string());
  const std::string work = (fs::temp_directory_path() / ("bench_pack." + std::to_string(getpid()))).string();
  fs::create_directories(work);
  const std::string q = Quote(folder);
  std::string list;  // the files for gzip and pigz, which compress each one as a member
  for (const std::string& f : files) list += " " + Quote(f);

  std::vector<TRow> rows;
  rows.push_back({"tavelo, 1 thread", self + " --tavelo 1 " + q + " " + Quote(work + "/t1.zip"), "", {}, {}, 0});
  rows.push_back({"tavelo, all cores", self + " --tavelo 0 " + q + " " + Quote(work + "/tn.zip"), "", {}, {}, 0});
  rows.push_back({"zlib -6", self + " --zlib " + q, "", {}, {}, 0});
  rows.push_back({"libdeflate -6", self + " --libdeflate " + q, "", {}, {}, 0});
  if (Have("7z")) {
    for (const char* mt : {"1", "on"}) {
      const std::string out = work + "/7z-" + mt + ".zip";
      rows.push_back({std::string("7z -tzip -mx=6 -mmt=") + mt,
                      "rm -f " + Quote(out) + " && cd " + q + " && 7z a -tzip -mx=6 -mmt=" + mt +
                          " " + Quote(out) + " . >/dev/null",
                      out, {}, {}, 0});
    }
  }
  if (Have("gzip")) rows.push_back({"gzip -6", "gzip -6 -c" + list + " > " + Quote(work + "/g.gz"), work + "/g.gz", {}, {}, 0});
  if (Have("pigz")) {
    rows.push_back({"pigz -6 -p 1", "pigz -6 -p 1 -c" + list + " > " + Quote(work + "/p1.gz"), work + "/p1.gz", {}, {}, 0});
    rows.push_back({"pigz -6 (all cores)", "pigz -6 -c" + list + " > " + Quote(work + "/pn.gz"), work + "/pn.gz", {}, {}, 0});
  }

  bool ok = true;
  for (int r = 0; r < reps && ok; ++r) {
    for (TRow& row : rows) {
      if (!RunRow(row)) {
        std::fprintf(stderr, "failed: %s\n", row.command.c_str());
        ok = false;
        break;
      }
    }
    if (ok && platform::ReadWholeFile(work + "/t1.zip") != platform::ReadWholeFile(work + "/tn.zip")) {
      std::fprintf(stderr, "TAVELO'S ARCHIVES ON 1 THREAD AND ON ALL CORES DIFFER\n");
      ok = false;
    }
  }
  std::printf("%s: %zu files, %llu bytes; %u cores; median of %d whole-process runs, interleaved\n",
              folder.c_str(), files.size(), static_cast<unsigned long long>(input), cores, reps);
  std::printf("  %-24s %9s %8s %8s %11s %7s %9s\n", "tool", "seconds", "MB/s", "cpu s", "size",
              "ratio", "speed");
  const double base = Median(rows[0].seconds);
  for (const TRow& row : rows) {
    const double s = Median(row.seconds);
    std::printf("  %-24s %9.3f %8.1f %8.3f %11llu %7.4f %8.2fx\n", row.name.c_str(), s,
                s > 0 ? input / s / 1e6 : 0.0, Median(row.cpuSeconds),
                static_cast<unsigned long long>(row.size),
                input ? static_cast<double>(row.size) / input : 0.0, s > 0 ? base / s : 0.0);
  }
  std::printf("  seconds: wall clock; cpu s: user + system time (on a shared machine the\n"
              "  wall clock of a one-thread tool follows the load, its cpu time much less)\n"
              "  ratio = size / input; speed = tavelo on 1 thread's time / the row's time\n"
              "  (zlib and libdeflate rows: raw Deflate data of each file, no archive records)\n");
  fs::remove_all(work);
  return ok ? 0 : 1;
}
