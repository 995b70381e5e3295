#include "widgets/qt/QtSystemColors.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace quillon::widgets::qt {
namespace {

int32_t FromQColor(const QColor& c) {
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

}  // namespace

int32_t QtSystemColors::Lookup(int index) const {
  if (!QApplication::instance()) return DefaultSystemColors().Lookup(index);
  const QPalette palette = QApplication::palette();
  switch (index) {
    case 5:  // window
      return FromQColor(palette.color(QPalette::Active, QPalette::Base));
    case 8:  // window text
      return FromQColor(palette.color(QPalette::Active, QPalette::Text));
    case 13:  // highlight
      return FromQColor(palette.color(QPalette::Active, QPalette::Highlight));
    case 14:  // highlight text
      return FromQColor(palette.color(QPalette::Active, QPalette::HighlightedText));
    case 15:  // button face
      return FromQColor(palette.color(QPalette::Active, QPalette::Button));
    case 16:  // button shadow
      return FromQColor(palette.color(QPalette::Active, QPalette::Mid));
    case 17:  // grey text
      return FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
    case 18:  // button text
      return FromQColor(palette.color(QPalette::Active, QPalette::ButtonText));
    case 20:  // button highlight
      return FromQColor(palette.color(QPalette::Active, QPalette::Light));
    case 21:  // 3D dark shadow
      return FromQColor(palette.color(QPalette::Active, QPalette::Shadow));
    default:
      return DefaultSystemColors().Lookup(index);
  }
}

const QtSystemColors& DesktopSystemColors() {
  static const QtSystemColors colors;
  return colors;
}

QColor ToQColor(int32_t rgb) {
  if (rgb < 0) return QColor();
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

}  // namespace quillon::widgets::qt
