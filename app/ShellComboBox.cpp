#include "app/ShellComboBox.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTreeView>

TShellComboBox::TShellComboBox(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
  setObjectName("edtPath");
  edit_->setObjectName("edtPathEdit");
  button_->setObjectName("edtPathButton");
  button_->setArrowType(Qt::DownArrow);
  button_->setFocusPolicy(Qt::NoFocus);
  setFocusProxy(edit_);
  setFocusPolicy(Qt::StrongFocus);

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath("/");

  // The drop-down is a popup window of its own, like a combo box's list.
  tree_ = new QTreeView(this);
  tree_->setWindowFlags(Qt::Popup);
  tree_->setObjectName("edtPathTree");
  tree_->setModel(model_);
  tree_->setRootIndex(model_->index("/"));
  for (int c = 1; c < model_->columnCount(); ++c) tree_->hideColumn(c);
  tree_->header()->hide();
  // The press that closes the popup outside it is not delivered again underneath, so a
  // second click on the arrow closes the drop-down instead of opening it once more.
  tree_->setAttribute(Qt::WA_NoMouseReplay);
  tree_->installEventFilter(this);
  edit_->installEventFilter(this);
  tree_->hide();

  connect(button_, &QToolButton::clicked, this, [this] {
    IsDroppedDown() ? HideDropDown() : ShowDropDown();
  });
  connect(tree_, &QTreeView::clicked, this, &TShellComboBox::ChooseFromTree);
}

QString TShellComboBox::Path() const {
  QString path = edit_->text();
  while (path.size() > 1 && path.endsWith('/')) path.chop(1);
  return path;
}

void TShellComboBox::SetPath(const QString& path) {
  QString shown = path;
  while (shown.size() > 1 && shown.endsWith('/')) shown.chop(1);
  edit_->setText(shown);
}

bool TShellComboBox::IsDroppedDown() const { return tree_->isVisible(); }

void TShellComboBox::ShowDropDown() {
  QModelIndex current = model_->index(Path().isEmpty() ? QString("/") : Path());
  if (current.isValid()) {
    tree_->setCurrentIndex(current);
    tree_->scrollTo(current);
  }
  QPoint below = mapToGlobal(QPoint(0, height()));
  tree_->setGeometry(below.x(), below.y(), width(), 300);
  tree_->show();
  tree_->setFocus();
  // Watches every press while open: the window system does not always hand a press
  // outside the popup to the popup (it may go straight to the window under the pointer).
  qApp->installEventFilter(this);
}

void TShellComboBox::HideDropDown() {
  qApp->removeEventFilter(this);
  tree_->hide();
}

bool TShellComboBox::PressOutsideDropDown(QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress || !IsDroppedDown()) return false;
  const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
  if (tree_->frameGeometry().contains(at)) return false;
  // As in any combo box, the press only closes the drop-down: it does not reach the
  // control under the pointer, and on the arrow it does not open the drop-down again.
  HideDropDown();
  return true;
}

void TShellComboBox::ChooseFromTree(const QModelIndex& index) {
  if (!index.isValid()) return;
  SetPath(model_->filePath(index));
  HideDropDown();
  edit_->setFocus();
}

namespace {

bool OpensOrClosesDropDown(const QKeyEvent& key) {
  const bool alt = key.modifiers() & Qt::AltModifier;
  return key.key() == Qt::Key_F4 || (alt && (key.key() == Qt::Key_Down || key.key() == Qt::Key_Up));
}

}  // namespace

bool TShellComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (PressOutsideDropDown(event)) return true;
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto& key = static_cast<const QKeyEvent&>(*event);
  if (watched == edit_ && OpensOrClosesDropDown(key)) {
    ShowDropDown();
    return true;
  }
  if (watched == tree_) {
    if (key.key() == Qt::Key_Escape || OpensOrClosesDropDown(key)) {
      HideDropDown();
      edit_->setFocus();
      return true;
    }
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
      ChooseFromTree(tree_->currentIndex());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

QSize TShellComboBox::sizeHint() const {
  QSize s = edit_->sizeHint();
  return QSize(s.width() + s.height(), s.height());
}

void TShellComboBox::resizeEvent(QResizeEvent* event) {
  const int h = event->size().height();
  const int w = event->size().width();
  edit_->setGeometry(0, 0, std::max(0, w - h), h);
  button_->setGeometry(std::max(0, w - h), 0, h, h);
}
