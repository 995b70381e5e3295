#include "wordhost/docx/RunFormat.h"

#include <string>
#include <string_view>

#include "wordhost/docx/Styles.h"

namespace quillon::docx {
namespace {

// Reads an on/off property; an absent one leaves value as it was.
void ReadToggle(pugi::xml_node property, bool& value) {
  if (!property) return;
  const std::string_view val = property.attribute("w:val").value();
  value = !(val == "0" || val == "false" || val == "off");
}

}  // namespace

void ApplyRunProperties(pugi::xml_node rPr, RunFormat& format) {
  if (!rPr) return;
  if (const int size = rPr.child("w:sz").attribute("w:val").as_int(0); size > 0)
    format.halfPoints = size;
  ReadToggle(rPr.child("w:b"), format.bold);
  ReadToggle(rPr.child("w:i"), format.italic);
  ReadToggle(rPr.child("w:strike"), format.strike);
  if (pugi::xml_node underline = rPr.child("w:u")) {
    format.underline = std::string_view(underline.attribute("w:val").value()) != "none";
  }
  if (pugi::xml_node align = rPr.child("w:vertAlign")) {
    const std::string_view value = align.attribute("w:val").value();
    format.superscript = value == "superscript";
    format.subscript = value == "subscript";
  }
}

RunFormat ResolveRunFormat(const Styles& styles, pugi::xml_node paragraph, pugi::xml_node rPr) {
  RunFormat format;
  styles.ApplyDefaultRunFormat(format);
  styles.ApplyStyleRunFormat(paragraph.child("w:pPr").child("w:pStyle").attribute("w:val").value(),
                             format);
  const std::string characterStyle = rPr.child("w:rStyle").attribute("w:val").value();
  if (!characterStyle.empty()) styles.ApplyStyleRunFormat(characterStyle, format);
  ApplyRunProperties(rPr, format);
  return format;
}

}  // namespace quillon::docx
