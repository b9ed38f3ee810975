// Test support for the Windows window: recorders in place of the message and error boxes,
// and a window (not shown) whose executable, and so whose settings file, lives in the test's
// temporary folder, with a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/UiHooks.h"
#include "platform/testing/TempDir.h"
#include "winapp/WinHooks.h"
#include "winapp/ZOR_form.h"

namespace winapp::testing {

inline constexpr platform::LocalDateTime kMinute{2024, 1, 2, 15, 7, 0};

// Records what the window shows instead of opening boxes.
struct Recorder {
  std::vector<std::string> messages, errors;
  std::function<void()> duringRun;  // called when the core processes pending events
  int eventCalls = 0;

  void Install() {
    platform::UiHooks& hooks = platform::Hooks();
    hooks = platform::UiHooks{};
    hooks.messageBox = [this](const std::string& text) { messages.push_back(text); };
    hooks.errorBox = [this](const std::string& text) { errors.push_back(text); };
    hooks.processEvents = [this] {
      ++eventCalls;
      if (duringRun) duringRun();
    };
  }
  ~Recorder() { platform::Hooks() = platform::UiHooks{}; }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { recorder.Install(); }

  TfrmZOR& Open() {
    frm = std::make_unique<TfrmZOR>(dir / "tavelo.exe", TfrmZOR::THooks::Keep);
    frm->SetClock([] { return kMinute; });
    frm->Create();
    return *frm;
  }
  // Closes the window as its title-bar command does and lets the messages run.
  void CloseByTitleBar() {
    SendMessageW(frm->Handle(), WM_CLOSE, 0, 0);
    ProcessPendingMessages(nullptr);
    DrainQuit();
  }
  static void DrainQuit() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  std::string Board() {
    const std::string board = dir.MakeDir("board");
    dir.Write("board/amp.GTL", "G04 top*\r\nM02*\r\n");
    dir.Write("board/amp.TXT", "M48\r\nT1C0.8\r\n%\r\nM30\r\n");
    dir.Write("board/README.txt", "read me\r\n");
    return board;
  }

  platform::testing::TempDir dir;
  Recorder recorder;
  std::unique_ptr<TfrmZOR> frm;
};

}  // namespace winapp::testing
