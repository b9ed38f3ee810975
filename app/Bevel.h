// TBevel: a sunken horizontal line drawn along the bottom edge of its box, as a separator.
#pragma once

#include <QWidget>

class TBevel : public QWidget {
 public:
  explicit TBevel(QWidget* parent = nullptr) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};
