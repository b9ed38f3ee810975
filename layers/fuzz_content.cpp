// Fuzz target for the content recogniser: arbitrary bytes become a file name, a head, a
// tail and a Gerber job file, and are recognised. Crashes, out-of-bounds reads, leaks and
// hangs are findings; so is a result that breaks the recogniser's promises (a known
// function without evidence, an Excellon file with a function other than a drill, an
// evidence text that quotes the input unbounded).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "layers/FileSample.h"
#include "layers/GerberJob.h"
#include "layers/NameConventions.h"
#include "layers/Recognise.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

constexpr size_t kMaxName = 40;
constexpr size_t kMaxEvidence = 400;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.empty()) return 0;
  const size_t nameLength = static_cast<unsigned char>(bytes[0]) % kMaxName;
  bytes.remove_prefix(1);
  const std::string_view name = bytes.substr(0, nameLength);
  const std::string_view content = bytes.substr(name.size());
  const std::string_view head = content.substr(0, layers::kSampleHeadBytes);
  const std::string_view tail = content.substr(head.size());

  layers::GerberJobFindings jobs;
  jobs.Add("board.gbrjob", content);
  const layers::NameContext context = layers::NameContextOf({std::string(name)});
  const layers::RecognisedFile file = layers::RecogniseContent(name, head, tail, jobs, context);

  Check(file.name == name);
  Check(!file.function.IsKnown() || !file.evidence.empty());
  Check(file.kind != layers::FileKind::Excellon || !file.function.IsKnown() || file.function.IsDrill());
  Check(file.kind != layers::FileKind::Other || !file.function.IsKnown());
  Check(file.evidence.size() <= kMaxEvidence + name.size());
  return 0;
}
