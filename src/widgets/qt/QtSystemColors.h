// The desktop's colours as system colours: the Qt palette's roles for the indexes that have
// one, the classic defaults for the rest. Reads the palette at each look-up, so that a theme
// change shows once the controls update their colours.
#pragma once

#include "widgets/Color.h"

class QColor;

namespace quillon::widgets::qt {

class QtSystemColors : public SystemColors {
 public:
  int32_t Lookup(int index) const override;
};

// The process-wide instance.
const QtSystemColors& DesktopSystemColors();

// Converts an RGB value as colours hold it (0x00BBGGRR) to a QColor.
QColor ToQColor(int32_t rgb);

}  // namespace quillon::widgets::qt
