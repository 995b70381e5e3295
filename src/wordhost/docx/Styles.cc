#include "wordhost/docx/Styles.h"

#include <string_view>

#include "base/Text.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

constexpr const char* kEmptyStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>";

// Word's own definition of the built-in "Table Grid" style.
constexpr const char* kTableGrid =
    "<w:style w:type=\"table\" w:styleId=\"TableGrid\">"
    "<w:name w:val=\"Table Grid\"/><w:basedOn w:val=\"TableNormal\"/>"
    "<w:uiPriority w:val=\"39\"/><w:rsid w:val=\"00000000\"/>"
    "<w:pPr><w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr>"
    "<w:tblPr><w:tblBorders>"
    "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
    "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
    "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
    "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
    "<w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
    "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
    "</w:tblBorders></w:tblPr></w:style>";

}  // namespace

Styles::Styles(const std::string& name, const std::string& content) {
  ParsePart(xml_, name, content.empty() ? std::string(kEmptyStyles) : content,
            kTextPartParseOptions);
  root_ = xml_.child("w:styles");
  if (!root_) throw DocxError(name + " has no w:styles element");
  modified_ = content.empty();
}

std::string Styles::NameOf(const std::string& id) const {
  pugi::xml_node style = root_.find_child_by_attribute("w:style", "w:styleId", id.c_str());
  std::string name = style.child("w:name").attribute("w:val").value();
  if (name.empty()) return id;
  // Word shows the built-in names capitalised ("Table Grid"), whatever the file stores.
  if (name == "table grid") return "Table Grid";
  if (name == "Normal Table") return "Table Normal";
  return name;
}

int Styles::FontHalfPoints(const std::string& paragraphStyleId) const {
  pugi::xml_node style =
      paragraphStyleId.empty()
          ? root_.find_child_by_attribute("w:style", "w:default", "1")
          : root_.find_child_by_attribute("w:style", "w:styleId", paragraphStyleId.c_str());
  // A bounded walk: a loop of basedOn links ends here rather than hanging.
  for (int depth = 0; style && depth < 32; ++depth) {
    int size = style.child("w:rPr").child("w:sz").attribute("w:val").as_int(0);
    if (size > 0) return size;
    std::string basedOn = style.child("w:basedOn").attribute("w:val").value();
    if (basedOn.empty()) break;
    style = root_.find_child_by_attribute("w:style", "w:styleId", basedOn.c_str());
  }
  int size = root_.child("w:docDefaults")
                 .child("w:rPrDefault")
                 .child("w:rPr")
                 .child("w:sz")
                 .attribute("w:val")
                 .as_int(0);
  return size > 0 ? size : 20;
}

void Styles::ApplyDefaultRunFormat(RunFormat& format) const {
  ApplyRunProperties(root_.child("w:docDefaults").child("w:rPrDefault").child("w:rPr"), format);
}

pugi::xml_node Styles::StyleOrDefault(const std::string& styleId) const {
  if (!styleId.empty())
    return root_.find_child_by_attribute("w:style", "w:styleId", styleId.c_str());
  for (pugi::xml_node candidate : root_.children("w:style")) {
    if (std::string_view(candidate.attribute("w:type").value()) == "paragraph" &&
        candidate.attribute("w:default").as_bool())
      return candidate;
  }
  return {};
}

std::string Styles::ParagraphJustification(const std::string& paragraphStyleId) const {
  pugi::xml_node style = StyleOrDefault(paragraphStyleId);
  for (int depth = 0; style && depth < 32; ++depth) {
    if (pugi::xml_node jc = style.child("w:pPr").child("w:jc"))
      return jc.attribute("w:val").value();
    std::string basedOn = style.child("w:basedOn").attribute("w:val").value();
    if (basedOn.empty()) break;
    style = root_.find_child_by_attribute("w:style", "w:styleId", basedOn.c_str());
  }
  return {};
}

void Styles::ApplyStyleRunFormat(const std::string& styleId, RunFormat& format) const {
  pugi::xml_node style = StyleOrDefault(styleId);
  // The chain of bases, bounded so that a loop of basedOn links ends.
  pugi::xml_node chain[32];
  int depth = 0;
  for (; style && depth < 32; ++depth) {
    chain[depth] = style;
    std::string basedOn = style.child("w:basedOn").attribute("w:val").value();
    if (basedOn.empty()) {
      ++depth;
      break;
    }
    style = root_.find_child_by_attribute("w:style", "w:styleId", basedOn.c_str());
  }
  while (depth > 0) ApplyRunProperties(chain[--depth].child("w:rPr"), format);
}

pugi::xml_node Styles::ParagraphNumbering(const std::string& paragraphStyleId) const {
  if (paragraphStyleId.empty()) return {};
  pugi::xml_node style =
      root_.find_child_by_attribute("w:style", "w:styleId", paragraphStyleId.c_str());
  for (int depth = 0; style && depth < 32; ++depth) {
    if (pugi::xml_node numbering = style.child("w:pPr").child("w:numPr")) return numbering;
    std::string basedOn = style.child("w:basedOn").attribute("w:val").value();
    if (basedOn.empty()) break;
    style = root_.find_child_by_attribute("w:style", "w:styleId", basedOn.c_str());
  }
  return {};
}

std::string Styles::TableStyleId(const std::string& name) const {
  for (pugi::xml_node style : root_.children("w:style")) {
    if (std::string_view(style.attribute("w:type").value()) != "table") continue;
    if (CompareTextIgnoreCase(style.child("w:name").attribute("w:val").value(), name) == 0) {
      return style.attribute("w:styleId").value();
    }
  }
  return {};
}

std::string Styles::EnsureTableGrid() {
  std::string id = TableStyleId("Table Grid");
  if (!id.empty()) return id;
  pugi::xml_document fragment;
  fragment.load_string(kTableGrid);
  pugi::xml_node style = root_.append_copy(fragment.first_child());
  if (!root_.find_child_by_attribute("w:style", "w:styleId", "TableNormal")) {
    style.remove_child("w:basedOn");
  }
  modified_ = true;
  return "TableGrid";
}

DeflatedPart Styles::Serialize() const {
  return SerializeDeflated(xml_);
}

}  // namespace quillon::docx
