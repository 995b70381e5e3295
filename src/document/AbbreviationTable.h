// A hand-made abbreviation table: a table whose header row reads like "Abbreviation |
// Meaning" (ListHeader.h), as authors type one at the front of a thesis before they use the
// add-in.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "library/EntryTransfer.h"

namespace quillon::host {
class Document;
}

namespace quillon::document {

// Returns the 1-based index of the document's first table whose header row reads like an
// abbreviation table (see ListHeader.h), or 0 when there is none.
long FindAbbreviationTable(host::Document& document);

// A table whose header reads like an abbreviation table, and where it stands.
struct AbbreviationTableAt {
  long index = 0;  // 1-based, among the document's tables
  long start = 0;  // story range [start, end)
  long end = 0;
};

// Returns every table whose header reads like an abbreviation table, in document order:
// hand-made ones and the generated list alike.
std::vector<AbbreviationTableAt> AbbreviationTables(host::Document& document);

// Returns the data rows of table index (the header row left out) as entries to import, each
// named by its row number in the table: the first cell the abbreviation, the second the
// meaning (further cells ignored), the direction "R" when the meaning begins in a right-to-left
// script. A row of one cell is refused. Throws HostError when index is out of range.
std::vector<library::OfferedEntry> ReadAbbreviationTable(host::Document& document, long index);

// Returns "R" when the first letter of text whose script has a direction is written right to
// left (Hebrew, Arabic, Syriac, Thaana, N'Ko and the like), else "L".
std::string DirectionOfText(std::string_view text);

}  // namespace quillon::document
