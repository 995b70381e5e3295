#include "wordhost/docx/Atoms.h"

#include <cstdlib>
#include <string_view>

#include "base/Utf8.h"
#include "wordhost/docx/Wml.h"

namespace quillon::docx {
namespace {

class AtomBuilder {
 public:
  AtomBuilder(std::vector<Atom>& atoms, std::vector<PageEvent>* events, uint32_t offset = 0,
              bool needVisible = true)
      : atoms_(atoms), events_(events), offset_(offset), needVisible_(needVisible) {}

  void Container(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      Element(child);
    }
  }

  // One child of a paragraph or of an inline container.
  void Element(pugi::xml_node child) {
    if (child.type() != pugi::node_element) return;
    if (IsW(child, "r")) {
      Run(child);
    } else if (IsW(child, "fldSimple")) {
      Add(child, AtomKind::kSimpleBegin, 1);
      AddText(child, AtomKind::kSimpleCode, child.attribute("w:instr").value());
      Add(child, AtomKind::kSimpleSeparate, 1);
      Container(child);
      Add(child, AtomKind::kSimpleEnd, 1);
    } else if (IsInlineContainer(child)) {
      Container(child);
    }
  }

  void Event(uint32_t offset, PageEventKind kind) {
    if (events_ == nullptr) return;
    events_->push_back({offset, kind});
    needVisible_ = kind != PageEventKind::kVisible;
  }

  uint32_t offset() const { return offset_; }
  bool needVisible() const { return needVisible_; }

 private:
  void Add(pugi::xml_node node, AtomKind kind, uint32_t length, char32_t ch = 0) {
    atoms_.push_back({node, offset_, length, kind, {ch}});
    offset_ += length;
  }
  // Adds a text atom for text unless it is empty.
  void AddText(pugi::xml_node node, AtomKind kind, const char* text) {
    std::string_view view(text);
    uint32_t n = static_cast<uint32_t>(CodePointCount(view));
    if (n == 0) return;
    Atom& atom = atoms_.emplace_back();
    atom.node = node;
    atom.offset = offset_;
    atom.length = n;
    atom.kind = kind;
    atom.bytes = static_cast<uint32_t>(view.size());
    atom.text = text;
    offset_ += n;
  }
  void Visible() {
    if (needVisible_) Event(offset_, PageEventKind::kVisible);
  }

  void Run(pugi::xml_node run) {
    for (pugi::xml_node child = run.first_child(); child; child = child.next_sibling()) {
      if (child.type() != pugi::node_element) continue;
      const char* name = child.name();
      if (name[0] == 'w' && name[1] == ':') {
        std::string_view local(name + 2);
        // Every run has its properties first: pass them before the comparisons below.
        if (local == "rPr") continue;
        if (local == "t") {
          const char* text = child.child_value();
          if (*text != '\0') {
            Visible();
            AddText(child, AtomKind::kText, text);
          }
        } else if (local == "instrText") {
          AddText(child, AtomKind::kCode, child.child_value());
        } else if (local == "tab" || local == "ptab") {
          Visible();
          Add(child, AtomKind::kChar, 1, U'\t');
        } else if (local == "br") {
          std::string_view type = child.attribute("w:type").value();
          Visible();
          if (type == "page") {
            Add(child, AtomKind::kChar, 1, U'\f');
            Event(offset_, PageEventKind::kExplicitBreak);
          } else {
            Add(child, AtomKind::kChar, 1, type == "column" ? U'\x0E' : U'\v');
          }
        } else if (local == "cr") {
          Visible();
          Add(child, AtomKind::kChar, 1, U'\v');
        } else if (local == "noBreakHyphen") {
          Visible();
          Add(child, AtomKind::kChar, 1, U'\u2011');
        } else if (local == "softHyphen") {
          Add(child, AtomKind::kChar, 1, U'\u00AD');
        } else if (local == "sym") {
          Visible();
          char32_t c =
              static_cast<char32_t>(std::strtoul(child.attribute("w:char").value(), nullptr, 16));
          Add(child, AtomKind::kChar, 1, c == 0 ? U'\uFFFD' : c);
        } else if (local == "drawing" || local == "pict" || local == "object" ||
                   local == "footnoteReference" || local == "endnoteReference" || local == "ruby") {
          Visible();
          Add(child, AtomKind::kChar, 1, 0);
        } else if (local == "fldChar") {
          std::string_view type = child.attribute("w:fldCharType").value();
          if (type == "begin") {
            Add(child, AtomKind::kBegin, 1);
          } else if (type == "separate") {
            Add(child, AtomKind::kSeparate, 1);
          } else if (type == "end") {
            Add(child, AtomKind::kEnd, 1);
          }
        } else if (local == "lastRenderedPageBreak") {
          Event(offset_, PageEventKind::kRenderedBreak);
        }
      } else if (std::string_view(name) == "mc:AlternateContent") {
        Visible();
        Add(child, AtomKind::kChar, 1, 0);
      }
    }
  }

  std::vector<Atom>& atoms_;
  std::vector<PageEvent>* events_;
  uint32_t offset_;
  bool needVisible_;
};

}  // namespace

bool IsRunBased(AtomKind kind) {
  return kind == AtomKind::kText || kind == AtomKind::kCode || kind == AtomKind::kChar ||
         kind == AtomKind::kBegin || kind == AtomKind::kSeparate || kind == AtomKind::kEnd;
}

bool IsSimple(AtomKind kind) {
  return kind == AtomKind::kSimpleBegin || kind == AtomKind::kSimpleCode ||
         kind == AtomKind::kSimpleSeparate || kind == AtomKind::kSimpleEnd;
}

namespace {

const char* ElementText(const Atom& atom) {
  return atom.kind == AtomKind::kSimpleCode ? atom.node.attribute("w:instr").value()
                                            : atom.node.child_value();
}

}  // namespace

void ReadAtomText(Atom& atom) {
  atom.text = ElementText(atom);
  atom.bytes = static_cast<uint32_t>(std::string_view(atom.text).size());
}

void ComputeAtoms(pugi::xml_node node, UnitKind kind, std::vector<Atom>& atoms,
                  std::vector<PageEvent>* events) {
  atoms.clear();
  if (events != nullptr) events->clear();
  AtomBuilder builder(atoms, events);
  if (kind != UnitKind::kRowEnd && IsW(node, "p")) {
    if (IsOn(node.child("w:pPr").child("w:pageBreakBefore"))) {
      builder.Event(0, PageEventKind::kExplicitBreak);
    }
    builder.Container(node);
  }
  atoms.push_back(
      {node, builder.offset(), 1, AtomKind::kMark, {kind == UnitKind::kParagraph ? U'\r' : U'\a'}});
}

bool ComputeStretchAtoms(pugi::xml_node first, pugi::xml_node last, uint32_t offset,
                         bool needVisible, std::vector<Atom>& atoms,
                         std::vector<PageEvent>& events) {
  atoms.clear();
  events.clear();
  AtomBuilder builder(atoms, &events, offset, needVisible);
  for (pugi::xml_node node = first; node; node = node.next_sibling()) {
    builder.Element(node);
    if (node == last) break;
  }
  return builder.needVisible();
}

}  // namespace quillon::docx
