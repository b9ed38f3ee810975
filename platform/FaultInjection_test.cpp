// Focus: the fault-injection seam and the file layer's one error convention: every call
// that can fail, made to fail, raises the layer's error with the cause (or, for the calls
// whose failure is an answer, returns false) and never passes as done.
#include "platform/FaultInjection.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

#include "platform/BufferedFileStream.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/TempFiles.h"
#include "platform/SystemError.h"
#include "platform/testing/FaultLoop.h"
#include "platform/testing/TempDir.h"

using platform::FileOperation;
using platform::FileStream;
using platform::testing::RunWithFault;
using platform::testing::TempDir;

TEST(FaultInjection, FailsExactlyTheNthCallWithTheChosenError) {
  TempDir dir;
  const std::string path = dir.Write("f", "abc");
  FileStream f(path, FileStream::Mode::OpenRead);
  char c;
  {
    platform::testing::ScopedFault fault(3, ENOSPC);
    EXPECT_EQ(f.Read(&c, 1), 1u);
    EXPECT_EQ(f.Read(&c, 1), 1u);
    EXPECT_THROW(f.Read(&c, 1), EReadError);
#ifndef _WIN32
    EXPECT_EQ(platform::LastSystemError(), ENOSPC);  // on Windows the unwinding clears it
#endif
    EXPECT_TRUE(platform::FaultFired());
    EXPECT_EQ(platform::FiredOperation(), FileOperation::Read);
    EXPECT_EQ(f.Read(&c, 1), 1u);  // once only: the next call goes on where the failed one was
    EXPECT_EQ(c, 'c');
    EXPECT_EQ(platform::FaultCallCount(), 4);
  }
  f.Seek(0, FileStream::Origin::Begin);
  EXPECT_EQ(f.Read(&c, 1), 1u);  // disarmed: nothing fails, nothing is counted
  EXPECT_EQ(platform::FaultCallCount(), 4);
}

// Each kind of call, failing first: the error that reaches the caller names the cause.
TEST(FaultInjection, EveryFailingCallReachesTheCaller) {
  TempDir dir;
  const std::string file = dir.Write("f", "data");
  const std::string gone = dir.Write("gone", "x");
  struct Case {
    const char* what;
    int64_t failAt;  // the call to fail: the one after the set-up's open or create
    FileOperation operation;
    std::function<void()> call;
    std::string message;  // empty: only the operation and that it threw are checked
  } cases[] = {
      {"open", 1, FileOperation::Open, [&] { FileStream f(file, FileStream::Mode::OpenRead); },
       "Cannot open file \"" + file + "\". " + platform::SystemErrorText(EIO)},
      {"create", 1, FileOperation::Create, [&] { FileStream f(dir / "n", FileStream::Mode::Create); },
       "Cannot create file \"" + dir.Path() + "n\". " + platform::SystemErrorText(EIO)},
      {"temporary file", 1, FileOperation::Create, [&] { platform::CreateTempFile(dir.Path(), "KPZ"); },
       "Cannot create file \"" + dir.Path() + "KPZ\". " + platform::SystemErrorText(EIO)},
      {"size", 2, FileOperation::Stat,
       [&] {
         TBufferedFileStream s(file, FileStream::Mode::OpenRead);
         s.Size();
       },
       "Stream read error"},
      {"time", 2, FileOperation::Stat,
       [&] {
         FileStream s(file, FileStream::Mode::OpenRead);
         s.ModificationNanos();
       },
       "Stream read error"},
      {"seek", 2, FileOperation::Seek,
       [&] {
         FileStream s(file, FileStream::Mode::OpenRead);
         s.Seek(1, FileStream::Origin::Begin);
       },
       "Stream read error"},
      {"flush", 2, FileOperation::Flush,
       [&] {
         TBufferedFileStream s(dir / "w", FileStream::Mode::Create);
         s.Write("x", 1);
         s.Close();
       },
       "Stream write error"},
      {"sync", 2, FileOperation::Sync,
       [&] {
         FileStream s(dir / "w", FileStream::Mode::Create);
         s.Sync();
       },
       "Stream write error"},
      {"close", 2, FileOperation::Close,
       [&] {
         FileStream s(dir / "w", FileStream::Mode::Create);
         s.Close();
       },
       "Stream write error"},
      {"rename over", 1, FileOperation::Rename, [&] { platform::RenameReplace(file, dir / "r"); },
       "Cannot create file \"" + dir.Path() + "r\". " + platform::SystemErrorText(EIO)},
      {"folder sync", 1, FileOperation::Sync, [&] { platform::SyncFolder(dir.Path()); },
       "Stream write error"},
      {"folder listing", 1, FileOperation::ListFolder, [&] { platform::ListFolder(dir.Path()); },
       "Cannot open file \"" + dir.Path() + "\". " + platform::SystemErrorText(EIO)},
  };
  for (const Case& c : cases) {
    const auto run = RunWithFault(c.failAt, EIO, c.call);
    EXPECT_TRUE(run.fired) << c.what;
    EXPECT_EQ(run.operation, c.operation) << c.what;
    EXPECT_TRUE(run.threw) << c.what;
    EXPECT_EQ(run.message, c.message) << c.what;
  }
  // The answers: a refused rename or delete is false with the cause in the system error.
  {
    platform::testing::ScopedFault fault(1, EACCES);
    EXPECT_FALSE(platform::RenameNoReplace(file, dir / "r2"));
    EXPECT_EQ(platform::LastSystemError(), EACCES);
  }
  {
    platform::testing::ScopedFault fault(1, EBUSY);
    EXPECT_FALSE(platform::DeleteFile(gone));
    EXPECT_EQ(platform::LastSystemError(), EBUSY);
  }
  EXPECT_TRUE(platform::FileExists(file) && platform::FileExists(gone));
  EXPECT_FALSE(platform::FileExists(dir / "r") || platform::FileExists(dir / "r2"));
}

// A folder that is not there is empty; one that cannot be listed is an error (a folder
// that is a file counts as not there).
TEST(ListFolder, MissingIsEmptyUnlistableIsAnError) {
  TempDir dir;
  const std::string file = dir.Write("file", "x");
  EXPECT_TRUE(platform::ListFolder(dir / "none").empty());
  EXPECT_TRUE(platform::ListFolder(file).empty());
  EXPECT_EQ(platform::ListFolder(dir.Path()).size(), 1u);
}
