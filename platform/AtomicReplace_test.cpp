// Focus: replacing a file whole: permissions kept, links written through, and with every
// file operation failing in turn the name holds the whole old or the whole new content.
#include "platform/AtomicReplace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/testing/FaultLoop.h"
#include "platform/testing/TempDir.h"
#include "platform/testing/TestPaths.h"

using platform::FileOperation;
using platform::testing::TempDir;

TEST(WriteFileAtomically, ReplacesWholeKeepsPermissionsAndFailsCleanly) {
  TempDir dir;
  std::string path = dir.Write("s.ini", "old content");
#ifndef _WIN32
  chmod(path.c_str(), 0640);
#endif
  platform::WriteFileAtomically(path, "new");
  EXPECT_EQ(platform::ReadWholeFile(path), "new");
#ifndef _WIN32
  struct stat st {};
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // Windows keeps attributes instead: tested in win32/
#endif
  EXPECT_EQ(platform::ListFolder(dir.Path()).size(), 1u);  // no temporary file left
  const std::string missing = dir / "missing/s.ini";
  try {
    platform::WriteFileAtomically(missing, "x");
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& e) {
    // The file the caller asked for is named, not the sibling that could not be made.
    EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\". " +
                               platform::testing::Cause(platform::testing::kNoSuchPath));
  }
}

// A settings file or archive reached through a symbolic link: the target gets the new
// content and the link stays a link (also a link to a link, and a relative one).
TEST(WriteFileAtomically, WritesThroughSymbolicLinks) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need special rights on Windows, where a path stands for itself";
#else
  TempDir dir;
  const std::string target = dir.Write("real/s.ini", "old");
  const std::string link = dir / "s.ini";
  const std::string second = dir / "again.ini";
  ASSERT_EQ(symlink("real/s.ini", link.c_str()), 0);
  ASSERT_EQ(symlink(link.c_str(), second.c_str()), 0);
  platform::WriteFileAtomically(second, "new");
  EXPECT_EQ(platform::ReadWholeFile(target), "new");
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(lstat(second.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(platform::ListFolder(dir / "real").size(), 1u);

  const std::string loop = dir / "loop";
  ASSERT_EQ(symlink(loop.c_str(), loop.c_str()), 0);
  EXPECT_THROW(platform::WriteFileAtomically(loop, "x"), EFOpenError);
#endif
}

// Failing each file operation in turn: the operations come in the order that makes the
// replacement durable (the new file is on the disk before its name is, and the folder
// after), every failure reaches the caller, and the name holds the old bytes, or the new
// ones once the rename is done. No sibling file is ever left behind.
TEST(WriteFileAtomically, EveryFailureLeavesAWholeFile) {
  TempDir dir;
  const std::string path = dir.Write("tavelo.ini", "old settings");
  const std::string fresh = "new settings, longer than the old ones";
  std::vector<FileOperation> order;
  int64_t renameAt = 0;  // the call that renames; a failure after it finds the new file
  const int64_t points = platform::testing::FailEachOperationInTurn(
      [&] { platform::WriteFileAtomically(path, fresh); },
      [&](const platform::testing::FaultRun& run) {
        const std::string now = platform::ReadWholeFile(path);
        if (run.fired) {
          order.push_back(run.operation);
          if (run.operation == FileOperation::Rename) renameAt = run.failAt;
          EXPECT_TRUE(run.threw) << run.Describe();
          const bool afterRename = renameAt != 0 && run.failAt > renameAt;
          EXPECT_EQ(now, afterRename ? fresh : "old settings") << run.Describe();
          platform::WriteWholeFile(path, "old settings");
        } else {
          EXPECT_FALSE(run.threw) << run.Describe();
          EXPECT_EQ(now, fresh);
        }
        EXPECT_EQ(platform::ListFolder(dir.Path()).size(), 1u) << run.Describe();
      });
  const std::vector<FileOperation> expected = {
      FileOperation::Create, FileOperation::Open,   FileOperation::Write, FileOperation::Sync,
      FileOperation::Close,  FileOperation::Rename, FileOperation::Sync};
  EXPECT_EQ(points, static_cast<int64_t>(expected.size()));
  EXPECT_EQ(order, expected);
}
