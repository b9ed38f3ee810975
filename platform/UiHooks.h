// Hooks through which the core reaches the window: message box, error box, processing of
// pending window events, the wait cursor and the file-open dialog. The window installs
// them at start-up; without a window they do nothing, and tests install recorders.
// Texts are UTF-8 (the file system's and the window's encoding).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace platform {

struct UiHooks {
  std::function<void(const std::string& text)> messageBox;  // modal, OK button, no icon
  std::function<void(const std::string& text)> errorBox;    // modal, error icon
  std::function<void()> processEvents;
  std::function<void(bool busy)> waitCursor;
  // Returns the chosen file, or nothing when the user cancels.
  std::function<std::optional<std::string>(const std::string& title, const std::string& filter,
                                           const std::string& initialFolder)>
      openFileDialog;
};

// The installed hooks (one set for the process).
UiHooks& Hooks();

void ShowMessage(const std::string& text);
void ShowError(const std::string& text);
void ProcessEvents();
void SetWaitCursor(bool busy);
std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& filter,
                                          const std::string& initialFolder);

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  WaitCursor() { SetWaitCursor(true); }
  ~WaitCursor() { SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace platform
