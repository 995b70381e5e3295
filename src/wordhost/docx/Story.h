// The main text of a document as Word's story positions over the WordprocessingML body.
//
// The body is cut into units: one per paragraph (its text, then its mark: a paragraph mark,
// or the cell end when it is the last paragraph of a table cell) and one per table row end.
// Each unit knows its length and, lazily, its atoms: the characters and marks it holds, each
// tied to the XML element it comes from. Unit lengths and page boundaries sit in Fenwick
// trees, so a position is found, and an edited paragraph re-measured, in O(log n) plus the
// size of one paragraph; the XML is never rescanned per call.
//
// Story edits only the XML and its own bookkeeping; which fields exist is FieldIndex's
// business, and the checks that keep fields whole are Document's.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "wordhost/docx/Fenwick.h"

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
  char32_t ch = 0;  // kChar: the character shown (0: an object that shows no text)
};

enum class UnitKind : uint8_t { kParagraph, kCellEnd, kRowEnd };

// Where new run-level content goes: before `before` in `parent` (appended when before is
// empty).
struct CutPoint {
  pugi::xml_node parent;
  pugi::xml_node before;
};

// A unit known to hold a position, with its start, to spare the caller's lookups.
struct UnitHint {
  size_t unit;
  long start;
};

// Tells whether the field whose begin element is given shows its code.
class FieldDisplay {
 public:
  virtual ~FieldDisplay() = default;
  virtual bool ShowsCode(pugi::xml_node begin) const = 0;
};

// Whether a name is an element of the WordprocessingML main namespace with that local name
// ("w:" prefix assumed, which the loader checks).
inline bool IsW(pugi::xml_node node, const char* local) {
  const char* name = node.name();
  return name[0] == 'w' && name[1] == ':' && std::strcmp(name + 2, local) == 0;
}

class Story {
 public:
  // Binds to body (w:body) and measures it. REQUIRES: body outlives the story.
  explicit Story(pugi::xml_node body);

  // Returns a number that changes whenever the XML or the positions change, so that callers
  // may cache positions between edits.
  uint64_t Generation() const { return generation_; }

  // Returns the story length (the position after the final paragraph mark).
  long Length() const { return static_cast<long>(lengths_.Prefix(units_.size())); }
  size_t UnitCount() const { return units_.size(); }
  UnitKind KindOf(size_t unit) const { return units_[unit].kind; }
  pugi::xml_node NodeOf(size_t unit) const { return units_[unit].node; }
  long UnitLength(size_t unit) const { return units_[unit].length; }
  // Returns the position of the unit's first character.
  long UnitStart(size_t unit) const;
  // Returns the unit holding pos. REQUIRES: 0 <= pos < Length().
  size_t UnitAt(long pos) const;
  // Returns the unit whose node is node or an ancestor of it, or UnitCount() when none.
  size_t UnitOf(pugi::xml_node node) const;
  // Returns the unit's atoms (computed on first use after an edit). Invalidated by any edit.
  const std::vector<Atom>& Atoms(size_t unit) const;
  // Returns the position of the atom of that kind made by element node, or -1.
  long PositionOf(pugi::xml_node node, AtomKind kind) const;

  // Paragraph units (both kinds of paragraph), in order.
  size_t ParagraphCount() const { return paragraphs_.size(); }
  size_t ParagraphUnit(size_t n) const { return paragraphs_[n]; }

  // Returns the page number of pos (1 plus the page boundaries at or before it).
  long PageAt(long pos) const;

  // Returns what [start, end) shows: fields that begin inside the range show their code or
  // result as display says; paragraph marks read "\r", cell and row ends "\r\a".
  // hint, when given, is the unit holding start.
  std::string Text(long start, long end, const FieldDisplay& display,
                   const UnitHint* hint = nullptr) const;
  // Appends to text (and to positions, each character's position) what [start, end) shows,
  // with every field shown as display says, fields begun earlier in the start's paragraph
  // included. Marks read as in Text, one character each ('\r', '\a').
  void Shown(long start, long end, const FieldDisplay& display, std::u32string& text,
             std::vector<long>& positions) const;

  // Returns whether an insertion at pos lands in a field code.
  bool InCodeAt(long pos) const;
  // Returns the run properties (w:rPr) that text inserted at pos takes: those of the run
  // before pos in its paragraph, else of the run after, else of the paragraph mark. May be
  // empty.
  pugi::xml_node FormatAt(long pos) const;
  // Returns the run properties of the first character of [start, end), or empty.
  pugi::xml_node FormatOfFirst(long start, long end) const;

