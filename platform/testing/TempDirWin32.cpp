// The Windows form of the test folder: made under the temporary folder with
// CreateDirectoryW, names in UTF-8 as everywhere in the program.
#include <filesystem>
#include <random>
#include <stdexcept>

#include "platform/FileStream.h"
#include "platform/Paths.h"
#include "platform/TempFiles.h"
#include "platform/testing/TempDir.h"
#include "platform/win32/WinApi.h"

namespace platform::testing {
namespace {

std::filesystem::path WidePath(const std::string& utf8) { return win32::Widen(utf8); }

// Tests may leave read-only files behind; Windows deletes none of those.
void ClearReadOnly(const std::filesystem::path& root) {
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

}  // namespace

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937 numbers(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = TempDirectory() + "tavelo-test-" + std::to_string(numbers() % 1000000000);
    if (CreateDirectoryW(win32::Widen(candidate).c_str(), nullptr)) {
      path_ = candidate + kPathDelim;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  ClearReadOnly(WidePath(path_));
  std::filesystem::remove_all(WidePath(path_), ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::string full = *this / name;
  std::filesystem::create_directories(WidePath(full).parent_path());
  WriteWholeFile(full, bytes);
  return full;
}

std::string TempDir::MakeDir(const std::string& name) const {
  const std::string full = *this / name;
  std::filesystem::create_directories(WidePath(full));
  return full;
}

void TempDir::Hide(const std::string& name) const {
  const std::wstring path = win32::Widen(*this / name);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      !SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN))
    throw std::runtime_error("cannot hide " + name);
}

}  // namespace platform::testing
