// Anchored placement of child widgets: each child keeps its distance to the parent edges
// it is anchored to when the parent is resized (left and top when none are named), the
// way the window was designed: a child anchored left and right stretches, one anchored
// right only moves.
#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

class TAnchorKeeper : public QObject {
 public:
  // Watches parent's resizes; the parent's designed client size is its size now.
  explicit TAnchorKeeper(QWidget* parent);

  // Places child at its designed rectangle and keeps it anchored from now on.
  void Place(QWidget* child, const QRect& designed, unsigned anchors);

  // The rectangle a child designed at `designed` gets when its parent, designed at
  // `designedParent`, has the size `now`.
  static QRect Anchored(const QRect& designed, QSize designedParent, QSize now, unsigned anchors);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Item {
    QWidget* child;
    QRect designed;
    unsigned anchors;
  };
  QWidget* parent_;
  QSize designedSize_;
  std::vector<Item> items_;
};