  // Returns the point where content inserted at pos goes, splitting a run (or its text) so
  // that one exists. The unit's atoms are refreshed on next use.
  CutPoint Cut(long pos);
  // Appends a new run with a copy of format (cleared of revision marks) at cut; returns it.
  static pugi::xml_node NewRun(CutPoint& cut, pugi::xml_node format);
  // Replaces [start, end) within one text or code atom by text. Returns false (and changes
  // nothing) when the range is not inside one such atom.
  bool ReplaceInAtom(long start, long end, const std::string& text);
  // Removes [start, end). A range over several paragraphs merges them. Throws HostError when
  // the range crosses table cells or rows.
  void Delete(long start, long end);
  // Splits the paragraph at pos into two; the first part gets a copy of its paragraph
  // properties. Throws HostError when pos is not in a paragraph.
  void SplitParagraph(long pos);

  // Re-measures unit after its XML changed (length, atoms, pages).
  void Refresh(size_t unit);
  // Re-reads the unit structure after paragraphs, tables or rows were added or removed.
  void Rebuild();
  // Adds the units of element, a table row, a table or a paragraph of the body that was just
  // put into the XML, as units [at, at + its unit count): only they are measured, and later
  // units keep their measures and caches. Falls back to Rebuild when the element holds a
  // section break. REQUIRES: at < UnitCount(), and the element's units belong right there.
  void InsertUnits(size_t at, pugi::xml_node element);
  // Removes element (a table row, a table or a paragraph of the body) from the XML and its
  // units from the story, the same way.
  void RemoveElement(pugi::xml_node element);

  // A page break, a rendered page break, or the first visible content after one.
  struct PageEvent {
    uint32_t offset;
    uint8_t kind;  // 0 explicit break, 1 rendered break, 2 visible content
  };

 private:
  struct Unit {
    pugi::xml_node node;
    uint32_t id = 0;  // the unit's slot in ids_
    UnitKind kind = UnitKind::kParagraph;
    bool startsSection = false;  // a section that starts on a new page begins here
    bool pendingIn = false;      // a page break not yet matched by a rendered break
    long length = 1;
    mutable bool atomsValid = false;
    mutable std::vector<Atom> atoms;
    std::vector<PageEvent> events;
    std::vector<uint32_t> boundaries;  // offsets where a new page starts
  };

  void Measure(Unit& unit) const;
  // Atom k of unit (a text or code atom whose element's text changed) now holds length
  // characters (at least one): moves what follows it instead of measuring the unit again.
  void ResizeAtom(size_t unit, size_t k, uint32_t length);
  void ComputeAtoms(const Unit& unit, std::vector<Atom>& atoms,
                    std::vector<PageEvent>* events) const;
  // Returns pendingOut.
  bool ComputeBoundaries(Unit& unit) const;
  void CollectUnits(pugi::xml_node container, std::vector<Unit>& out);
  void CollectElement(pugi::xml_node element, std::vector<Unit>& out);
  void CollectRow(pugi::xml_node row, std::vector<Unit>& out);
  // Replaces units [first, first + count) by fresh, measuring only fresh. Returns false, with
  // nothing changed, when that cannot be done piecewise: a section break among the units,
  // the story's last unit involved, or edits waiting for a Rebuild.
  bool Splice(size_t first, size_t count, std::vector<Unit>& fresh);
  void MarkSections();
  void DeleteInUnit(size_t unit, uint32_t start, uint32_t end);
  CutPoint CutInUnit(size_t unit, uint32_t offset);

  pugi::xml_node body_;
  std::vector<Unit> units_;
  // Paragraph nodes whose XML an edit changed; Rebuild re-measures them.
  std::unordered_set<pugi::xml_node_struct*> dirty_;
  std::vector<size_t> paragraphs_;
  // Unit nodes to unit ids, and ids to the units' current indexes: inserting or removing
  // units rewrites ids_ from the edit on (a plain array pass) instead of rehashing every
  // later node.
  std::unordered_map<pugi::xml_node_struct*, uint32_t> index_;
  std::vector<size_t> ids_;
  Fenwick lengths_;
  Fenwick pages_;
  uint64_t generation_ = 0;
  // Unit starts as a plain array, built once enough lookups have run since the last edit: a
  // read-only walk then finds positions in O(1), while a run of edits keeps using the tree.
  mutable std::vector<long> starts_;
  mutable bool startsValid_ = false;
  mutable size_t treeLookups_ = 0;
};

}  // namespace quillon::docx
