// Reading the story: what a stretch of it shows (each field as its code or its result), its
// characters one per position (for callers that map what they find back to positions), whether
// a position lies in a field code, and the run formatting that text written at a position
// takes.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "wordhost/docx/Story.h"

namespace quillon::docx {

// Tells whether the field whose begin element is given shows its code.
class FieldDisplay {
 public:
  virtual ~FieldDisplay() = default;
  virtual bool ShowsCode(pugi::xml_node begin) const = 0;
};

// Returns what [start, end) of story shows: fields that begin inside the range show their
// code or result as display says; paragraph marks read "\r", cell and row ends "\r\a". hint,
// when given, is the unit holding start. Positions outside the story are clamped to it.
std::string ShownText(const Story& story, long start, long end, const FieldDisplay& display,
                      const UnitHint* hint = nullptr);
// Appends to text (and to positions, each character's position) what [start, end) of story
// shows, with every field shown as display says, fields begun earlier in the start's paragraph
// included. Marks read as in ShownText, one character each ('\r', '\a').
void ShownCharacters(const Story& story, long start, long end, const FieldDisplay& display,
                     std::u32string& text, std::vector<long>& positions);

// Returns [start, end) of story as UTF-8 with one code point per position: text and field
// codes as written, U+0013, U+0014 and U+0015 for field begin, separator and end marks, "\r"
// for a paragraph mark, "\a" for a cell or row end, each character element as the character
// it shows and U+FFFC for an object that shows none. Positions outside the story are left out.
std::string StoryText(const Story& story, long start, long end);

// Returns whether an insertion at pos lands in a field code. REQUIRES: 0 <= pos <= length.
bool InCodeAt(const Story& story, long pos);
// Returns the run properties (w:rPr) that text inserted at pos takes: those of the run before
// pos in its paragraph, else of the run after, else of the paragraph mark. May be empty.
// REQUIRES: 0 <= pos <= length.
pugi::xml_node FormatAt(const Story& story, long pos);
// Returns the run properties of the first character of [start, end), or empty.
// REQUIRES: 0 <= start < length.
pugi::xml_node FormatOfFirst(const Story& story, long start, long end);

}  // namespace quillon::docx
