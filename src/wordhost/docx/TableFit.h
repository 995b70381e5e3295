// Column widths of tables that fit their contents (Word's AutoFit to contents): each column as
// wide as its longest line of text, estimated from character counts, within the text width of
// the page. Writers that read the grid (LibreOffice) then lay the table out as Word would.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <vector>

namespace quillon::docx {

class Styles;

// Returns the text width in twips of a section: its page width less its left and right
// margins, from the w:sectPr sectPr; A4 with 2 cm margins (9638) when they are missing or
// leave less than half an inch.
long TextWidthOf(pugi::xml_node sectPr);

// Returns whether table (w:tbl) lays itself out by its contents: an automatic layout
// (w:tblLayout "autofit") and an automatic width (w:tblW "auto").
bool FitsContents(pugi::xml_node table);

// Rewrites table's grid (w:gridCol) and cell widths (w:tcW, in twips) from its cells' text:
// the longest paragraph of each cell in its largest run font (styles give the size runs leave
// unset), plus the cell margins, fitted into textWidth. Cells spanning columns are left out of
// the measure. A table without rows is left as it is.
void FitToContents(pugi::xml_node table, long textWidth, const Styles& styles);

// Refits every table of body (w:body) that FitsContents, each within the text width of its
// section.
void FitContentTables(pugi::xml_node body, const Styles& styles);

}  // namespace quillon::docx
