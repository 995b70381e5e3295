// Which tables read as a list of abbreviations: the one Quillon builds, and the ones authors
// make by hand ("Acronym | Definition"), which a list build replaces and an import reads.
#pragma once

#include <string>
#include <string_view>

namespace quillon::document {

// Returns whether a header row whose first two cells read first and second heads a list of
// abbreviations: first like "Abbreviation", "Acronym", "Abbrev." or "Term", second like
// "Meaning", "Definition", "Description" or "Text" (any case, plurals, blanks around).
bool ReadsAsListHeader(std::string_view first, std::string_view second);

// Returns whether a table whose text the host reads as tableText (each cell ends in "\r\a")
// starts with such a header row.
bool TableReadsAsList(std::string_view tableText);

}  // namespace quillon::document
