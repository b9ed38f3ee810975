#include "platform/FileStream.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/BufferedFileStream.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/LineList.h"
#include "platform/testing/TempDir.h"

using platform::FileStream;
using platform::testing::Cause;
using platform::testing::TempDir;

TEST(FileStream, ErrorMessagesNameTheFullPathAndCause) {
  TempDir dir;
  std::string missing = dir / "no/such/x.txt";
  try {
    FileStream f(missing, FileStream::Mode::Create);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\". " + Cause(platform::testing::kNoSuchPath));
  }
  try {
    FileStream f(missing, FileStream::Mode::OpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". " + Cause(platform::testing::kNoSuchPath));
  }
  EXPECT_THROW(FileStream(dir.Path(), FileStream::Mode::OpenRead), EFOpenError);
  EXPECT_THROW(FileStream("", FileStream::Mode::Create), EFCreateError);
}

// A write that the system refuses (here a file-size limit, as a full disk would) must raise
// "Stream write error", not pass as written. Runs in a child so the limit stays there.
TEST(FileStream, ShortWriteRaisesWriteError) {
#ifdef _WIN32
  GTEST_SKIP() << "needs fork and a file-size limit (setrlimit), which Windows lacks";
#else
  TempDir dir;
  std::string path = dir / "limited";
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit lim{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &lim);
    int code = 1;
    try {
      TBufferedFileStream s(path, FileStream::Mode::Create);
      std::string block(600, 'x');
      s.Write(block.data(), block.size());
      s.Write(block.data(), block.size());
      s.Close();
    } catch (const EWriteError& e) {
      code = e.Message() == "Stream write error" ? 0 : 2;
    } catch (...) {
      code = 3;
    }
    _exit(code);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

TEST(BufferedFileStream, MixedReadsWritesAndSeeks) {
  TempDir dir;
  std::string path = dir / "b";
  {
    TBufferedFileStream s(path, FileStream::Mode::Create);
    std::string big(20000, 'a');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
    s.Write(big.data(), big.size());
    EXPECT_EQ(s.Position(), 20000);
    s.Seek(10, FileStream::Origin::Begin);
    s.Write("XYZ", 3);
    EXPECT_EQ(s.Position(), 13);
    char c[4] = {};
    s.ReadBuffer(c, 2);
    EXPECT_EQ(std::string(c, 2), std::string(1, 'a' + 13 % 26) + std::string(1, 'a' + 14 % 26));
    s.Seek(-1, FileStream::Origin::Current);
    s.ReadBuffer(c, 1);
    EXPECT_EQ(c[0], 'a' + 14 % 26);
    EXPECT_EQ(s.Seek(0, FileStream::Origin::End), 20000);
    s.Write("!", 1);
    EXPECT_EQ(s.Size(), 20001);
    s.Close();
  }
  std::string bytes = platform::ReadWholeFile(path);
  ASSERT_EQ(bytes.size(), 20001u);
  EXPECT_EQ(bytes.substr(9, 5), std::string("j") + "XYZ" + "n");
  EXPECT_EQ(bytes.back(), '!');
  TBufferedFileStream r(path, FileStream::Mode::OpenRead);
  std::string all(30000, '\0');
  EXPECT_EQ(r.Read(all.data(), all.size()), 20001u);
  EXPECT_THROW(r.ReadBuffer(all.data(), 1), EReadError);
}

TEST(LineList, SplitsAtEveryLineEndAndStopsAtNul) {
  struct Case { std::string bytes; std::vector<std::string> lines; };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},
      {"a\n\r", {"a", ""}},
  };
  for (const auto& c : cases) {
    TStringList list;
    list.SetText(c.bytes);
    EXPECT_EQ(list.lines, c.lines);
  }
  TStringList list;
  list.Add("x");
  list.Add("");
  EXPECT_EQ(list.Text(), "x\r\n\r\n");
}
