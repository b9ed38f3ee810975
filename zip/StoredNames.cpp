#include "zip/StoredNames.h"

#include <cstddef>

#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace {

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i], b = prefix[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

// The length of the volume at the front of a folder: on Windows a drive ("D:") or the
// server and share of a network name ("\\server\share"); nothing on Linux.
size_t VolumeLength(std::string_view folder) {
#ifdef _WIN32
  if (folder.size() >= 2 && folder[1] == ':') return 2;
  if (folder.rfind("\\\\", 0) == 0) {
    const size_t shareStart = folder.find('\\', 2);
    if (shareStart == std::string_view::npos) return folder.size();
    const size_t shareEnd = folder.find('\\', shareStart + 1);
    return shareEnd == std::string_view::npos ? folder.size() : shareEnd;
  }
#else
  (void)folder;
#endif
  return 0;
}

// Archives separate folders with "/" whatever the system that wrote them.
std::string ArchiveDelimiters(std::string folder) {
  for (char& c : folder) {
    if (c == platform::kPathDelim) c = '/';
  }
  return folder;
}

// The stored folder of an already normalized name.
std::string StoredDirectory(std::string_view normalized, const TStoreNameOptions& options) {
  if (!options.StorePaths) return std::string();
  std::string directory = platform::ExtractFilePath(normalized);
  if (options.RelativePaths && !options.RootDir.empty()) {
    // RootDir normalized like the name, so that both went through the same conversion.
    const std::string root =
        platform::IncludeTrailingDelimiter(NormalizeName(options.RootDir));
    if (StartsWithIgnoringAsciiCase(directory, root)) {
      directory.erase(0, root.size());
    }
  }
  // Linux has no drives or volumes, so StoreVolumes has nothing to keep there.
  if (!options.StoreVolumes) directory.erase(0, VolumeLength(directory));
  // A leading delimiter is never stored, whatever the options: an archive entry with an
  // absolute path would be extracted outside the folder it is extracted into.
  const size_t first = directory.find_first_not_of(platform::kPathDelim);
  directory.erase(0, first == std::string::npos ? directory.size() : first);
  return ArchiveDelimiters(std::move(directory));
}

}  // namespace

std::string NormalizeName(std::string_view name) {
  return platform::OemToAnsi(platform::AnsiToOem(name));
}

void StoredName(std::string_view fullName, const TStoreNameOptions& options, std::string& fileName,
                std::string& directory) {
  // Store83Names: Linux file systems have no short 8.3 names, so names stay unchanged.
  const std::string normalized = NormalizeName(fullName);
  fileName = platform::ExtractFileName(normalized);
  directory = StoredDirectory(normalized, options);
}

std::string StoredPath(std::string_view name, const TStoreNameOptions& options) {
  // The same rule as StoredName's Directory, RootDir compared ignoring case: cutting
  // the length of RootDir without comparing would make a file outside RootDir never
  // match the entry that StoredName gave it.
  return StoredDirectory(name, options);
}
