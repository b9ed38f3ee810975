// The application icon: one 72 x 72 image with 32 bits per pixel, drawn at start-up in the
// window's light-blue glossy style (a board with copper tracks), so no image file ships.
#pragma once

#include <QIcon>
#include <QImage>

QImage ApplicationIconImage();
QIcon ApplicationIcon();
