#include "app/Anchors.h"

#include <QEvent>

TAnchorKeeper::TAnchorKeeper(QWidget* parent)
    : QObject(parent), parent_(parent), designedSize_(parent->size()) {
  parent->installEventFilter(this);
}

void TAnchorKeeper::Place(QWidget* child, const QRect& designed, unsigned anchors) {
  items_.push_back({child, designed, anchors});
  child->setGeometry(Anchored(designed, designedSize_, parent_->size(), anchors));
}

QRect TAnchorKeeper::Anchored(const QRect& designed, QSize designedParent, QSize now,
                              unsigned anchors) {
  const int dw = now.width() - designedParent.width();
  const int dh = now.height() - designedParent.height();
  int left = designed.x(), top = designed.y(), width = designed.width(), height = designed.height();
  // Horizontal: anchored right keeps the right distance; with left as well it stretches.
  if (anchors & akRight) {
    if (anchors & akLeft) width += dw;
    else left += dw;
  }
  if (anchors & akBottom) {
    if (anchors & akTop) height += dh;
    else top += dh;
  }
  return QRect(left, top, std::max(0, width), std::max(0, height));
}

bool TAnchorKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize) {
    for (const Item& item : items_)
      item.child->setGeometry(Anchored(item.designed, designedSize_, parent_->size(), item.anchors));
  }
  return QObject::eventFilter(watched, event);
}
