#include "wordhost/docx/LayoutCopy.h"

#include <pugixml.hpp>

#include <cstring>
#include <map>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/Wml.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

// Bookmark ids well above those a word processor gives out.
constexpr long kFirstBookmarkId = 1'900'000'000;

class Flattener {
 public:
  explicit Flattener(const std::vector<LayoutBookmark>& bookmarks) {
    for (const LayoutBookmark& b : bookmarks) names_.emplace(b.field, b.name);
  }

  size_t fieldCount() const { return next_; }
  // The last bookmark placed, in document order (null when none was).
  pugi::xml_node lastBookmark() const { return lastBookmark_; }
  bool paired() const { return open_.empty(); }

  void Walk(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child;) {
      pugi::xml_node next = child.next_sibling();
      Visit(child);
      child = next;
    }
  }

 private:
  struct OpenField {
    size_t index;
    bool inCode;
  };

  bool InCode() const {
    for (const OpenField& f : open_) {
      if (f.inCode) return true;
    }
    return false;
  }

  // Puts the bookmark of field index (if asked for) at the place of mark, an element inside a
  // run: before the run when nothing shown precedes mark in it, else after it.
  void PlaceBookmark(size_t index, pugi::xml_node mark) {
    auto found = names_.find(index);
    if (found == names_.end()) return;
    pugi::xml_node run = mark.parent();
    bool before = IsW(run, "r");
    if (before) {
      for (pugi::xml_node c = run.first_child(); c && c != mark; c = c.next_sibling()) {
        if (!IsW(c, "rPr") && !IsW(c, "fldChar") && !IsW(c, "instrText")) before = false;
      }
    } else {
      run = mark;  // a simple field: after it
    }
    pugi::xml_node parent = run.parent();
    std::string id = std::to_string(kFirstBookmarkId + static_cast<long>(found->first));
    pugi::xml_node start = before ? parent.insert_child_before("w:bookmarkStart", run)
                                  : parent.insert_child_after("w:bookmarkStart", run);
    start.append_attribute("w:id") = id.c_str();
    start.append_attribute("w:name") = found->second.c_str();
    pugi::xml_node end = parent.insert_child_after("w:bookmarkEnd", start);
    end.append_attribute("w:id") = id.c_str();
    lastBookmark_ = start;
  }

  void Visit(pugi::xml_node node) {
    if (node.type() != pugi::node_element) return;
    if (IsW(node, "fldChar")) {
      std::string type = node.attribute("w:fldCharType").value();
      if (type == "begin") {
        open_.push_back({next_++, true});
      } else if (type == "separate" && !open_.empty()) {
        open_.back().inCode = false;
      } else if (type == "end" && !open_.empty()) {
        size_t index = open_.back().index;
        open_.pop_back();
        if (!InCode()) PlaceBookmark(index, node);
      }
      node.parent().remove_child(node);
      return;
    }
    if (IsW(node, "fldSimple")) {
      size_t index = next_++;
      Walk(node);
      pugi::xml_node parent = node.parent();
      if (!InCode()) {
        PlaceBookmark(index, node);
        for (pugi::xml_node c = node.first_child(); c;) {
          pugi::xml_node next = c.next_sibling();
          parent.insert_move_before(c, node);
          c = next;
        }
      }
      parent.remove_child(node);
      return;
    }
    if (IsW(node, "instrText") || IsW(node, "delInstrText")) {
      node.parent().remove_child(node);
      return;
    }
    if (InCode() && IsW(node.parent(), "r") && !IsW(node, "rPr")) {
      node.parent().remove_child(node);  // shown content inside a code
      return;
    }
    Walk(node);
  }

  std::map<size_t, std::string> names_;
  std::vector<OpenField> open_;
  size_t next_ = 0;
  pugi::xml_node lastBookmark_;
};

// Returns the number of characters of text inside node.
size_t TextLength(pugi::xml_node node) {
  if (IsW(node, "t")) return std::strlen(node.text().get());
  size_t length = 0;
  for (pugi::xml_node child : node.children()) length += TextLength(child);
  return length;
}

// Ends the body a margin after the body element holding last. Layout runs forward: text after a
// place moves it to another page only from close by (a paragraph kept with the next one, a
// footnote whose reference shares its page), so what stands further on is left out and the
// layout engine lays out no more than it is asked about. The section the copy now ends in keeps
// its page set-up: its properties become the body's last ones.
void CutAfter(pugi::xml_node body, pugi::xml_node last) {
  while (last && last.parent() != body) last = last.parent();
  if (!last) return;
  pugi::xml_node finalSection = body.last_child();
  if (!IsW(finalSection, "sectPr")) finalSection = pugi::xml_node();
  size_t margin = 0;
  pugi::xml_node cut = last.next_sibling();
  while (cut && cut != finalSection && margin < kLayoutMargin) {
    margin += TextLength(cut);
    cut = cut.next_sibling();
  }
  if (!cut || cut == finalSection) return;
  // The properties of the section the last kept element belongs to, when they stand further on.
  pugi::xml_node sectionEnd;
  for (pugi::xml_node n = cut; n && n != finalSection && !sectionEnd; n = n.next_sibling()) {
    if (IsW(n, "p")) sectionEnd = n.child("w:pPr").child("w:sectPr");
  }
  if (sectionEnd && finalSection) {
    body.insert_copy_before(sectionEnd, finalSection);
    body.remove_child(finalSection);
    finalSection = body.last_child();
  }
  for (pugi::xml_node n = cut; n && n != finalSection;) {
    pugi::xml_node next = n.next_sibling();
    body.remove_child(n);
    n = next;
  }
}

}  // namespace

std::string FlattenedCopy(const Document& document, const std::vector<LayoutBookmark>& bookmarks,
                          CopyExtent extent) {
  Package package = Package::FromBytes(document.ToBytes());
  std::string content = package.Read(document.mainPart());
  pugi::xml_document xml;
  ParsePart(xml, document.mainPart(), content, kTextPartParseOptions);
  pugi::xml_node body = xml.document_element().child("w:body");
  Flattener flattener(bookmarks);
  flattener.Walk(body);
  if (!flattener.paired() || flattener.fieldCount() != document.fieldIndex().Count()) {
    throw DocxError("the field marks of the document do not pair up; its pages cannot be laid out");
  }
  if (extent == CopyExtent::kPastLastBookmark) CutAfter(body, flattener.lastBookmark());
  return package.Write({{document.mainPart(), SerializeDeflated(xml)}});
}

}  // namespace quillon::docx
