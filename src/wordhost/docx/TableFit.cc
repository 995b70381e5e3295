#include "wordhost/docx/TableFit.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>

#include "base/ColumnFit.h"
#include "base/Utf8.h"
#include "wordhost/docx/Styles.h"
#include "wordhost/docx/Wml.h"

namespace quillon::docx {
namespace {

// Returns the column span of a cell (w:gridSpan), at least 1.
long SpanOf(pugi::xml_node cell) {
  return std::max(1, cell.child("w:tcPr").child("w:gridSpan").attribute("w:val").as_int(1));
}

// Returns the estimated width of paragraph's text on one line: its characters (w:t, tabs as
// four) in its largest run font.
long ParagraphWidth(pugi::xml_node paragraph, const Styles& styles) {
  int styleSize =
      styles.FontHalfPoints(paragraph.child("w:pPr").child("w:pStyle").attribute("w:val").value());
  int largest = 0;
  size_t characters = 0;
  for (pugi::xml_node node = paragraph.first_child(); node;) {
    if (IsW(node, "r")) {
      int size = node.child("w:rPr").child("w:sz").attribute("w:val").as_int(0);
      bool counted = false;
      for (pugi::xml_node child : node.children()) {
        if (IsW(child, "t")) {
          characters += CodePointCount(child.text().get());
          counted = true;
        } else if (IsW(child, "tab")) {
          characters += 4;
          counted = true;
        }
      }
      if (counted) largest = std::max(largest, size > 0 ? size : styleSize);
    }
    // Runs inside hyperlinks, insertions and the like count too; what a run holds does not.
    bool descend = !IsW(node, "r") && !IsW(node, "pPr") && node.first_child();
    if (descend) {
      node = node.first_child();
      continue;
    }
    while (node != paragraph && !node.next_sibling()) node = node.parent();
    node = node == paragraph ? pugi::xml_node() : node.next_sibling();
  }
  return EstimatedLineWidth(characters, largest > 0 ? largest : styleSize);
}

// Returns the width the cell's longest paragraph wants, margins included.
long CellWidth(pugi::xml_node cell, const Styles& styles) {
  long widest = 0;
  ForEachThroughWrappers(cell, "p", [&](pugi::xml_node paragraph) {
    widest = std::max(widest, ParagraphWidth(paragraph, styles));
  });
  return FittedCellWidth(widest);
}

// Returns the w:sectPr of the section that holds node (a body-level element): that of the
// next paragraph ending a section, else the body's own.
pugi::xml_node SectionOf(pugi::xml_node node, pugi::xml_node body) {
  for (pugi::xml_node next = node.next_sibling(); next; next = next.next_sibling()) {
    if (pugi::xml_node sect = next.child("w:pPr").child("w:sectPr")) return sect;
  }
  return body.child("w:sectPr");
}

// Sets the width in twips of a width element (w:gridCol; w:tcW with its type).
void SetWidth(pugi::xml_node element, long twips, bool withType) {
  pugi::xml_attribute w = element.attribute("w:w");
  if (!w) w = element.append_attribute("w:w");
  w.set_value(std::to_string(twips).c_str());
  if (!withType) return;
  pugi::xml_attribute type = element.attribute("w:type");
  if (!type) type = element.append_attribute("w:type");
  type.set_value("dxa");
}

}  // namespace

long TextWidthOf(pugi::xml_node sectPr) {
  long width = sectPr.child("w:pgSz").attribute("w:w").as_int(11906) -
               sectPr.child("w:pgMar").attribute("w:left").as_int(1134) -
               sectPr.child("w:pgMar").attribute("w:right").as_int(1134);
  return width < 720 ? 9638 : width;
}

bool FitsContents(pugi::xml_node table) {
  pugi::xml_node props = table.child("w:tblPr");
  return std::string_view(props.child("w:tblLayout").attribute("w:type").value()) == "autofit" &&
         std::string_view(props.child("w:tblW").attribute("w:type").value()) == "auto";
}

void FitToContents(pugi::xml_node table, long textWidth, const Styles& styles) {
  std::vector<long> wanted;
  std::vector<pugi::xml_node> rows;
  ForEachThroughWrappers(table, "tr", [&](pugi::xml_node row) { rows.push_back(row); });
  if (rows.empty()) return;
  for (pugi::xml_node row : rows) {
    size_t column = 0;
    ForEachThroughWrappers(row, "tc", [&](pugi::xml_node cell) {
      long span = SpanOf(cell);
      if (wanted.size() < column + static_cast<size_t>(span)) {
        wanted.resize(column + static_cast<size_t>(span), kFittedMinimumColumn);
      }
      if (span == 1) wanted[column] = std::max(wanted[column], CellWidth(cell, styles));
      column += static_cast<size_t>(span);
    });
  }
  if (wanted.empty()) return;
  std::vector<long> widths = FitColumnWidths(wanted, textWidth);
  pugi::xml_node grid = table.child("w:tblGrid");
  if (!grid) grid = table.insert_child_after("w:tblGrid", table.child("w:tblPr"));
  while (grid.first_child()) grid.remove_child(grid.first_child());
  for (long width : widths) SetWidth(grid.append_child("w:gridCol"), width, false);
  for (pugi::xml_node row : rows) {
    size_t column = 0;
    ForEachThroughWrappers(row, "tc", [&](pugi::xml_node cell) {
      size_t span = static_cast<size_t>(SpanOf(cell));
      size_t end = std::min(widths.size(), column + span);
      long width = 0;
      for (size_t c = column; c < end; ++c) width += widths[c];
      column += span;
      pugi::xml_node props = cell.child("w:tcPr");
      if (!props) props = cell.prepend_child("w:tcPr");
      pugi::xml_node cellWidth = props.child("w:tcW");
      if (!cellWidth) {
        // w:tcW comes first among the cell properties, after a change-tracking record only.
        pugi::xml_node before = props.child("w:cnfStyle");
        cellWidth =
            before ? props.insert_child_after("w:tcW", before) : props.prepend_child("w:tcW");
      }
      SetWidth(cellWidth, width, true);
    });
  }
}

void FitContentTables(pugi::xml_node body, const Styles& styles) {
  ForEachThroughWrappers(body, "tbl", [&](pugi::xml_node table) {
    if (FitsContents(table)) FitToContents(table, TextWidthOf(SectionOf(table, body)), styles);
  });
}

}  // namespace quillon::docx
