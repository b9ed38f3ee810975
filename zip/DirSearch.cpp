#include "zip/DirSearch.h"

#include <utility>

#include "platform/Paths.h"
#include "zip/WildcardMatch.h"

namespace {

// Folders starting with "." are hidden folders (and "." and ".."): never entered.
bool Enterable(const platform::DirEntry& entry) {
  return entry.isDir && (entry.name.empty() || entry.name[0] != '.');
}

// The position of the delimiter that ends the opened part of a folder text holding wildcards,
// npos when the first wildcard lies in the first level of a relative folder.
size_t SplitPoint(std::string_view folder) {
  const size_t firstWild = folder.find_first_of("*?<>|");
  return folder.rfind(platform::kPathDelim, firstWild);
}

}  // namespace

std::string TDirSearch::OpenedFolder(std::string_view folder) {
  std::string text = platform::IncludeTrailingDelimiter(folder);
  if (!HasWildcards(text)) return text;
  const size_t split = SplitPoint(text);
  return split == std::string::npos ? std::string() : text.substr(0, split + 1);
}

TDirSearch::TDirSearch(std::string_view folder, bool recurse, std::string filePattern)
    : recurse_(recurse), filePattern_(std::move(filePattern)) {
  const std::string text = platform::IncludeTrailingDelimiter(folder);
  std::string opened = OpenedFolder(text);
  // Each level after the opened folder, e.g. "b*/c/" -> "b*", "c" (with the system's delimiter).
  std::string_view rest = std::string_view(text).substr(opened.size());
  while (!rest.empty()) {
    const size_t slash = rest.find(platform::kPathDelim);
    std::string_view level = rest.substr(0, slash);
    if (!level.empty()) folderPatterns_.emplace_back(level);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
  }
  Enter(std::move(opened));
}

void TDirSearch::Enter(std::string folder) {
  TSearchData data;
  const std::string listed = folder.empty() ? std::string(".") : folder;
  if (platform::GetFolderId(listed, data.id)) {
    for (const TSearchData& open : stack_) {
      if (open.id == data.id) return;
    }
  }
  data.entries = platform::ListFolder(listed, "*");
  data.folder = std::move(folder);
  stack_.push_back(std::move(data));
}

std::string TDirSearch::Next() {
  while (!stack_.empty()) {
    TSearchData& top = stack_.back();
    if (top.index >= top.entries.size()) {
      stack_.pop_back();
      continue;
    }
    const platform::DirEntry& entry = top.entries[top.index++];
    const size_t level = stack_.size() - 1;
    if (level < folderPatterns_.size()) {
      // A folder level of the folder text: only matching sub-folders are entered.
      if (Enterable(entry) && IsMatch(folderPatterns_[level], entry.name)) {
        Enter(top.folder + entry.name + platform::kPathDelim);  // invalidates top and entry
      }
      continue;
    }
    if (entry.isDir) {
      // Entered at once, so its files come before the rest of this folder.
      if (recurse_ && Enterable(entry)) Enter(top.folder + entry.name + platform::kPathDelim);
      continue;
    }
    // A name without extension is also tested with a "." appended, so that "*.*" and
    // "*." find it, while "GT?" still finds "GTL".
    const bool hasExt = !platform::ExtractFileExt(entry.name).empty();
    if (IsMatch(filePattern_, entry.name) || (!hasExt && IsMatch(filePattern_, entry.name + "."))) {
      last_ = entry;
      return top.folder + entry.name;
    }
  }
  return std::string();
}
