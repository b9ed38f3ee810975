#include "zip/FileListExpansion.h"

#include <cstddef>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "zip/DirSearch.h"
#include "zip/WildcardMatch.h"

namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// With Freshen, a file is kept only when the archive already holds its stored name.
bool HeldInArchive(const TExpansionContext& context, const std::string& name) {
  if (!context.InHeldDirectory) return false;
  const std::string normalized = NormalizeName(name);
  return context.InHeldDirectory(platform::ExtractFileName(normalized),
                                 StoredPath(normalized, context.Names));
}

// The archive itself, compared as absolute names so that a relative pattern folder
// still recognises it.
bool IsTheArchive(const std::string& name, const std::string& absoluteZipName) {
  return !absoluteZipName.empty() &&
         EqualIgnoringAsciiCase(platform::ExpandFileName(name), absoluteZipName);
}

// First pass over the plain lines; the patterns are moved out, in order.
int64_t ExpandPlainLines(TExpansionContext& context, std::vector<std::string>& patterns) {
  TStringList& list = context.FilesList;
  const std::string rootDir = context.Names.RootDir.empty()
                                  ? std::string()
                                  : platform::IncludeTrailingDelimiter(context.Names.RootDir);
  int64_t total = 0;
  int i = 0;
  while (i < list.Count()) {
    if (HasWildcards(list[i])) {
      patterns.push_back(list[i]);
      list.Delete(i);
      continue;
    }
    // A bare name is taken relative to RootDir (or the current folder when it is empty).
    if (platform::ExtractFilePath(list[i]).empty()) list[i] = rootDir + list[i];
    if (IsInExcludeList(context.ExcludeList, list[i])) {
      list.Delete(i);
      continue;
    }
    uint64_t size = 0;
    if (!platform::PathExists(list[i], &size)) {
      if (context.OnNoSuchFile) context.OnNoSuchFile(list[i]);
      list.Delete(i);
      continue;
    }
    if (context.SkipIfArchiveBitNotSet || (context.Freshen && !HeldInArchive(context, list[i]))) {
      list.Delete(i);
      continue;
    }
    total += static_cast<int64_t>(size);
    ++i;
  }
  return total;
}

// Second pass: one pattern replaced by the files that it matches.
int64_t ExpandPattern(TExpansionContext& context, std::string pattern,
                      const std::string& absoluteZipName) {
  bool recurse = context.Recurse;
  if (!pattern.empty() && (pattern[0] == '|' || pattern[0] == '>')) {
    recurse = pattern[0] == '>';
    pattern.erase(0, 1);
  }
  std::string folder = platform::ExtractFilePath(pattern);
  const std::string namePattern = platform::ExtractFileName(pattern);
  if (!folder.empty() && folder.back() == platform::kPathDelim && !platform::IsRootFolder(folder))
    folder.pop_back();  // a root ("/", "\", "D:\") keeps its delimiter
  if (folder.empty()) folder = context.Names.RootDir;
  // An empty folder (no folder and no RootDir) names no folder: the pattern adds nothing.
  // A folder with wildcards exists when the folder that the search opens exists.
  if (folder.empty()) return 0;
  const std::string opened = TDirSearch::OpenedFolder(folder);
  if (!platform::DirectoryExists(opened.empty() ? std::string(".") : opened)) return 0;

  int64_t total = 0;
  TDirSearch search(folder, recurse, namePattern);
  for (std::string name = search.Next(); !name.empty(); name = search.Next()) {
    if (IsInExcludeList(context.ExcludeList, name) || IsTheArchive(name, absoluteZipName)) continue;
    if (context.SkipIfArchiveBitNotSet) continue;
    if (context.Freshen && !HeldInArchive(context, name)) continue;
    total += static_cast<int64_t>(search.LastEntry().size);
    context.FilesList.Add(std::move(name));
  }
  return total;
}

}  // namespace

int64_t ExpandFileList(TExpansionContext& context) {
  std::vector<std::string> patterns;
  int64_t total = ExpandPlainLines(context, patterns);
  const std::string absoluteZipName =
      context.ZipName.empty() ? std::string() : platform::ExpandFileName(context.ZipName);
  for (const std::string& pattern : patterns) {
    total += ExpandPattern(context, pattern, absoluteZipName);
  }
  return total;
}
