// The application icon: one 72 x 72 image with 32 bits per pixel, drawn at start-up in the
// window's light-blue glossy style (a board with copper tracks). The same drawing, at other
// sizes, gives the icon files that the installed menu entry shows.
#pragma once

#include <QIcon>
#include <QImage>

inline constexpr int kApplicationIconSide = 72;

// The icon drawn on a side x side image (the window's own is kApplicationIconSide).
QImage ApplicationIconImage(int side = kApplicationIconSide);
QIcon ApplicationIcon();
