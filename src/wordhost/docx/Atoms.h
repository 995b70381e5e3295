// The atoms of one unit of the story: the characters and marks that a paragraph (or a cell or
// row end) holds, each tied to the XML element it comes from, and the page events met on the
// way. Story positions count atoms' lengths; nothing here knows about positions beyond the
// unit.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillon::docx {

enum class AtomKind : uint8_t {
  kText,            // w:t: shown text
  kCode,            // w:instrText: field code text
  kChar,            // one character element: tab, break, symbol, drawing, note reference...
  kBegin,           // w:fldChar begin
  kSeparate,        // w:fldChar separate
  kEnd,             // w:fldChar end
  kSimpleBegin,     // w:fldSimple: its virtual begin mark
  kSimpleCode,      // w:fldSimple: its w:instr attribute as code text
  kSimpleSeparate,  // w:fldSimple: virtual separator
  kSimpleEnd,       // w:fldSimple: virtual end mark
  kMark,            // the unit's closing mark (paragraph mark, cell end or row end)
};

struct Atom {
  pugi::xml_node node;  // the element the atom comes from (the unit's node for kMark)
  uint32_t offset = 0;  // within the unit
  uint32_t length = 0;
  AtomKind kind = AtomKind::kText;
  union {
    char32_t ch = 0;  // kChar: the character shown (0: an object that shows no text)
    uint32_t bytes;   // kText, kCode, kSimpleCode: the size of text
  };
  // kText, kCode, kSimpleCode: the XML's own copy of the text, so that reading a long story
  // does not go back to its elements. Valid while the atom is: an edit of the element's text
  // either recomputes the unit's atoms or resizes this one (which reads it again).
  const char* text = nullptr;
};

// Returns the text a kText, kCode or kSimpleCode atom stands for; empty for other kinds.
// Valid until the atom is recomputed or resized.
inline std::string_view AtomText(const Atom& atom) {
  return atom.text != nullptr ? std::string_view(atom.text, atom.bytes) : std::string_view();
}

// Points atom (a kText, kCode or kSimpleCode atom) at its element's text again, after that
// text changed.
void ReadAtomText(Atom& atom);

// What closes a unit: a paragraph mark, the end of a table cell (its last paragraph's mark)
// or the end of a table row.
enum class UnitKind : uint8_t { kParagraph, kCellEnd, kRowEnd };

enum class PageEventKind : uint8_t {
  kExplicitBreak,  // a page break, or a paragraph that starts a page
  kRenderedBreak,  // where Word last broke the page (w:lastRenderedPageBreak)
  kVisible,        // the first visible content after a break
};

// A page event at an offset of its unit.
struct PageEvent {
  uint32_t offset;
  PageEventKind kind;
};

// Returns whether an atom of kind comes from an element of a run (text, code, a character or
// a complex field's mark).
bool IsRunBased(AtomKind kind);
// Returns whether an atom of kind is a part of a simple field (w:fldSimple).
bool IsSimple(AtomKind kind);

// Replaces atoms (and events, when given) with those of the unit that node closes as kind:
// the paragraph's content, then its closing mark. Never fails.
void ComputeAtoms(pugi::xml_node node, UnitKind kind, std::vector<Atom>& atoms,
                  std::vector<PageEvent>* events);

// Replaces atoms and events with those of the paragraph-level siblings first..last (runs,
// simple fields, inline containers) as ComputeAtoms reads them in their paragraph, where they
// start at offset and needVisible says whether a page event before them still waits for the
// first visible content (true at a paragraph's start, as for ComputeAtoms). Returns whether
// one still waits after them. REQUIRES: last is first or a later sibling of it.
bool ComputeStretchAtoms(pugi::xml_node first, pugi::xml_node last, uint32_t offset,
                         bool needVisible, std::vector<Atom>& atoms,
                         std::vector<PageEvent>& events);

}  // namespace quillon::docx
