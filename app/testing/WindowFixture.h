// Test support for the window: one QApplication for the test program, recorders in place
// of the message and error boxes, and a window whose executable (and so whose settings
// file) lives in the test's temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ZOR_form.h"
#include "platform/testing/TempDir.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new window for the executable dir/"tavelo", shown (so that the memo is laid out).
  std::unique_ptr<TfrmZOR> OpenWindow();
  // Closes the window the way its close command does, then destroys it.
  void CloseWindow(std::unique_ptr<TfrmZOR>& w);

  platform::testing::TempDir dir;
  std::vector<std::string> messages;  // texts shown in the message box
  std::vector<std::string> errors;    // texts shown in the error box
};
