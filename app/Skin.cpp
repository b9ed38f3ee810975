#include "app/Skin.h"

#include <QStringList>

QString SkinStyleSheet() {
  // Glossy: each raised surface is a vertical gradient with a hard step at its middle, the
  // upper half lighter, as light falls on a curved surface.
  return QStringLiteral(R"(
QWidget#frmZOR {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f0f7ff, stop:1 #cfe3f8);
}
QGroupBox {
  border: 1px solid #86b2de;
  border-radius: 5px;
  margin-top: 7px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdff, stop:1 #e2effc);
}
QGroupBox::title {
  subcontrol-origin: margin;
  left: 9px;
  padding: 0 3px;
  color: #1c4a7a;
}
QPushButton {
  border: 1px solid #5e93c9;
  border-radius: 4px;
  color: #0f2f52;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
      stop:0 #ffffff, stop:0.48 #dcecfd, stop:0.52 #bcd8f5, stop:1 #d6e8fb);
}
QPushButton:hover {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
      stop:0 #ffffff, stop:0.48 #e6f3ff, stop:0.52 #c9e2fb, stop:1 #e3f1ff);
}
QPushButton:pressed {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a9cbef, stop:1 #d2e6fb);
}
QPushButton:focus { border: 1px solid #2f6fb0; }
QLineEdit, QPlainTextEdit, QTreeView {
  border: 1px solid #8cb5de;
  border-radius: 2px;
  background: #ffffff;
  selection-background-color: #7fb2e5;
}
QLineEdit:focus, QPlainTextEdit:focus { border: 1px solid #3b7cc0; }
QToolButton#edtPathButton {
  border: 1px solid #8cb5de;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
      stop:0 #ffffff, stop:0.48 #dcecfd, stop:0.52 #bcd8f5, stop:1 #d6e8fb);
}
QCheckBox, QLabel { background: transparent; color: #12324f; }
QCheckBox[mark="present"] { color: #16703a; }
QCheckBox[mark="recognised"] { color: #1d5fb4; }
QCheckBox[mark="renamed"] { color: #6b7f93; }
QCheckBox[mark="missing"] { color: #b3261e; }
QLabel:disabled { color: #8d9fb3; }
QCheckBox::indicator {
  width: 12px; height: 12px;
  border: 1px solid #6d9fd1; border-radius: 2px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #d9eafb);
}
QCheckBox::indicator:checked {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6fb0ee, stop:0.5 #3f8ad6, stop:1 #2a6fb8);
}
QScrollBar:vertical {
  width: 14px;
  background: #eaf3fd;
}
QScrollBar::handle:vertical {
  min-height: 20px;
  border: 1px solid #7faad6; border-radius: 3px;
  background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #ffffff, stop:0.5 #cfe3f8, stop:1 #b8d4f1);
}
)");
}

QFont SkinFont() {
  QFont font;
  font.setFamilies({"Microsoft YaHei", QString::fromUtf8("微软雅黑"), "WenQuanYi Micro Hei",
                    "Noto Sans CJK SC", "Noto Sans SC", "Droid Sans Fallback"});
  font.setPixelSize(12);
  return font;
}
