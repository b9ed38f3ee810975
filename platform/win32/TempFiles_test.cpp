// Focus: the Windows temporary folder, "KPZ" files made with CREATE_NEW, and file times as
// local DOS date and time.
#include "platform/TempFiles.h"

#include "platform/Exception.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/DateTime.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/testing/TempDir.h"
#include "platform/win32/WinApi.h"

using platform::testing::TempDir;

TEST(Win32TempFiles, KpzFilesAreNewEmptyAndUnique) {
  const std::string temp = platform::TempDirectory();
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(platform::DirectoryExists(temp));
  TempDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    const std::string made = platform::CreateTempFile(dir.Path(), "KPZ");
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(platform::ExtractFilePath(made), dir.Path());
    const std::string name = platform::ExtractFileName(made);
    EXPECT_EQ(name.substr(0, 3), "KPZ");
    EXPECT_EQ(platform::ExtractFileExt(name), ".tmp");
    EXPECT_EQ(name.size(), 11u) << name;  // KPZ, four hex digits, .tmp
    EXPECT_EQ(platform::ReadWholeFile(made), "");
    names.insert(made);
  }
  EXPECT_EQ(names.size(), 20u);
  // The cause is in the message: the unwinding of the exception clears the last error.
  try {
    platform::CreateTempFile(dir / "missing", "KPZ");
    ADD_FAILURE() << "a folder that is not there takes no file";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + dir / "missing\\KPZ" + "\". " +
                               platform::SystemErrorText(ERROR_PATH_NOT_FOUND));
  }
}

namespace {

// Sets the last-write time of path to the local time t.
void SetLocalWriteTime(const std::string& path, const SYSTEMTIME& t) {
  FILETIME local{}, utc{};
  ASSERT_TRUE(SystemTimeToFileTime(&t, &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  HANDLE h = CreateFileW(platform::win32::Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
  CloseHandle(h);
}

}  // namespace

TEST(Win32FileTime, LocalDosDateTimeOfTheLastWrite) {
  TempDir dir;
  const std::string path = dir.Write("GTL", "x");
  struct Case { SYSTEMTIME t; uint32_t dos; };
  const Case cases[] = {
      {{2024, 1, 2, 2, 15, 7, 59, 0}, platform::ToDosDateTime({2024, 1, 2, 15, 7, 58})},
      {{2107, 12, 0, 31, 23, 59, 58, 0}, platform::ToDosDateTime({2107, 12, 31, 23, 59, 58})},
      {{1979, 6, 0, 1, 12, 0, 0, 0}, 0xFFFFFFFFu},  // before DOS times begin
  };
  for (const Case& c : cases) {
    SetLocalWriteTime(path, c.t);
    platform::FileStream f(path, platform::FileStream::Mode::OpenRead);
    EXPECT_EQ(f.DosDateTime(), c.dos) << c.t.wYear;
  }
}

TEST(Win32Clock, LocalNowIsTheSystemsLocalTime) {
  SYSTEMTIME before{};
  GetLocalTime(&before);
  const platform::LocalDateTime now = platform::LocalNow();
  EXPECT_EQ(now.year, before.wYear);
  EXPECT_EQ(now.month, before.wMonth);
  EXPECT_GE(now.day * 1440 + now.hour * 60 + now.minute,
            before.wDay * 1440 + before.wHour * 60 + before.wMinute);
}
