#include "app/GuiHooks.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <memory>

#include "platform/UiHooks.h"

QString ErrorBoxText(const QString& message) {
  QByteArray bytes = message.toUtf8();
  if (!bytes.isEmpty() && static_cast<unsigned char>(bytes.back()) > '.') return message + '.';
  return message;
}

namespace {

// Longest run of characters without a place where a line may break.
constexpr int kLongestUnbrokenRun = 24;
const QChar kZeroWidthSpace(0x200B);

// The label breaks lines at blanks only; a zero-width space after each path delimiter and
// inside any longer unbroken run gives it further places to break, invisibly.
QString Breakable(const QString& text) {
  QString out;
  int run = 0;
  for (QChar c : text) {
    out += c;
    run = c.isSpace() ? 0 : run + 1;
    if (c == '/' || c == '\\' || run >= kLongestUnbrokenRun) {
      out += kZeroWidthSpace;
      run = 0;
    }
  }
  return out;
}

}  // namespace

QMessageBox* MakeErrorBox(const QString& title, const QString& message) {
  auto* box = new QMessageBox(QMessageBox::Critical, title, Breakable(message), QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  return box;
}

void InstallGuiHooks(const QString& title) {
  platform::UiHooks& hooks = platform::Hooks();
  hooks.messageBox = [title](const std::string& text) {
    // No parent: the box is centred on the screen.
    QMessageBox box(QMessageBox::NoIcon, title, QString::fromUtf8(text), QMessageBox::Ok);
    box.exec();
  };
  hooks.errorBox = [title](const std::string& text) {
    std::unique_ptr<QMessageBox> box(MakeErrorBox(title, QString::fromUtf8(text)));
    box->exec();
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
