// Editing the story's XML: cutting runs to make room for new content, new runs, text replaced
// in place, stretches removed and paragraphs split. Each edit tells the story what changed, so
// its positions stay right; which fields exist, and that edits keep them whole, is Document's
// business.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>

#include "wordhost/docx/Story.h"

namespace quillon::docx {

// Where new run-level content goes: before `before` in `parent` (appended when before is
// empty).
struct CutPoint {
  pugi::xml_node parent;
  pugi::xml_node before;
};

// Where new runs go when nothing needs cutting, and the atom that will follow them.
struct RunSlot {
  CutPoint cut;
  size_t unit;
  size_t atom;
};

// Edits the XML under a story. Errors: HostError for an edit the model cannot make (inside a
// simple field, across table cells); the XML is then as it was.
class StoryEditor {
 public:
  // REQUIRES: story outlives the editor.
  explicit StoryEditor(Story& story) : story_(story) {}

  // Returns the point where content inserted at pos goes, splitting a run (or its text) so
  // that one exists. The unit's atoms are computed again on next use; the caller refreshes
  // the unit once the content is in. REQUIRES: 0 <= pos < story length.
  CutPoint Cut(long pos);
  // Returns where Cut(pos) would put content when that cuts nothing: pos ends an atom that is
  // the last element of its run, so new runs go right after that run and the unit stays
  // measured; Story::InsertRuns(slot.unit, slot.atom, ...) then takes them in. Returns
  // nullopt (and changes nothing) in any other case, which Cut handles.
  std::optional<RunSlot> SlotAfterRun(long pos) const;
  // Removes code points [from, to) of text, a w:t in a run, and returns the point where
  // content put in their place goes: between the text left before them and the text after,
  // which moves into a new run with the same properties (and whatever followed it in the run).
  // Touches no story measure: the caller touches the unit first and refreshes it after.
  // REQUIRES: from < to < the element's length in code points.
  static CutPoint CutOutOfText(pugi::xml_node text, uint32_t from, uint32_t to);
  // Appends a new run at cut, a copy of prototype (an empty run when none) with a copy of
  // format (cleared of revision marks) first; returns it. REQUIRES: prototype is a run without
  // properties of the same document.
  static pugi::xml_node NewRun(CutPoint& cut, pugi::xml_node format,
                               pugi::xml_node prototype = pugi::xml_node());
  // Replaces [start, end) within one text or code atom by text. Returns false (and changes
  // nothing) when the range is not inside one such atom.
  bool ReplaceInAtom(long start, long end, const std::string& text);
  // Removes [start, end) when it lies inside one text or code atom that keeps at least one
  // character: the XML Delete would write, with the atom moved instead of the paragraph
  // measured again. Returns false (and changes nothing) otherwise.
  bool EraseInAtom(long start, long end);
  // Removes [start, end). A range over several paragraphs merges them. Throws HostError when
  // the range crosses table cells or rows.
  void Delete(long start, long end);
  // Splits the paragraph at pos into two; the first part gets a copy of its paragraph
  // properties. Throws HostError when pos is not in a paragraph.
  void SplitParagraph(long pos);

 private:
  // Replaces [start, end) within one text or code atom by text (empty: erases it, unless that
  // would leave the atom empty). Returns false, with nothing changed, when it cannot.
  bool RewriteInAtom(long start, long end, const std::string& text);
  CutPoint CutInUnit(size_t unit, uint32_t offset);
  void DeleteInUnit(size_t unit, uint32_t start, uint32_t end);

  Story& story_;
};

}  // namespace quillon::docx
