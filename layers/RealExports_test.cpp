// The focus of this file is folders exported by real board tools (KiCad 6 in four Gerber
// styles, gEDA pcb, pcb-rnd's CAM jobs), kept as the head and tail of each file in
// testing/exports: every file gets the function its export gave it, or stays unknown where
// nothing in the folder tells (an inner layer of unknown number is still marked as inner
// copper, "inner copper ?"), and none gets a wrong one.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "layers/Recognise.h"
#include "platform/testing/TempDir.h"

namespace layers {
namespace {

const std::vector<std::pair<std::string, std::vector<unsigned char>>> kFixtures = {
#include "ExportFixtures.inc"
};

struct ExportedFolder {
  std::vector<std::pair<std::string, std::string>> files;  // name, content
  std::map<std::string, std::string> expected;             // name, function
};

// A fixture: comment lines, then for each file "=== <name> | <function>" and its lines.
ExportedFolder Parse(const std::vector<unsigned char>& bytes) {
  ExportedFolder folder;
  const std::string text(bytes.begin(), bytes.end());
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    if (line.rfind("=== ", 0) == 0) {
      const size_t bar = line.find(" | ");
      folder.files.emplace_back(line.substr(4, bar - 4), "");
      folder.expected[folder.files.back().first] = line.substr(bar + 3);
    } else if (!folder.files.empty()) {
      folder.files.back().second += line + "\n";
    }
  }
  return folder;
}

TEST(RealExports, EveryFileGetsTheFunctionItsExportGaveItOrStaysUnknown) {
  ASSERT_GE(kFixtures.size(), 9u);
  for (const auto& [fixture, bytes] : kFixtures) {
    const ExportedFolder folder = Parse(bytes);
    ASSERT_GE(folder.files.size(), 9u) << fixture;
    platform::testing::TempDir dir;
    for (const auto& [name, content] : folder.files) dir.Write(name, content);
    std::map<std::string, std::string> recognised;
    for (const RecognisedFile& file : RecogniseFolder(dir.Path()))
      recognised[file.name] = file.unnumberedInnerCopper ? "inner copper ?" : FunctionName(file.function);
    EXPECT_EQ(recognised, folder.expected) << fixture;
  }
}

}  // namespace
}  // namespace layers
