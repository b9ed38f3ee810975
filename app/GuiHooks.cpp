#include "app/GuiHooks.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/UiHooks.h"

QString ErrorBoxText(const QString& message) {
  QByteArray bytes = message.toUtf8();
  if (!bytes.isEmpty() && static_cast<unsigned char>(bytes.back()) > '.') return message + '.';
  return message;
}

void InstallGuiHooks(const QString& title) {
  platform::UiHooks& hooks = platform::Hooks();
  hooks.messageBox = [title](const std::string& text) {
    // No parent: the box is centred on the screen.
    QMessageBox box(QMessageBox::NoIcon, title, QString::fromUtf8(text), QMessageBox::Ok);
    box.exec();
  };
  hooks.errorBox = [title](const std::string& text) {
    QMessageBox box(QMessageBox::Critical, title, QString::fromUtf8(text), QMessageBox::Ok);
    box.exec();
  };
  hooks.processEvents = [] { QCoreApplication::processEvents(); };
  hooks.waitCursor = [](bool busy) {
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
  };
  hooks.openFileDialog = [](const std::string& title, const std::string& filter,
                            const std::string& folder) -> std::optional<std::string> {
    // The filter comes as "text|pattern|text|pattern"; Qt wants "text (pattern);;...".
    QStringList parts = QString::fromUtf8(filter).split('|');
    QStringList qtFilters;
    for (int i = 0; i + 1 < parts.size(); i += 2) qtFilters << parts[i];
    QString chosen = QFileDialog::getOpenFileName(nullptr, QString::fromUtf8(title),
                                                  QString::fromUtf8(folder), qtFilters.join(";;"));
    if (chosen.isEmpty()) return std::nullopt;
    return std::string(QFile::encodeName(chosen).constData());
  };
}
