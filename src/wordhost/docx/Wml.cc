#include "wordhost/docx/Wml.h"

#include <string_view>

namespace quillon::docx {

bool IsOn(pugi::xml_node flag) {
  if (!flag) return false;
  std::string_view value = flag.attribute("w:val").value();
  return value != "0" && value != "false" && value != "off";
}

bool IsInlineContainer(pugi::xml_node node) {
  return IsW(node, "hyperlink") || IsW(node, "smartTag") || IsW(node, "customXml") ||
         IsW(node, "ins") || IsW(node, "moveTo") || IsW(node, "sdt") || IsW(node, "sdtContent") ||
         IsW(node, "dir") || IsW(node, "bdo");
}

pugi::xml_node FirstElement(pugi::xml_node node) {
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) return child;
  }
  return {};
}

pugi::xml_node NextElement(pugi::xml_node node) {
  for (pugi::xml_node n = node.next_sibling(); n; n = n.next_sibling()) {
    if (n.type() == pugi::node_element) return n;
  }
  return {};
}

pugi::xml_node PreviousElement(pugi::xml_node node) {
  for (pugi::xml_node n = node.previous_sibling(); n; n = n.previous_sibling()) {
    if (n.type() == pugi::node_element) return n;
  }
  return {};
}

pugi::xml_node NearestAncestor(pugi::xml_node node, const char* local) {
  for (pugi::xml_node n = node.parent(); n; n = n.parent()) {
    if (IsW(n, local)) return n;
  }
  return {};
}

bool HasLooseBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  bool loose = !text.empty() && (blank(text.front()) || blank(text.back()));
  for (size_t i = 1; !loose && i < text.size(); ++i) loose = blank(text[i]) && blank(text[i - 1]);
  return loose;
}

void SetElementText(pugi::xml_node element, const std::string& text) {
  element.text().set(text.c_str());
  if (!HasLooseBlanks(text)) return;
  pugi::xml_attribute space = element.attribute("xml:space");
  if (!space) space = element.append_attribute("xml:space");
  space.set_value("preserve");
}

}  // namespace quillon::docx
