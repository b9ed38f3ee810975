#include "app/testing/WindowFixture.h"

#include <QApplication>

#include "kztools/kzStrTools.h"
#include "platform/UiHooks.h"

namespace {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "app_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = nullptr;
  if (!app) {
    InitUpperTable();
    app = new QApplication(argc, argv);
  }
}

}  // namespace

void WindowTest::SetUp() {
  EnsureApplication();
  platform::Hooks() = {};
  platform::Hooks().messageBox = [this](const std::string& t) { messages.push_back(t); };
  platform::Hooks().errorBox = [this](const std::string& t) { errors.push_back(t); };
  platform::Hooks().processEvents = [] { QCoreApplication::processEvents(); };
}

void WindowTest::TearDown() { platform::Hooks() = {}; }

std::unique_ptr<TfrmZOR> WindowTest::OpenWindow() {
  auto w = std::make_unique<TfrmZOR>(dir / "tavelo");
  w->show();
  QApplication::processEvents();
  return w;
}

void WindowTest::CloseWindow(std::unique_ptr<TfrmZOR>& w) {
  w->close();
  w.reset();
}
