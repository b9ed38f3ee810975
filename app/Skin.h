// The window's look: one light-blue glossy skin for every control, and the font (the
// designed "Microsoft YaHei" at 12 pixels, falling back to an installed CJK font).
#pragma once

#include <QFont>
#include <QString>

// The style sheet applied to the whole window.
QString SkinStyleSheet();
// The designed font, or the first installed CJK face when it is missing.
QFont SkinFont();
