// A font description as the controls store it with their form; drawing code turns it into a
// real font.
#pragma once

#include <string>

namespace quillon::widgets {

struct Font {
  std::string Name = "Sans Serif";
  double Size = 8.25;  // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strikethrough = false;
  int Weight = 400;
  int Charset = 0;

  bool operator==(const Font&) const = default;
};

}  // namespace quillon::widgets
