// Focus: the resources built into tavelo.exe: one application icon of 72 x 72 pixels with 32
// bits per pixel, the version 1.0, and the manifest that asks for the common controls 6.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/WinApi.h"

namespace {

#pragma pack(push, 2)
struct IconGroupEntry {  // an entry of an RT_GROUP_ICON resource
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = LoadLibraryExW(platform::win32::Widen(TAVELO_EXE).c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe_, nullptr) << TAVELO_EXE;
  }
  void TearDown() override {
    if (exe_ != nullptr) FreeLibrary(exe_);
  }
  std::string Resource(LPCWSTR type) const {
    HRSRC found = FindResourceW(exe_, MAKEINTRESOURCEW(1), type);
    if (found == nullptr) return {};
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(exe_, found)));
    return std::string(bytes, SizeofResource(exe_, found));
  }
  HMODULE exe_ = nullptr;
};

TEST_F(ResourcesTest, OneIconOf72By72With32BitsPerPixel) {
  const std::string group = Resource(RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6 + sizeof(IconGroupEntry));
  WORD count;
  std::memcpy(&count, group.data() + 4, sizeof count);
  EXPECT_EQ(count, 1);
  IconGroupEntry entry;
  std::memcpy(&entry, group.data() + 6, sizeof entry);
  EXPECT_EQ(entry.width, 72);
  EXPECT_EQ(entry.height, 72);
  EXPECT_EQ(entry.bitCount, 32);
}

TEST_F(ResourcesTest, VersionOneDotZeroAndTheCommonControlsManifest) {
  const std::string version = Resource(RT_VERSION);
  const DWORD signature = VS_FFI_SIGNATURE;
  const size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), sizeof signature));
  ASSERT_NE(at, std::string::npos);
  VS_FIXEDFILEINFO info;
  ASSERT_GE(version.size(), at + sizeof info);
  std::memcpy(&info, version.data() + at, sizeof info);
  EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);  // 1.0
  EXPECT_EQ(info.dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(info.dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_NE(Resource(RT_MANIFEST).find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

}  // namespace
