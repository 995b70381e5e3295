// The character formatting a view draws text with (size, bold, italic, underline, struck
// through), read from run properties and the styles they inherit. Nothing here fails: what
// cannot be read keeps the value it had.
#pragma once

#include <pugixml.hpp>

namespace quillon::docx {

class Styles;

struct RunFormat {
  int halfPoints = 20;  // Word's own default: 10 points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool superscript = false;
  bool subscript = false;

  bool operator==(const RunFormat&) const = default;
};

// Applies onto format what run properties rPr (w:rPr, may be empty) set: w:sz, w:b, w:i, w:u,
// w:strike, w:vertAlign (superscript, subscript or baseline); what they leave unset keeps its
// value. An on/off property is on when
// present unless its w:val is "0", "false" or "off"; an underline of "none" is no underline.
void ApplyRunProperties(pugi::xml_node rPr, RunFormat& format);

// Returns the format of text with direct properties rPr (may be empty) in paragraph (w:p): the
// document defaults, then the paragraph's style (the default paragraph style when it names
// none) with the styles it is based on, then the run's character style (w:rStyle), then rPr.
RunFormat ResolveRunFormat(const Styles& styles, pugi::xml_node paragraph, pugi::xml_node rPr);

}  // namespace quillon::docx
