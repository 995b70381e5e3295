#include "widgets/Color.h"

#include <array>
#include <cstddef>

namespace quillon::widgets {
namespace {

constexpr int32_t Rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}

class ClassicSystemColors : public SystemColors {
 public:
  int32_t Lookup(int index) const override {
    static constexpr std::array<int32_t, 31> kColors = {
        Rgb(200, 200, 200),  // 0 scroll bar
        Rgb(0, 0, 0),        // 1 desktop
        Rgb(153, 180, 209),  // 2 active caption
        Rgb(191, 205, 219),  // 3 inactive caption
        Rgb(240, 240, 240),  // 4 menu
        Rgb(255, 255, 255),  // 5 window
        Rgb(100, 100, 100),  // 6 window frame
        Rgb(0, 0, 0),        // 7 menu text
        Rgb(0, 0, 0),        // 8 window text
        Rgb(0, 0, 0),        // 9 caption text
        Rgb(180, 180, 180),  // 10 active border
        Rgb(244, 247, 252),  // 11 inactive border
        Rgb(171, 171, 171),  // 12 application workspace
        Rgb(0, 120, 215),    // 13 highlight
        Rgb(255, 255, 255),  // 14 highlight text
        Rgb(240, 240, 240),  // 15 button face
        Rgb(160, 160, 160),  // 16 button shadow
        Rgb(109, 109, 109),  // 17 grey text
        Rgb(0, 0, 0),        // 18 button text
        Rgb(0, 0, 0),        // 19 inactive caption text
        Rgb(255, 255, 255),  // 20 button highlight
        Rgb(105, 105, 105),  // 21 3D dark shadow
        Rgb(227, 227, 227),  // 22 3D light
        Rgb(0, 0, 0),        // 23 tooltip text
        Rgb(255, 255, 225),  // 24 tooltip background
        Rgb(0, 0, 0),        // 25 (unused)
        Rgb(0, 102, 204),    // 26 hot light
        Rgb(185, 209, 234),  // 27 gradient active caption
        Rgb(215, 228, 242),  // 28 gradient inactive caption
        Rgb(0, 120, 215),    // 29 menu highlight
        Rgb(240, 240, 240),  // 30 menu bar
    };
    if (index < 0 || index >= static_cast<int>(kColors.size())) return -1;
    return kColors[static_cast<size_t>(index)];
  }
};

}  // namespace

const SystemColors& DefaultSystemColors() {
  static const ClassicSystemColors colors;
  return colors;
}

int32_t TranslateColor(OleColor color, const SystemColors& system) {
  switch (color >> 24) {
    case 0x00:  // plain RGB
    case 0x02:  // palette-relative RGB: without a palette, the RGB itself
      return static_cast<int32_t>(color & 0xFFFFFF);
    case 0x80:
      if ((color & 0xFFFF00) != 0) return -1;
      return system.Lookup(static_cast<int>(color & 0xFF));
    default:  // palette indexes need a palette, which controls do not use
      return -1;
  }
}

void Color::SetColor(OleColor color, bool wantBrush, bool wantPen) {
  Dispose();
  oleColor_ = color;
  rgbColor_ = TranslateColor(color, *system_);
  if (rgbColor_ == -1) return;
  gotBrush_ = wantBrush;
  gotPen_ = wantPen;
}

void Color::Update() {
  rgbColor_ = TranslateColor(oleColor_, *system_);
  if (rgbColor_ == -1) Dispose();
}

void Color::Dispose() {
  gotBrush_ = false;
  gotPen_ = false;
}

}  // namespace quillon::widgets
