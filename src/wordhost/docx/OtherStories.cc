#include "wordhost/docx/OtherStories.h"

#include <pugixml.hpp>

#include <string_view>

#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

bool Named(pugi::xml_node node, std::string_view name) {
  return std::string_view(node.name()) == name;
}

// Returns the node after node in document order within root, skipping node's children when
// descend is false; empty at the end. Iterative, so no nesting depth can exhaust the stack.
pugi::xml_node NextInOrder(pugi::xml_node node, pugi::xml_node root, bool descend) {
  if (descend && node.first_child()) return node.first_child();
  while (node && node != root) {
    if (node.next_sibling()) return node.next_sibling();
    node = node.parent();
  }
  return {};
}

// Collects the fields under root in document order. Complex fields are read from their
// marks (a nested field's text also counts for the field around it); simple ones from their
// instruction and text. Alternate content is read from its first choice only, as the
// fallback repeats it.
class FieldCollector {
 public:
  FieldCollector(std::string story, std::vector<OtherStoryField>& out)
      : story_(std::move(story)), out_(out) {}

  void Collect(pugi::xml_node root, bool onlyTextBoxes) {
    for (pugi::xml_node node = root.first_child(); node;) {
      bool descend = node.type() == pugi::node_element && !Named(node, "mc:Fallback");
      if (descend && onlyTextBoxes && Named(node, "w:txbxContent")) {
        Collect(node, false);  // a text box inside a text box is reached from here too
        descend = false;
      } else if (descend && !onlyTextBoxes) {
        Visit(node);
        if (Named(node, "w:fldSimple")) descend = false;
      }
      node = NextInOrder(node, root, descend);
    }
  }

 private:
  struct Open {
    std::string code, result;
    bool inResult = false;
  };

  void Visit(pugi::xml_node node) {
    if (Named(node, "w:fldChar")) {
      std::string_view type = node.attribute("w:fldCharType").value();
      if (type == "begin") {
        open_.emplace_back();
      } else if (type == "separate" && !open_.empty()) {
        open_.back().inResult = true;
      } else if (type == "end" && !open_.empty()) {
        out_.push_back({story_, std::move(open_.back().code), std::move(open_.back().result)});
        open_.pop_back();
      }
    } else if (Named(node, "w:instrText") && !open_.empty() && !open_.back().inResult) {
      open_.back().code += node.text().get();
    } else if (Named(node, "w:t")) {
      for (Open& field : open_) {
        if (field.inResult) field.result += node.text().get();
      }
    } else if (Named(node, "w:fldSimple")) {
      OtherStoryField field{story_, node.attribute("w:instr").value(), {}};
      for (pugi::xml_node inner = node.first_child(); inner;
           inner = NextInOrder(inner, node, true)) {
        if (Named(inner, "w:t")) field.result += inner.text().get();
      }
      out_.push_back(std::move(field));
    }
  }

  std::string story_;
  std::vector<OtherStoryField>& out_;
  std::vector<Open> open_;
};

// Returns the story a part holds, judged by its name, or "" for a part that holds none.
std::string StoryOfPart(std::string_view folder, std::string_view name) {
  if (name.size() <= folder.size() || name.substr(0, folder.size()) != folder) return {};
  std::string_view file = name.substr(folder.size());
  if (file.find('/') != std::string_view::npos || !file.ends_with(".xml")) return {};
  if (file.starts_with("header")) return "header";
  if (file.starts_with("footer")) return "footer";
  if (file == "footnotes.xml") return "footnote";
  if (file == "endnotes.xml") return "endnote";
  if (file == "comments.xml") return "comment";
  return {};
}

}  // namespace

std::vector<OtherStoryField> OtherStoryFields(const Document& document) {
  std::vector<OtherStoryField> fields;
  FieldCollector("text box", fields).Collect(document.xml().document_element(), true);

  const std::string& main = document.mainPart();
  std::string folder = main.substr(0, main.rfind('/') + 1);
  for (const std::string& name : document.package().Names()) {
    std::string story = StoryOfPart(folder, name);
    if (story.empty()) continue;
    std::string content = document.package().Read(name);
    pugi::xml_document xml;
    ParsePart(xml, name, content, pugi::parse_default);
    FieldCollector collector(story, fields);
    collector.Collect(xml.document_element(), false);
  }
  return fields;
}

}  // namespace quillon::docx
