#include "app/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QImage ApplicationIconImage(int side) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn in the coordinates of the 72-pixel icon, scaled to the side asked for.
  const qreal scale = qreal(side) / kApplicationIconSide;
  p.scale(scale, scale);
  // The board: a rounded square, lighter above its middle like the window's buttons.
  QLinearGradient gloss(0, 4, 0, 68);
  gloss.setColorAt(0.0, QColor("#e9f4ff"));
  gloss.setColorAt(0.49, QColor("#a9cdf2"));
  gloss.setColorAt(0.51, QColor("#6fa6df"));
  gloss.setColorAt(1.0, QColor("#8dbbea"));
  p.setPen(QPen(QColor("#2f6fb0"), 2));
  p.setBrush(gloss);
  p.drawRoundedRect(QRectF(4, 4, 64, 64), 10, 10);
  // Copper tracks between pads.
  p.setPen(QPen(QColor("#c98a2b"), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPainterPath tracks;
  tracks.moveTo(18, 22);
  tracks.lineTo(36, 22);
  tracks.lineTo(50, 36);
  tracks.moveTo(18, 50);
  tracks.lineTo(54, 50);
  p.drawPath(tracks);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#f2c14e"));
  for (QPointF pad : {QPointF(18, 22), QPointF(50, 36), QPointF(18, 50), QPointF(54, 50)})
    p.drawEllipse(pad, 5, 5);
  return image;
}

QIcon ApplicationIcon() { return QIcon(QPixmap::fromImage(ApplicationIconImage())); }
