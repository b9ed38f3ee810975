// Focus: tavelo-cli as a process on a terminal and off one: the progress line on a
// pseudo-terminal, none when standard error is a file or with --json; and the settings file
// an installed copy (in a folder its user cannot write) keeps in the configuration folder.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/testing/TempDir.h"

namespace {

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs a shell command; what it printed on standard output.
std::string Output(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Bytes that compress poorly, so that the archive takes many blocks to write.
std::string Noise(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

class CliProgressTest : public ::testing::Test {
 protected:
  // A board of two large layers, fresh for each run (a run renames them).
  std::string Board(const std::string& name) {
    const std::string board = dir.MakeDir(name) + "/";
    dir.Write(name + "/b.GTL", Noise(1500000, 1));
    dir.Write(name + "/b.GBL", Noise(1000000, 2));
    return board;
  }
  std::string PackCommand(const std::string& board, const std::string& extra = "") {
    return Quote(TAVELO_CLI) + " --settings " + Quote(dir / "tavelo.ini") +
           " --layers GTL,GBL --zip --name p " + extra + Quote(board);
  }
  // The command run with its standard output and error on a pseudo-terminal; all it wrote.
  std::string OnTerminal(const std::string& command) {
    return Output("script -qec " + Quote(command) + " /dev/null");
  }
  platform::testing::TempDir dir;
};

TEST_F(CliProgressTest, TerminalShowsAProgressLineThatEndsAtAHundred) {
  const std::string out = OnTerminal(PackCommand(Board("a")));
  size_t rewrites = 0;
  for (size_t at = out.find("\rpacking "); at != std::string::npos; at = out.find("\rpacking ", at + 1))
    ++rewrites;
  EXPECT_GT(rewrites, 10u) << out;  // rewritten in place as the run goes on
  // The finished line ends before the report's line.
  EXPECT_NE(out.find("\rpacking 100%\r\n压缩文件名：p-"), std::string::npos) << out;
}

TEST_F(CliProgressTest, NoTerminalOrJsonShowsNoProgress) {
  const std::string board = Board("b");
  const std::string out = Output(PackCommand(board) + " 2>" + Quote(dir / "err.txt"));
  EXPECT_EQ(out.rfind("压缩文件名：p-", 0), 0u) << out;
  EXPECT_EQ(platform::ReadWholeFile(dir / "err.txt"), "");
  const std::string json = OnTerminal(PackCommand(Board("c"), "--json "));
  EXPECT_EQ(json.find("packing"), std::string::npos) << json;
  EXPECT_NE(json.find("\"archive\": \"p-"), std::string::npos) << json;
}

// An installed copy in a folder that its user cannot write, run as an unprivileged user
// (as root, through setpriv: root may write anywhere).
TEST_F(CliProgressTest, InstalledCopyKeepsItsSettingsInTheConfigurationFolder) {
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  const std::string bin = dir.MakeDir("bin") + "/";
  const std::string program = bin + "tavelo-cli";
  platform::WriteWholeFile(program, platform::ReadWholeFile(TAVELO_CLI));
  ASSERT_EQ(chmod(program.c_str(), 0755), 0);
  ASSERT_EQ(chmod(bin.c_str(), 0555), 0);
  const std::string board = dir.MakeDir("board") + "/";
  dir.Write("board/b.GTL", "G04*\n");
  const std::string config = dir.MakeDir("config"), home = dir.MakeDir("home");
  ASSERT_EQ(chmod(config.c_str(), 0777), 0);
  ASSERT_EQ(chmod(home.c_str(), 0777), 0);
  const std::string user =
      geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  auto run = [&](const std::string& environment, const std::string& args) {
    return Output("env " + environment + " ASAN_OPTIONS=detect_leaks=0 " + user +
                  Quote(program) + " " + args + " 2>&1");
  };
  struct Case { std::string environment, file; };
  const Case cases[] = {
      {"XDG_CONFIG_HOME=" + Quote(config) + " HOME=" + Quote(home),
       config + "/tavelo/tavelo.ini"},
      {"-u XDG_CONFIG_HOME HOME=" + Quote(home), home + "/.config/tavelo/tavelo.ini"},
  };
  for (const Case& c : cases) {
    run(c.environment, "--plan --save --layers GTL " + Quote(board));
    ASSERT_TRUE(platform::FileExists(c.file)) << c.environment;
    EXPECT_NE(platform::ReadWholeFile(c.file).find("GTL:TRUE"), std::string::npos);
    // The next run finds the saved choices there: the folder and the layer.
    const std::string plan = run(c.environment, "--plan");
    EXPECT_EQ(plan.rfind("GTL: b.GTL\nContect.txt: " + board + "Contect.txt\n", 0), 0u) << plan;
  }
  EXPECT_FALSE(platform::PathExists(bin + "tavelo.ini"));
}

}  // namespace
