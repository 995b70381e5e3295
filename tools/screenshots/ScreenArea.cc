#include "ScreenArea.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <iostream>

namespace quillon::tools {

bool SaveScreenArea(const QString& dir, const QString& name, const QRect& area,
                    const char* program) {
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                    area.width(), area.height());
  const QString path = QDir(dir).filePath(name);
  if (!shot.save(path)) {
    std::cerr << program << ": cannot write " << path.toStdString() << "\n";
    return false;
  }
  std::cout << path.toStdString() << "\n";
  return true;
}

}  // namespace quillon::tools
