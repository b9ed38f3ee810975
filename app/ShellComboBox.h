// TShellComboBox: the folder combo box. Its edit part always shows the full path of the
// chosen folder (a user may also type or paste one); its drop-down is a tree of the file
// system's folders, rooted at "/", in which a click or Enter chooses a folder. Like any
// combo box it opens with F4 or Alt+Down and closes without a choice on Escape, a click
// outside it or a second click on its arrow.
#pragma once

#include <QLineEdit>
#include <QString>
#include <QToolButton>
#include <QWidget>

class QFileSystemModel;
class QTreeView;

class TShellComboBox : public QWidget {
  Q_OBJECT

 public:
  explicit TShellComboBox(QWidget* parent = nullptr);

  // The file-system path of the chosen folder, without a trailing "/" except for the root
  // "/" itself; empty when no folder is chosen.
  QString Path() const;
  // Chooses the folder at path (shown as given, even when it no longer exists).
  void SetPath(const QString& path);

  QLineEdit* Edit() const { return edit_; }
  QTreeView* DropDown() const { return tree_; }
  bool IsDroppedDown() const;
  void ShowDropDown();
  void HideDropDown();

  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseFromTree(const QModelIndex& index);
  // Closes the drop-down for a press outside it; true when the press is to be swallowed.
  bool PressOutsideDropDown(QEvent* event);

  QLineEdit* edit_;
  QToolButton* button_;
  QFileSystemModel* model_ = nullptr;
  QTreeView* tree_ = nullptr;
};
