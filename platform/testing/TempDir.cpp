#include "platform/testing/TempDir.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/TempFiles.h"

namespace platform::testing {

TempDir::TempDir() {
  std::string tmpl = TempDirectory() + "tavelo-test-XXXXXX";
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back write permission first: tests make read-only folders.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec)) chmod(it->path().c_str(), 0700);
  }
  chmod(path_.c_str(), 0700);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string full = *this / name;
  std::filesystem::create_directories(std::filesystem::path(full).parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempDir::MakeDir(const std::string& name) const {
  std::string full = *this / name;
  std::filesystem::create_directories(full);
  return full;
}

void TempDir::Hide(const std::string& name) const {
  if (name.empty() || name.front() != '.') throw std::runtime_error("a hidden name begins with a dot: " + name);
}

}  // namespace platform::testing
