#include "app/ShellComboBox.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
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
  tree_->hide();

  connect(button_, &QToolButton::clicked, this, [this] {
    IsDroppedDown() ? HideDropDown() : ShowDropDown();
  });
  connect(tree_, &QTreeView::clicked, this, &TShellComboBox::ChooseFromTree);
  connect(tree_, &QTreeView::activated, this, &TShellComboBox::ChooseFromTree);
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
}

void TShellComboBox::HideDropDown() { tree_->hide(); }

void TShellComboBox::ChooseFromTree(const QModelIndex& index) {
  if (!index.isValid()) return;
  SetPath(model_->filePath(index));
  HideDropDown();
  edit_->setFocus();
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
