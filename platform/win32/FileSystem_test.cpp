// Focus: the Windows folder search and file streams: attributes, listing order, sharing,
// the system's causes in messages, and attributes kept by an atomic rewrite.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include "platform/AtomicReplace.h"
#include "platform/Exception.h"
#include "platform/FileStream.h"
#include "platform/SystemError.h"
#include "platform/testing/TempDir.h"
#include "platform/win32/WinApi.h"

using platform::testing::TempDir;

namespace {

void AddAttributes(const std::string& path, DWORD added) {
  const std::wstring wide = platform::win32::Widen(path);
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), GetFileAttributesW(wide.c_str()) | added)) << path;
}

}  // namespace

// Hidden and system come from the attributes; plain files are neither. (Names beginning
// with "." are left out: Wine marks those hidden, as the Linux build does.)
TEST(Win32ListFolder, HiddenAndSystemAttributes) {
  TempDir dir;
  dir.Write("plain.GTL", "1");
  dir.Write("dot.GTL", "22");
  AddAttributes(dir.Write("hidden.GTL", ""), FILE_ATTRIBUTE_HIDDEN);
  AddAttributes(dir.Write("system.GTL", ""), FILE_ATTRIBUTE_SYSTEM);
  AddAttributes(dir.MakeDir("folder.GTL"), FILE_ATTRIBUTE_HIDDEN);
  const auto entries = platform::ListFolder(dir.Path(), "*.gtl");
  ASSERT_EQ(entries.size(), 5u);
  struct Expected { const char* name; bool dir, hidden, system, plain; uint64_t size; };
  const Expected expected[] = {
      {"dot.GTL", false, false, false, true, 2},    {"folder.GTL", true, true, false, false, 0},
      {"hidden.GTL", false, true, false, false, 0}, {"plain.GTL", false, false, false, true, 1},
      {"system.GTL", false, false, true, false, 0},
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].name, expected[i].name);
    EXPECT_EQ(entries[i].isDir, expected[i].dir) << expected[i].name;
    EXPECT_EQ(entries[i].isHidden, expected[i].hidden) << expected[i].name;
    EXPECT_EQ(entries[i].isSystem, expected[i].system) << expected[i].name;
    EXPECT_EQ(entries[i].IsPlainFile(), expected[i].plain) << expected[i].name;
    EXPECT_EQ(entries[i].size, expected[i].size) << expected[i].name;
  }
}

// The order is that of the Linux build, whatever order the disk gives: ASCII letters
// ignore case, other bytes (the UTF-8 of Chinese names, "_" after the letters) compare as
// bytes.
TEST(Win32ListFolder, SortedAsOnLinux) {
  TempDir dir;
  for (const char* name : {"张三.txt", "b_x", "B1", "a", "_z", "Contect.txt", "contect.TXT2"})
    dir.Write(name, "");
  std::vector<std::string> names;
  for (const auto& e : platform::ListFolder(dir.Path())) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "B1", "b_x", "Contect.txt", "contect.TXT2", "_z",
                                             "张三.txt"}));
}

// A file that another program holds without sharing cannot be opened, with the system's
// cause; one that this program holds stays open to others.
TEST(Win32FileStream, SharingAndTheSystemsCause) {
  TempDir dir;
  const std::string path = dir.Write("GTL", "layer");
  {
    platform::FileStream mine(path, platform::FileStream::Mode::OpenRead);
    platform::FileStream other(path, platform::FileStream::Mode::OpenReadWrite);
    EXPECT_EQ(platform::ReadWholeFile(path), "layer");
  }
  HANDLE locked = CreateFileW(platform::win32::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  try {
    platform::FileStream f(path, platform::FileStream::Mode::OpenRead);
    ADD_FAILURE() << "opened a file held without sharing";
  } catch (const EFOpenError& e) {
    const std::string cause = platform::SystemErrorText(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(e.Message(), "Cannot open file \"" + path + "\". " + cause);
    EXPECT_FALSE(cause.empty());
    EXPECT_EQ(cause.find_first_of("\r\n"), std::string::npos) << cause;
    EXPECT_NE(cause.back(), '.') << cause;
  }
  CloseHandle(locked);
}

TEST(Win32FileStream, AtomicRewriteKeepsTheHiddenMark) {
  TempDir dir;
  const std::string path = dir.Write("tavelo.ini", "old");
  AddAttributes(path, FILE_ATTRIBUTE_HIDDEN);
  platform::WriteFileAtomically(path, "new");
  EXPECT_EQ(platform::ReadWholeFile(path), "new");
  const DWORD attributes = GetFileAttributesW(platform::win32::Widen(path).c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(platform::ListFolder(dir.Path()).size(), 1u);
}

// MoveFileExW without the replace flag: neither a file nor a folder of the new name is
// replaced, also when the names differ only in case from another entry.
TEST(Win32RenameNoReplace, KeepsTheExistingEntryAndSaysWhy) {
  TempDir dir;
  dir.Write("new.GTL", "new");
  dir.Write("GTL", "old");
  EXPECT_FALSE(platform::RenameNoReplace(dir / "new.GTL", dir / "gtl"));
  EXPECT_EQ(platform::LastSystemError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(platform::ReadWholeFile(dir / "GTL"), "old");
  EXPECT_TRUE(platform::RenameNoReplace(dir / "new.GTL", dir / "GTS"));
  EXPECT_EQ(platform::ReadWholeFile(dir / "GTS"), "new");
}
