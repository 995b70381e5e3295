#include "wordhost/docx/Borders.h"

#include <string_view>
#include <vector>

#include "addin/host/Enumerations.h"
#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/Tables.h"

namespace quillon::docx {
namespace {

// WordprocessingML border values by WdLineStyle.
constexpr const char* kLineValues[] = {"nil",    "single",  "dotted",     "dashSmallGap",
                                       "dashed", "dotDash", "dotDotDash", "double"};

// Children of w:tcBorders in schema order.
constexpr const char* kBorderOrder[] = {"w:top",     "w:left",    "w:bottom", "w:right",
                                        "w:insideH", "w:insideV", "w:tl2br",  "w:tr2bl"};

// Children of w:tcPr that come after w:tcBorders.
constexpr const char* kAfterBorders[] = {
    "w:shd",      "w:noWrap",  "w:tcMar",   "w:textDirection", "w:tcFitText", "w:vAlign",
    "w:hideMark", "w:headers", "w:cellIns", "w:cellDel",       "w:cellMerge", "w:tcPrChange"};

pugi::xml_node ChildBefore(pugi::xml_node parent, const char* name,
                           std::initializer_list<const char*> following) {
  if (pugi::xml_node existing = parent.child(name)) return existing;
  for (const char* next : following) {
    if (pugi::xml_node before = parent.child(next)) return parent.insert_child_before(name, before);
  }
  return parent.append_child(name);
}

pugi::xml_node CellBorders(pugi::xml_node cell) {
  pugi::xml_node props = cell.child("w:tcPr");
  if (!props) props = cell.prepend_child("w:tcPr");
  return ChildBefore(props, "w:tcBorders",
                     {kAfterBorders[0], kAfterBorders[1], kAfterBorders[2], kAfterBorders[3],
                      kAfterBorders[4], kAfterBorders[5], kAfterBorders[6], kAfterBorders[7],
                      kAfterBorders[8], kAfterBorders[9], kAfterBorders[10], kAfterBorders[11]});
}

void SetBorder(pugi::xml_node cell, const char* side, int style) {
  pugi::xml_node borders = CellBorders(cell);
  pugi::xml_node border = borders.child(side);
  if (!border) {
    // Keep schema order: insert before the first side that follows this one.
    size_t at = 0;
    while (std::string_view(kBorderOrder[at]) != side) ++at;
    pugi::xml_node before;
    for (size_t k = at + 1; k < std::size(kBorderOrder) && !before; ++k) {
      before = borders.child(kBorderOrder[k]);
    }
    border = before ? borders.insert_child_before(side, before) : borders.append_child(side);
  }
  border.remove_attributes();
  border.append_attribute("w:val") = kLineValues[style];
  if (style != host::wdLineStyleNone) {
    border.append_attribute("w:sz") = "4";
    border.append_attribute("w:space") = "0";
    border.append_attribute("w:color") = "auto";
  }
}

}  // namespace

int Border::LineStyle() const {
  std::vector<pugi::xml_node> cells =
      CellsIn(document_, document_.selection().Start(), document_.selection().End());
  if (cells.empty()) return host::wdLineStyleNone;
  const char* side = kBorderOrder[0];
  switch (which_) {
    case host::wdBorderLeft:
      side = "w:left";
      break;
    case host::wdBorderBottom:
    case host::wdBorderHorizontal:
      side = "w:bottom";
      break;
    case host::wdBorderRight:
    case host::wdBorderVertical:
      side = "w:right";
      break;
    case host::wdBorderDiagonalDown:
      side = "w:tl2br";
      break;
    case host::wdBorderDiagonalUp:
      side = "w:tr2bl";
      break;
    default:
      break;
  }
  std::string_view value =
      cells.front().child("w:tcPr").child("w:tcBorders").child(side).attribute("w:val").value();
  for (int i = 0; i < static_cast<int>(std::size(kLineValues)); ++i) {
    if (value == kLineValues[i]) return i;
  }
  return host::wdLineStyleNone;
}

void Border::SetLineStyle(int style) {
  if (style < 0 || style >= static_cast<int>(std::size(kLineValues))) {
    throw host::HostError(host::kErrBadParameter,
                          "line style " + std::to_string(style) + " is not supported");
  }
  std::vector<pugi::xml_node> cells =
      CellsIn(document_, document_.selection().Start(), document_.selection().End());
  if (cells.empty()) {
    throw host::HostError(host::kErrNotAvailable, "the selection is not in a table");
  }
  for (size_t i = 0; i < cells.size(); ++i) {
    pugi::xml_node cell = cells[i];
    bool firstInRow = i == 0 || cells[i - 1].parent() != cell.parent();
    bool lastInRow = i + 1 == cells.size() || cells[i + 1].parent() != cell.parent();
    bool lastRow = cells.back().parent() == cell.parent();
    switch (which_) {
      case host::wdBorderTop:
        SetBorder(cell, "w:top", style);
        break;
      case host::wdBorderBottom:
        SetBorder(cell, "w:bottom", style);
        break;
      case host::wdBorderLeft:
        if (firstInRow) SetBorder(cell, "w:left", style);
        break;
      case host::wdBorderRight:
        if (lastInRow) SetBorder(cell, "w:right", style);
        break;
      case host::wdBorderHorizontal:
        if (!lastRow) SetBorder(cell, "w:bottom", style);
        break;
      case host::wdBorderVertical:
        if (!lastInRow) SetBorder(cell, "w:right", style);
        if (!firstInRow) SetBorder(cell, "w:left", style);
        break;
      case host::wdBorderDiagonalDown:
        SetBorder(cell, "w:tl2br", style);
        break;
      case host::wdBorderDiagonalUp:
        SetBorder(cell, "w:tr2bl", style);
        break;
      default:
        break;
    }
  }
  document_.MarkModified();
}

std::unique_ptr<host::Border> SelectionBorders::Item(int which) {
  if (which > host::wdBorderTop || which < host::wdBorderDiagonalUp) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  return std::make_unique<docx::Border>(document_, which);
}

}  // namespace quillon::docx
