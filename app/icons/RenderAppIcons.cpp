// Build-time tool: writes the application icon as PNG files of the usual hicolor sizes,
// drawn by the same code that draws the window's icon, so the installed icon and the
// window's icon never differ. Usage: tavelo-render-icons <output folder> <side>...
// Writes <output folder>/<side>x<side>/apps/tavelo.png for each side.
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "app/AppIcon.h"

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <output folder> <side>...\n", argv[0]);
    return 64;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const int side = std::atoi(argv[i]);
    const QString folder = QString("%1/%2x%2/apps").arg(root).arg(side);
    if (side <= 0 || !QDir().mkpath(folder) ||
        !ApplicationIconImage(side).save(folder + "/tavelo.png", "PNG")) {
      std::fprintf(stderr, "cannot write the %s-pixel icon in %s\n", argv[i], argv[1]);
      return 1;
    }
  }
  return 0;
}
