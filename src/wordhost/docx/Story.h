// The main text of a document as Word's story positions over the WordprocessingML body.
//
// The body is cut into units: one per paragraph (its text, then its mark: a paragraph mark,
// or the cell end when it is the last paragraph of a table cell) and one per table row end.
// Each unit knows its length and, lazily, its atoms (Atoms.h). Unit lengths and page
// boundaries sit in Fenwick trees, so a position is found, and an edited paragraph
// re-measured, in O(log n) plus the size of one paragraph; the XML is never rescanned per
// call.
//
// Story is the position index only: reading what a stretch shows is StoryText's business,
// changing the XML StoryEditor's (which tells the story what it changed), which fields exist
// FieldIndex's, and the checks that keep fields whole are Document's.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "wordhost/docx/Atoms.h"
#include "wordhost/docx/Fenwick.h"

namespace quillon::docx {

// A unit known to hold a position, with its start, to spare the caller's lookups.
struct UnitHint {
  size_t unit;
  long start;
};

class Story {
 public:
  // Binds to body (w:body) and measures it. REQUIRES: body outlives the story.
  explicit Story(pugi::xml_node body);

  // Returns a number that changes whenever the XML or the positions change, so that callers
  // may cache positions between edits.
  uint64_t Generation() const { return generation_; }
  // Carries pos, a position computed at generation from, over to the current generation when
  // each edit since then only moved the text after some point within a paragraph (text
  // resized in place, runs inserted): positions before the edit stay, those after it move.
  // Returns false (pos unchanged) when that cannot be told: an edit of another kind came in
  // between, pos lay in the text an edit replaced, or too many edits passed.
  bool CarryPosition(uint64_t from, long& pos) const;

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
  // Returns the unit's page events as last measured (edits that move them keep them right).
  const std::vector<PageEvent>& Events(size_t unit) const { return units_[unit].events; }
  // Returns the position of the atom of that kind made by element node, or -1.
  long PositionOf(pugi::xml_node node, AtomKind kind) const;

  // Paragraph units (both kinds of paragraph), in order.
  size_t ParagraphCount() const { return paragraphs_.size(); }
  size_t ParagraphUnit(size_t n) const { return paragraphs_[n]; }

  // Returns the page number of pos (1 plus the page boundaries at or before it).
  long PageAt(long pos) const;

  // Notes that the XML of unit is about to change: its atoms are computed again on next use.
  // Refresh it once the change is made.
  void Touch(size_t unit);
  // Re-measures unit after its XML changed (length, atoms, pages).
  void Refresh(size_t unit);
  // Atom k of unit (a text or code atom whose element's text changed) now holds length
  // characters (at least one): moves what follows it instead of measuring the unit again.
  void ResizeAtom(size_t unit, size_t k, uint32_t length);
  // Runs first..last (paragraph-level siblings, just put into the XML) now stand before the
  // element of atom k of unit: their atoms are spliced in at k and what follows moves, instead
  // of measuring the unit again. Falls back to Refresh when they hold a page break, at the
  // unit's start, or when the unit was touched since it was last measured. REQUIRES: in
  // document order, they come after whatever made atoms [0, k) with its page events, and
  // before whatever made the rest (true of runs put right after the run whose last element
  // made atom k - 1).
  void InsertRuns(size_t unit, size_t k, pugi::xml_node first, pugi::xml_node last);
  // Returns whether every page event of unit, as last measured, lies before offset and none
  // still waits for visible content: runs without page breaks put in at or after offset then
  // bring no event, and taking text out there moves none.
  bool EventsSettledBefore(size_t unit, uint32_t offset) const;
  // Notes that unit's XML changed by delta characters through such edits, at or after an
  // offset where EventsSettledBefore held: its length moves and its atoms are computed again
  // on next use, while its page events stay. Spares measuring the unit again.
  void Grow(size_t unit, long delta);
  // Re-reads the unit structure after paragraphs, tables or rows were added or removed;
  // changed, when given, is a paragraph whose content changed too, measured anew.
  void Rebuild(pugi::xml_node changed = {});
  // Adds the units of element, a table row, a table or a paragraph of the body that was just
  // put into the XML, as units [at, at + its unit count): only they are measured, and later
  // units keep their measures and caches. Falls back to Rebuild when the element holds a
  // section break. REQUIRES: at < UnitCount(), and the element's units belong right there.
  void InsertUnits(size_t at, pugi::xml_node element);
  // Removes element (a table row, a table or a paragraph of the body) from the XML and its
  // units from the story, the same way.
  void RemoveElement(pugi::xml_node element);

 private:
  struct Unit {
    pugi::xml_node node;
    uint32_t id = 0;  // the unit's slot in ids_
    UnitKind kind = UnitKind::kParagraph;
    bool startsSection = false;  // a section that starts on a new page begins here
    bool pendingIn = false;      // a page break not yet matched by a rendered break
    long length = 1;
    mutable bool atomsValid = false;
    // events hold until the unit is touched: atoms computed on use after that bring none.
    bool eventsValid = false;
    mutable std::vector<Atom> atoms;
    std::vector<PageEvent> events;
    std::vector<uint32_t> boundaries;  // offsets where a new page starts
  };

  void Measure(Unit& unit) const;
  // Counts unit's page boundaries again (oldPages before) and carries a page break left
  // pending at its end on to the units after it, as far as that changes them.
  void SettlePages(size_t unit, long oldPages);
  // Returns pendingOut.
  bool ComputeBoundaries(Unit& unit) const;
  void CollectUnits(pugi::xml_node container, std::vector<Unit>& out);
  void CollectElement(pugi::xml_node element, std::vector<Unit>& out);
  void CollectRow(pugi::xml_node row, std::vector<Unit>& out);
  // Replaces units [first, first + count) by fresh, measuring only fresh. Returns false, with
  // nothing changed, when that cannot be done piecewise: a section break among the units or
  // the story's last unit involved.
  bool Splice(size_t first, size_t count, std::vector<Unit>& fresh);
  void MarkSections();
  // Positions move: the start cache and the generation are out of date.
  void PositionsChanged();
  // Notes that the edit that made the current generation replaced the removed characters at
  // at by inserted ones, and moved nothing else.
  void NoteShift(long at, long removed, long inserted);

  pugi::xml_node body_;
  std::vector<Unit> units_;
  std::vector<size_t> paragraphs_;
  // Unit nodes to unit ids, and ids to the units' current indexes: inserting or removing
  // units rewrites ids_ from the edit on (a plain array pass) instead of rehashing every
  // later node.
  std::unordered_map<pugi::xml_node_struct*, uint32_t> index_;
  std::vector<size_t> ids_;
  Fenwick lengths_;
  Fenwick pages_;
  uint64_t generation_ = 0;
  // The last few edits that only moved text, by the generation they made (slot generation %
  // kShifts), so that positions cached a few edits ago can be carried over.
  struct Shift {
    uint64_t generation = ~uint64_t{0};
    long at = 0;
    long removed = 0;
    long inserted = 0;
  };
  static constexpr size_t kShifts = 8;
  Shift shifts_[kShifts];
  // InsertRuns' room for the atoms and events of the new runs, kept between calls so that a
  // run of insertions allocates nothing.
  std::vector<Atom> freshAtoms_;
  std::vector<PageEvent> freshEvents_;
  // Unit starts as a plain array, built once enough lookups have run since the last edit: a
  // read-only walk then finds positions in O(1), while a run of edits keeps using the tree.
  mutable std::vector<long> starts_;
  mutable bool startsValid_ = false;
  mutable size_t treeLookups_ = 0;
};

}  // namespace quillon::docx
