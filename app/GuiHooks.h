// Installs the platform's UI hooks in their Qt form: message box and error box captioned
// with the application title, processing of pending events, the wait cursor and the
// file-open dialog.
#pragma once

#include <QString>

void InstallGuiHooks(const QString& applicationTitle);

class QMessageBox;

// The error box, not yet shown: the message wraps within the box even where it has no
// blank (a long path), so the whole message can be read.
QMessageBox* MakeErrorBox(const QString& title, const QString& message);

// The standard error box's text: the message with a full stop appended when its last
// character sorts after the full stop.
QString ErrorBoxText(const QString& message);
