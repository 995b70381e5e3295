// WordprocessingML element helpers shared by the document model: element names, on/off
// properties, element siblings and ancestors, the wrappers (content controls, custom XML)
// that may stand around block-level content and table rows and cells, and the text of w:t and
// w:instrText elements.
#pragma once

#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <string_view>

namespace quillon::docx {

// Returns whether node is an element of the WordprocessingML main namespace with that local
// name ("w:" prefix assumed, which the loader checks).
inline bool IsW(pugi::xml_node node, const char* local) {
  const char* name = node.name();
  return name[0] == 'w' && name[1] == ':' && std::strcmp(name + 2, local) == 0;
}

// Returns whether an on/off property element (w:pageBreakBefore and the like) is present and
// not switched off by its w:val.
bool IsOn(pugi::xml_node flag);

// Returns whether node is a container inside a paragraph whose runs belong to the paragraph's
// text (hyperlinks, smart tags, custom XML, insertions, content controls, direction spans).
bool IsInlineContainer(pugi::xml_node node);

// Return the first element child, the next and the previous element sibling of node; empty
// when there is none.
pugi::xml_node FirstElement(pugi::xml_node node);
pugi::xml_node NextElement(pugi::xml_node node);
pugi::xml_node PreviousElement(pugi::xml_node node);

// Returns the nearest proper ancestor of node named w:local, or an empty node.
pugi::xml_node NearestAncestor(pugi::xml_node node, const char* local);

// Calls fn(child) for each child element of container named w:local, in document order,
// looking through the content controls (w:sdt) and custom XML elements that may wrap them.
template <typename Fn>
void ForEachThroughWrappers(pugi::xml_node container, const char* local, Fn&& fn) {
  for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    if (IsW(child, local)) {
      fn(child);
    } else if (IsW(child, "sdt")) {
      ForEachThroughWrappers(child.child("w:sdtContent"), local, fn);
    } else if (IsW(child, "customXml")) {
      ForEachThroughWrappers(child, local, fn);
    }
  }
}

// Returns whether text has blanks that a reader may drop: at either end, or two in a row.
bool HasLooseBlanks(std::string_view text);
// Sets the text of a w:t or w:instrText element. Loose blanks (HasLooseBlanks) are kept by
// marking the element xml:space="preserve".
void SetElementText(pugi::xml_node element, const std::string& text);

}  // namespace quillon::docx
