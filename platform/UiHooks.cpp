#include "platform/UiHooks.h"

namespace platform {

UiHooks& Hooks() {
  static UiHooks hooks;
  return hooks;
}

void ShowMessage(const std::string& text) {
  if (Hooks().messageBox) Hooks().messageBox(text);
}

void ShowError(const std::string& text) {
  if (Hooks().errorBox) Hooks().errorBox(text);
}

void ProcessEvents() {
  if (Hooks().processEvents) Hooks().processEvents();
}

void SetWaitCursor(bool busy) {
  if (Hooks().waitCursor) Hooks().waitCursor(busy);
}

std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& filter,
                                          const std::string& initialFolder) {
  if (Hooks().openFileDialog) return Hooks().openFileDialog(title, filter, initialFolder);
  return std::nullopt;
}

}  // namespace platform
