// Start-up: the upper-case table before anything else, then the framework, the UI hooks,
// the main window, and the message loop until the window closes.
#include <QApplication>

#include "app/AppIcon.h"
#include "app/GuiHooks.h"
#include "app/ZOR_form.h"
#include "kztools/kzStrTools.h"
#include "platform/Paths.h"

int main(int argc, char* argv[]) {
  InitUpperTable();
  QApplication app(argc, argv);
  app.setWindowIcon(ApplicationIcon());
  // The installed menu entry's name, so desktops match the window to its entry and icon.
  QGuiApplication::setDesktopFileName("io.github.tavelo.Tavelo");
  const std::string exe = platform::ExecutablePath();
  InstallGuiHooks(QString::fromStdString(platform::ApplicationTitle(exe)));
  TfrmZOR frmZOR(exe);
  frmZOR.show();
  return app.exec();
}
