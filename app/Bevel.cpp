#include "app/Bevel.h"

#include <QPainter>

void TBevel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int y = height() - 2;
  p.setPen(QColor("#8aa9c8"));
  p.drawLine(0, y, width() - 1, y);
  p.setPen(QColor("#ffffff"));
  p.drawLine(0, y + 1, width() - 1, y + 1);
}
