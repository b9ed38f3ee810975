#include "core/LayerRename.h"

#include "platform/Exception.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t kSniffBytes = 4096;
const char kContactSheetName[] = "Contect.txt";

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string ReadHead(const std::string& path) {
  try {
    platform::FileStream f(path, platform::FileStream::Mode::OpenRead);
    std::string head(kSniffBytes, '\0');
    head.resize(f.Read(head.data(), head.size()));
    return head;
  } catch (const Exception&) {
    return std::string();  // an unreadable candidate simply does not look like anything
  }
}

bool HasLine(const std::string& text, const std::string& wanted) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t first = line.find_first_not_of(" \t");
    size_t last = line.find_last_not_of(" \t");
    if (first != std::string::npos && line.substr(first, last - first + 1) == wanted) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool LooksLikeLayerFormat(const std::string& path, const std::string& code) {
  std::string head = ReadHead(path);
  if (code == "TXT") return HasLine(head, "M48");
  return head.find("%FS") != std::string::npos || head.find("%MO") != std::string::npos ||
         head.find("G04") != std::string::npos;
}

// The folder's entries matching "*." + code; a folder that cannot be listed has none, so
// each of its layers reports that its file was not found.
namespace {

std::vector<platform::DirEntry> Candidates(const std::string& folder, const std::string& code) {
  try {
    return platform::ListFolder(folder, "*." + code);
  } catch (const Exception&) {
    return {};
  }
}

}  // namespace

std::string ChooseLayerFile(const std::string& folder, const std::string& code) {
  std::string first;
  for (const auto& entry : Candidates(folder, code)) {
    if (!entry.IsPlainFile() || EqualsIgnoringAsciiCase(entry.name, kContactSheetName)) continue;
    if (LooksLikeLayerFormat(folder + entry.name, code)) return entry.name;
    if (first.empty()) first = entry.name;
  }
  return first;
}

TLayerResult RenameFileToCode(const std::string& folder, const std::string& file,
                              const std::string& code) {
  TLayerResult layer{code, file, TLayerOutcome::NotFound};
  if (layer.file.empty()) return layer;
  if (platform::FileExists(folder + code)) layer.outcome = TLayerOutcome::AlreadyExists;
  else if (!platform::RenameNoReplace(folder + layer.file, folder + code))
    layer.outcome = TLayerOutcome::RenameFailed;
  else layer.outcome = TLayerOutcome::Renamed;
  return layer;
}

TLayerResult RenameLayer(const std::string& folder, const std::string& code) {
  return RenameFileToCode(folder, ChooseLayerFile(folder, code), code);
}

TLayerResult PlanFileToCode(const std::string& folder, const std::string& file,
                            const std::string& code) {
  TLayerResult layer{code, file, TLayerOutcome::NotFound};
  if (layer.file.empty()) return layer;
  if (platform::FileExists(folder + code)) layer.outcome = TLayerOutcome::AlreadyExists;
  else if (platform::PathExists(folder + code)) layer.outcome = TLayerOutcome::RenameFailed;
  else layer.outcome = TLayerOutcome::Planned;
  return layer;
}

TLayerResult PlanLayer(const std::string& folder, const std::string& code) {
  return PlanFileToCode(folder, ChooseLayerFile(folder, code), code);
}
