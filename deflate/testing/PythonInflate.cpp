#include "deflate/testing/PythonInflate.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/testing/TempDir.h"

namespace deflate_testing {

namespace {

// For each file argument: decode it; write <file>.out with the data, or <file>.err.
const char* const kScript =
    "import sys, zlib\n"
    "for p in sys.argv[1:]:\n"
    "    raw = open(p, 'rb').read()\n"
    "    try:\n"
    "        d = zlib.decompressobj(-15)\n"
    "        out = d.decompress(raw)\n"
    "        if not d.eof: raise ValueError('stream has no final block')\n"
    "        if d.unused_data: raise ValueError('%d bytes after the final block' % len(d.unused_data))\n"
    "        open(p + '.out', 'wb').write(out)\n"
    "    except Exception as e:\n"
    "        open(p + '.err', 'w').write(str(e))\n";

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  bytes = s.str();
  return true;
}

}  // namespace

std::vector<TInflateResult> PythonInflate(const std::vector<std::string>& streams) {
  platform::testing::TempDir dir;
  const std::string script = dir.Write("inflate.py", kScript);
  std::string command = "python3 '" + script + "'";
  for (size_t i = 0; i < streams.size(); ++i) {
    command += " '" + dir.Write("s" + std::to_string(i), streams[i]) + "'";
  }
  if (std::system(command.c_str()) != 0) throw std::runtime_error("python3 failed: " + command);
  std::vector<TInflateResult> results(streams.size());
  for (size_t i = 0; i < streams.size(); ++i) {
    const std::string base = dir / ("s" + std::to_string(i));
    if (ReadFile(base + ".out", results[i].data)) {
      results[i].ok = true;
    } else if (!ReadFile(base + ".err", results[i].error)) {
      results[i].error = "no result from python3";
    }
  }
  return results;
}

TInflateResult PythonInflate(const std::string& stream) {
  return PythonInflate(std::vector<std::string>{stream})[0];
}

}  // namespace deflate_testing
