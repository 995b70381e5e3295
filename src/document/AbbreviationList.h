// The list of abbreviations: a three-column table (Abbreviation | Meaning | Page) sorted by
// abbreviation, after a marker field that tells later builds where the list stands.
#pragma once

#include <cstdint>
#include <memory>

namespace quillon::host {
class Application;
class Field;
class Fields;
class Range;
}  // namespace quillon::host

namespace quillon::document {

// Returns the 1-based index of the first field whose code holds the list marker right after
// its keyword (the field is then selected), or 0.
long FindAbbreviationList(host::Application& word);

// Returns true when any field's code holds the list marker anywhere.
bool IsAbbreviationListPresent(host::Application& word);

// Writes a list marker field (its result two blanks) over range through fields, and leaves
// the selection on its rewritten keyword. Returns the marker, owned by the caller. Throws
// HostError when a host call fails.
std::unique_ptr<host::Field> PlaceListMarker(host::Application& word, host::Fields& fields,
                                             const host::Range& range);

// Writes the marker field (over field index when replace is set, else before the document's
// final paragraph mark) followed by a new list table with its header row; a rebuild removes
// the table the earlier build left after the marker when that table reads as a list (an
// author's own table stays, after the new list). Leaves the insertion point in the header's
// last cell.
void BuildListMarkerAndTable(host::Application& word, bool replace, long index);

// Creates the list table (1 row, 3 columns, fitted, "Table Grid" with every style option on,
// no borders on its first row) at the selection and types its header row.
void CreateListTable(host::Application& word);

// Types one row per entry of the working table, in the order of the capitalised abbreviation,
// starting in the header's last cell. Returns the number of rows typed.
long TypeListRows(host::Application& word);

// Builds the list at the end of the document, or rebuilds it where the marker stands (twice,
// so the pages reflect the list's own length), and reports "Abbreviation list is updated".
// Returns false, having told the user, when no library is open or the marker stands in a
// table.
bool InsertAbbreviationList(host::Application& word);

// The "Insert abbreviation list" button.
bool ButtonInsertList_Click(host::Application& word);

}  // namespace quillon::document
