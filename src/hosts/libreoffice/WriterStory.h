// The main text of a Writer document in story positions, as the .docx model counts them: every
// character one, a field's begin, separator and end marks one each, its code as many as it has
// characters (Writer keeps a fieldmark's code as a parameter, outside the text), a paragraph
// mark one, a cell end one, a row end one.
//
// One walk over paragraphs and text portions (table cells included) builds a mirror of the text:
// units (paragraphs, cell ends, row ends) made of segments, the fieldmarks with their positions,
// the tables with their cells. Reading text, finding and mapping a position to a Writer cursor
// then costs no walk at all; the edits go to Writer and into the mirror at once, so the cost of
// an edit does not grow with the number of fields. Only edits that change the paragraph
// structure walk the document again.
//
// Error rule: every call that reaches Writer throws HostError (kErrCommandFailed) when a UNO call
// fails; an edit that would cut a field or a table in two throws HostError (kErrBadParameter).
// Included by this folder's files only.
#pragma once

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <rtl/ustring.hxx>

#include "hosts/libreoffice/UnoSession.h"
#include "hosts/libreoffice/WriterScript.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon::libreoffice {

using css::uno::Reference;

// A piece of a unit's content.
enum class PieceKind : uint8_t {
  kText,       // text Writer shows, one Writer character per story position
  kBegin,      // a fieldmark's start mark
  kCode,       // a fieldmark's code: story positions without Writer characters
  kSeparator,  // a fieldmark's separator mark
  kEnd,        // a fieldmark's end mark
  kObject,     // one Writer character (a Writer field, a note anchor...) showing its text
  kDeleted,    // text of a tracked deletion: Writer characters without story positions
};

struct Piece {
  PieceKind kind;
  std::u32string chars;  // one per story position (the marks: U+0013, U+0014, U+0015)
  long deleted = 0;      // kDeleted: how many Writer characters
};

enum class UnitEnd : uint8_t { kParagraph, kCell, kRow };

struct StoryUnit {
  UnitEnd end = UnitEnd::kParagraph;
  Reference<css::text::XText> text;            // the body or the cell the unit is in
  Reference<css::text::XTextRange> paragraph;  // where the unit starts (null for a row end)
  std::vector<Piece> pieces;
  long start = 0;   // story position of the first character
  long length = 1;  // content plus the closing mark
  int table = -1;   // index into the story's tables, -1 outside one
  int row = 0;      // in a table: the row and the cell (a row end: the row's cell count)
  int column = 0;
};

// A fieldmark with its positions. Shared with the Field objects handed out; a deleted field is
// marked so.
struct StoryField {
  Reference<css::text::XTextContent> mark;
  long begin = 0;
  long separator = 0;
  long end = 0;
  std::string code;  // as the routines read it: with the blank Writer trims in front
  bool showCodes = false;
  bool deleted = false;
};
using StoryFieldPtr = std::shared_ptr<StoryField>;

// A top-level table: its units from the first cell through its last row end.
struct StoryTable {
  Reference<css::text::XTextTable> table;
  std::string name;  // Writer's name for the table, unique in the document
  size_t firstUnit = 0;
  size_t lastUnit = 0;                    // the last row end
  std::vector<OUString> firstRowColumns;  // the column part of the first row's cell names
  int rows = 0;
  std::string style;          // the table style the routines asked for
  bool fitsContents = false;  // asked for with its columns fitted to their contents
};

class WriterStory {
 public:
  // Walks the body of document, inside Writer when script is given (one call), else portion by
  // portion over UNO. REQUIRES: document is a text document that outlives the story.
  WriterStory(Reference<css::lang::XComponent> document, Reference<css::text::XText> body,
              std::shared_ptr<WriterScript> script);

  // Returns a number that changes with every edit.
  uint64_t Generation() const { return generation_; }
  // Returns the position after the final paragraph mark.
  long Length() const;

  const Reference<css::lang::XComponent>& document() const { return document_; }
  const std::vector<StoryUnit>& units() const { return units_; }
  const std::vector<StoryFieldPtr>& fields() const { return fields_; }
  const std::vector<StoryTable>& tables() const { return tables_; }
  // Returns the unit holding pos (the last unit for pos == Length()).
  size_t UnitAt(long pos) const;
  // Returns the index of the first field beginning at or after pos.
  size_t FieldAtOrAfter(long pos) const;

