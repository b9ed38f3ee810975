// Focus: where the settings file lives: the decision for every combination of a writable
// program folder, $XDG_CONFIG_HOME and $HOME, and the real check run as an unprivileged user.
#include "core/SettingsLocation.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/testing/TempDir.h"

namespace {

TEST(SettingsLocation, DecisionTable) {
  struct Case {
    bool writable;
    const char* xdg;
    const char* home;
    const char* file;
    const char* folderToMake;
  };
  const char* beside = "/opt/tavelo/bin/tavelo.ini";
  const Case cases[] = {
      {true, "/x/cfg", "/home/u", beside, ""},  // a build folder or any writable folder
      {true, "", "", beside, ""},
      {false, "/x/cfg", "/home/u", "/x/cfg/tavelo/tavelo.ini", "/x/cfg/tavelo"},
      {false, "/x/cfg/", "/home/u", "/x/cfg/tavelo/tavelo.ini", "/x/cfg/tavelo"},
      {false, "", "/home/u", "/home/u/.config/tavelo/tavelo.ini", "/home/u/.config/tavelo"},
      {false, "", "/home/u/", "/home/u/.config/tavelo/tavelo.ini", "/home/u/.config/tavelo"},
      // A relative $XDG_CONFIG_HOME is not to be used; $HOME decides.
      {false, "cfg", "/home/u", "/home/u/.config/tavelo/tavelo.ini", "/home/u/.config/tavelo"},
      // Nowhere else to go: beside the program, where saving then reports its file error.
      {false, "", "", beside, ""},
      {false, "cfg", "relative", beside, ""},
  };
  for (const Case& c : cases) {
    const TSettingsLocation l = ChooseSettingsLocation({beside, c.writable, c.xdg, c.home});
    EXPECT_EQ(l.file, c.file) << c.writable << " " << c.xdg << " " << c.home;
    EXPECT_EQ(l.folderToMake, c.folderToMake) << c.writable << " " << c.xdg << " " << c.home;
  }
}

// Runs job as the unprivileged user "nobody" when the tests run as root (for whom every
// folder is writable), in a child process; as anybody else, directly. Returns its text.
std::string AsUnprivilegedUser(const std::function<std::string()>& job) {
  if (geteuid() != 0) return job();
  int fds[2];
  if (pipe(fds) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    std::string text = "could not drop privileges";
    if (setgid(65534) == 0 && setuid(65534) == 0) text = job();
    if (write(fds[1], text.data(), text.size()) < 0) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  std::string text;
  char buffer[512];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return text;
}

TEST(SettingsLocation, RealCheckOfAWritableAndAReadOnlyProgramFolder) {
  platform::testing::TempDir dir;
  // Everything the unprivileged user must reach: the test folder may be entered, the
  // program folders are writable by all or by none, the configuration home by all.
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  const std::string open = dir.MakeDir("open"), closed = dir.MakeDir("closed");
  const std::string config = dir.MakeDir("config"), home = dir.MakeDir("home");
  for (const std::string& f : {open, config, home}) ASSERT_EQ(chmod(f.c_str(), 0777), 0);
  ASSERT_EQ(chmod(closed.c_str(), 0555), 0);
  const std::string savedXdg = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
  const std::string savedHome = getenv("HOME") ? getenv("HOME") : "";

  struct Case { std::string folder; const char* xdg; std::string expected; };
  const Case cases[] = {
      {open, "set", open + "/tavelo.ini"},
      {open, nullptr, open + "/tavelo.ini"},
      {closed, "set", config + "/tavelo/tavelo.ini"},
      {closed, nullptr, home + "/.config/tavelo/tavelo.ini"},
  };
  for (const Case& c : cases) {
    if (c.xdg) setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
    const std::string found = AsUnprivilegedUser([&] {
      const TSettingsLocation l = SettingsLocationFor(c.folder + "/tavelo.ini");
      PrepareSettingsFolder(l);
      const std::string made = platform::ExtractFilePath(l.file);
      return l.file + (platform::DirectoryExists(made) ? "" : " (folder missing)");
    });
    EXPECT_EQ(found, c.expected) << c.folder << (c.xdg ? " with" : " without") << " XDG";
  }
  if (savedXdg.empty()) unsetenv("XDG_CONFIG_HOME");
  else setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
