#include "wordhost/docx/FieldRuns.h"

#include <functional>

#include "base/Utf8.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/Wml.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {

FieldRunPrototypes::FieldRunPrototypes(pugi::xml_document& xml)
    : holder_(xml.append_child(pugi::node_element)) {}

FieldRunPrototypes::~FieldRunPrototypes() {
  holder_.parent().remove_child(holder_);
}

size_t FieldRunPrototypes::KeyHash::operator()(
    const std::pair<std::string_view, std::string_view>& key) const {
  const size_t code = std::hash<std::string_view>()(key.first);
  return code ^ (std::hash<std::string_view>()(key.second) + 0x9E3779B97F4A7C15ull + (code << 6) +
                 (code >> 2));
}

const FieldPrototype& FieldRunPrototypes::For(std::string_view code, std::string_view result) {
  auto [slot, added] = prototypes_.try_emplace({code, result});
  if (!added) return slot->second;
  xml_.assign("<g><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText");
  // A code between its blanks always has loose ones.
  xml_.append(" xml:space=\"preserve\"> ");
  AppendText(code);
  xml_.append(" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>");
  if (!result.empty()) {
    xml_.append("<w:r><w:t");
    xml_.append(HasLooseBlanks(result) ? " xml:space=\"preserve\">" : ">");
    AppendText(result);
    xml_.append("</w:t></w:r>");
  }
  xml_.append("<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></g>");
  if (!holder_.append_buffer(xml_.data(), xml_.size(), kTextPartParseOptions,
                             pugi::encoding_utf8)) {
    prototypes_.erase(slot);
    throw DocxError("cannot write a field");
  }
  FieldPrototype& prototype = slot->second;
  prototype.runs = holder_.last_child();
  prototype.codeLength = static_cast<long>(CodePointCount(code)) + 2;
  prototype.resultLength = static_cast<long>(CodePointCount(result));
  return prototype;
}

void FieldRunPrototypes::AppendText(std::string_view text) {
  // Escaped so that it parses back to itself: carriage returns are spelt out, which parsing
  // would otherwise turn into line feeds.
  for (char c : text) {
    switch (c) {
      case '&':
        xml_.append("&amp;");
        break;
      case '<':
        xml_.append("&lt;");
        break;
      case '>':
        xml_.append("&gt;");
        break;
      case '\r':
        xml_.append("&#13;");
        break;
      default:
        xml_.push_back(c);
    }
  }
}

FieldRuns AppendFieldRuns(CutPoint& cut, pugi::xml_node format, const FieldPrototype& prototype) {
  FieldRuns runs;
  int index = 0;
  for (pugi::xml_node run : prototype.runs.children()) {
    pugi::xml_node copy = StoryEditor::NewRun(cut, format, run);
    if (index++ == 2) runs.separate = copy.last_child();
    if (!runs.firstRun) runs.firstRun = copy;
    runs.lastRun = copy;
  }
  runs.begin = runs.firstRun.last_child();
  runs.end = runs.lastRun.last_child();
  return runs;
}

}  // namespace quillon::docx