  // Returns what [start, end) shows: fields beginning inside it as their codes or results,
  // paragraph marks as "\r", cell and row ends as "\r\a".
  std::string ShownText(long start, long end) const;
  // Appends what [start, end) shows and each character's position, with the fields begun
  // earlier in start's unit taken into account (for find).
  void ShownCharacters(long start, long end, std::u32string& text,
                       std::vector<long>& positions) const;
  // Returns [start, end) with one character per position (see host::Range::StoryText).
  std::string StoryCharacters(long start, long end) const;
  // Returns the field whose code holds pos (begin < pos <= separator), or null.
  StoryFieldPtr CodeHolding(long pos) const;

  // Returns the story position at which range starts, or nullopt when it starts outside the
  // story's texts (a header, a frame). Compares range with the units of its text one by one:
  // for a single look-up, such as where the user's cursor stands.
  std::optional<long> PositionOf(const Reference<css::text::XTextRange>& range) const;

  // Returns a Writer cursor at pos, extended to end when end > pos. Throws HostError
  // (kErrBadParameter) when the stretch crosses from one text (body, cell) to another.
  Reference<css::text::XTextCursor> Cursor(long pos, long end) const;

  // Replaces [start, end) with text. Fields wholly inside go with it; a stretch inside one
  // field code rewrites that code. Returns the number of positions written. Throws HostError
  // (kErrBadParameter) for a stretch that cuts a field or a table structure in two.
  // With a script, a plain rewrite inside one paragraph reaches Writer only at the next call
  // that needs Writer's text (or Flush), together with the others held back; a failure to
  // write it is then thrown there.
  long Replace(long start, long end, const std::string& text);
  // Writes the rewrites held back by Replace to Writer, in the order they were made. Throws
  // HostError (kErrCommandFailed) when Writer refuses one; those before it are written.
  void Flush() const;
  // Replaces [start, end) with a new fieldmark holding code (as the routines write it, the
  // leading blank included) and result. Returns the field.
  StoryFieldPtr AddField(long start, long end, const std::string& code, const std::string& result);
  // Splits the paragraph at pos (a paragraph mark typed there).
  void SplitParagraph(long pos);
  // Adds a table of rows x columns before the paragraph holding pos, splitting it when pos is
  // inside it, replacing it when it is empty and another paragraph follows. Returns the
  // table's index. Throws HostError (kErrNotAvailable) for a position inside a table.
  size_t AddTable(long pos, long rows, long columns);
  // Returns the index of the table named name, or tables().size().
  size_t TableNamed(const std::string& name) const;
  void SetTableStyle(size_t table, const std::string& style) { tables_[table].style = style; }
  void SetTableFitsContents(size_t table) { tables_[table].fitsContents = true; }
  // Appends a row to table (index into tables()).
  void AddRow(size_t table);
  // Removes table (index into tables()) with everything in it.
  void RemoveTable(size_t table);

 private:
  void Walk();
  // Builds the mirror from the records of the walk run inside Writer. Returns false (the
  // mirror half built) when the script fails or its answer does not read right.
  bool WalkInWriter();
  void WalkText(const Reference<css::text::XText>& text, int table, int row, int column,
                std::vector<StoryFieldPtr>& open);
  void Renumber(size_t fromUnit);
  // Moves every position at or after from by delta.
  void Shift(size_t unit, long from, long delta);
  // Walks the document again after a structural edit; fields keep their objects when their
  // begin position is where the mirror expected it.
  void Rewalk();
  void CheckWhole(long start, long end) const;
  long WriterOffset(const StoryUnit& unit, long offset) const;
  long ReplaceCode(StoryField& field, long start, long end, const std::string& text);
  void SpliceUnit(size_t unit, long from, long to, std::vector<Piece> insert);

  // A rewrite held back: length Writer characters at offset of a paragraph become text.
  struct PendingWrite {
    Reference<css::text::XText> text;
    Reference<css::text::XTextRange> paragraph;
    long offset = 0;
    long length = 0;
    OUString string;
  };

  Reference<css::lang::XComponent> document_;
  Reference<css::text::XText> body_;
  std::shared_ptr<WriterScript> script_;
  // Writer's text lags the mirror by these; mutable because reading Writer's text through a
  // const story must first catch up.
  mutable std::vector<PendingWrite> pending_;
  std::vector<StoryUnit> units_;
  std::vector<StoryFieldPtr> fields_;
  std::vector<StoryTable> tables_;
  uint64_t generation_ = 0;
};

}  // namespace quillon::libreoffice
