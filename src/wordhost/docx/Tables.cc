#include "wordhost/docx/Tables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "addin/host/HostError.h"
#include "base/Text.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Range.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/TableFit.h"
#include "wordhost/docx/Wml.h"

namespace quillon::docx {
namespace {

// Returns the tables, rows or cells directly in container, looking through the wrappers around
// them.
std::vector<pugi::xml_node> ChildrenThroughWrappers(pugi::xml_node container, const char* local) {
  std::vector<pugi::xml_node> found;
  ForEachThroughWrappers(container, local, [&](pugi::xml_node child) { found.push_back(child); });
  return found;
}

// Returns the cell a unit belongs to: its own node for a cell without paragraphs, else the
// nearest cell around its paragraph.
pugi::xml_node CellOf(const Story& story, size_t unit) {
  for (pugi::xml_node n = story.NodeOf(unit); n; n = n.parent()) {
    if (IsW(n, "tc")) return n;
  }
  return {};
}

pugi::xml_node OutermostTable(pugi::xml_node node) {
  pugi::xml_node found;
  for (pugi::xml_node n = node; n; n = n.parent()) {
    if (IsW(n, "tbl")) found = n;
  }
  return found;
}

pugi::xml_node FirstParagraph(pugi::xml_node node) {
  return node.find_node([](pugi::xml_node n) { return IsW(n, "p"); });
}

}  // namespace

std::vector<pugi::xml_node> CellsIn(const Document& document, long start, long end) {
  const Story& story = document.story();
  std::vector<pugi::xml_node> cells;
  long last = std::max(start, end - 1);
  last = std::min(last, story.Length() - 1);
  for (size_t unit = story.UnitAt(std::min(start, story.Length() - 1));
       unit < story.UnitCount() && story.UnitStart(unit) <= last; ++unit) {
    if (story.KindOf(unit) == UnitKind::kRowEnd) continue;
    pugi::xml_node cell = CellOf(story, unit);
    if (cell && std::find(cells.begin(), cells.end(), cell) == cells.end()) cells.push_back(cell);
  }
  return cells;
}

pugi::xml_node Table::Properties() {
  pugi::xml_node props = table_.child("w:tblPr");
  if (!props) props = table_.prepend_child("w:tblPr");
  return props;
}

std::string Table::Style() const {
  std::string id = table_.child("w:tblPr").child("w:tblStyle").attribute("w:val").value();
  if (id.empty()) return "Table Normal";
  return document_.styles().NameOf(id);
}

void Table::SetStyle(const std::string& name) {
  Styles& styles = document_.styles();
  std::string id = styles.TableStyleId(name);
  if (id.empty() && CompareTextIgnoreCase(name, "Table Grid") == 0) id = styles.EnsureTableGrid();
  if (id.empty()) {
    throw host::HostError(host::kErrNoSuchStyle, "the table style \"" + name + "\" does not exist");
  }
  pugi::xml_node props = Properties();
  pugi::xml_node style = props.child("w:tblStyle");
  if (!style) style = props.prepend_child("w:tblStyle");
  if (!style.attribute("w:val")) style.append_attribute("w:val");
  style.attribute("w:val").set_value(id.c_str());
  document_.MarkModified();
}

void Table::SetLook(const char* attribute, unsigned bit, bool on) {
  pugi::xml_node props = Properties();
  pugi::xml_node look = props.child("w:tblLook");
  if (!look) {
    pugi::xml_node before = props.child("w:tblCaption");
    if (!before) before = props.child("w:tblDescription");
    if (!before) before = props.child("w:tblPrChange");
    look =
        before ? props.insert_child_before("w:tblLook", before) : props.append_child("w:tblLook");
    look.append_attribute("w:val") = "0000";
  }
  std::string name = std::string("w:") + attribute;
  if (!look.attribute(name.c_str())) look.append_attribute(name.c_str());
  look.attribute(name.c_str()).set_value(on ? "1" : "0");
  // Older readers take the options from the hexadecimal mask; keep it in step.
  if (pugi::xml_attribute mask = look.attribute("w:val")) {
    unsigned value = static_cast<unsigned>(std::strtoul(mask.value(), nullptr, 16));
    value = on ? (value | bit) : (value & ~bit);
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    mask.set_value(text);
  }
  document_.MarkModified();
}

long Table::RowCount() const {
  return static_cast<long>(ChildrenThroughWrappers(table_, "tr").size());
}

std::vector<std::unique_ptr<host::Range>> Table::RowCells(long row) const {
  std::vector<pugi::xml_node> rows = ChildrenThroughWrappers(table_, "tr");
  if (row < 1 || static_cast<size_t>(row) > rows.size()) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  std::vector<pugi::xml_node> cells =
      ChildrenThroughWrappers(rows[static_cast<size_t>(row - 1)], "tc");
  const Story& story = document_.story();
  std::vector<std::unique_ptr<host::Range>> ranges;
  for (pugi::xml_node cell : cells) {
    pugi::xml_node paragraph = FirstParagraph(cell);
    size_t first = story.UnitOf(paragraph ? paragraph : cell);
    if (first == story.UnitCount()) {
      throw host::HostError(host::kErrObjectDeleted, "the table has been deleted");
    }
    // The cell's end mark closes its last paragraph; nested tables' cells end on the way.
    size_t last = first;
    while (last + 1 < story.UnitCount() &&
           (story.KindOf(last) != UnitKind::kCellEnd || CellOf(story, last) != cell)) {
      ++last;
    }
    long start = story.UnitStart(first);
    long end = story.UnitStart(last) + story.UnitLength(last) - 1;
    ranges.push_back(std::make_unique<docx::Range>(document_, start, end));
  }
  return ranges;
}

std::unique_ptr<host::Range> Table::Range() const {
  const Story& story = document_.story();
  std::vector<pugi::xml_node> rows = ChildrenThroughWrappers(table_, "tr");
  size_t first = story.UnitOf(FirstParagraph(table_));
  size_t last = rows.empty() ? story.UnitCount() : story.UnitOf(rows.back());
  if (first == story.UnitCount() || last == story.UnitCount()) {
    throw host::HostError(host::kErrObjectDeleted, "the table has been deleted");
  }
  return std::make_unique<docx::Range>(document_, story.UnitStart(first),
                                       story.UnitStart(last) + 1);
}

void Table::Delete() {
  std::unique_ptr<host::Range> range = Range();
  long start = range->Start();
  long end = range->End();
  FieldIndex& fields = document_.fieldIndex();
  Story& story = document_.story();
  size_t first = fields.LowerBound(start, story);
  size_t last = fields.LowerBound(end, story);
  fields.Erase(first, last);
  story.RemoveElement(table_);
  document_.NoteEdit(start, end, 0);
}

std::vector<pugi::xml_node> DocumentTables::List() const {
  pugi::xml_node body = document_.story().NodeOf(0);
  while (body && !IsW(body, "body")) body = body.parent();
  return ChildrenThroughWrappers(body, "tbl");
}

long DocumentTables::Count() const {
  return static_cast<long>(List().size());
}

std::unique_ptr<host::Table> DocumentTables::Item(long index) const {
  std::vector<pugi::xml_node> tables = List();
  if (index < 1 || static_cast<size_t>(index) > tables.size()) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  return std::make_unique<docx::Table>(document_, tables[static_cast<size_t>(index - 1)]);
}

std::unique_ptr<host::Table> DocumentTables::Add(
    const host::Range& range, long rows, long columns,
    host::Optional<host::WdDefaultTableBehavior> defaultBehavior,
    host::Optional<host::WdAutoFitBehavior> autoFitBehavior) {
  host::WdDefaultTableBehavior behavior = defaultBehavior.value_or(host::wdWord8TableBehavior);
  host::WdAutoFitBehavior autoFit = autoFitBehavior.value_or(host::wdAutoFitFixed);
  long start = range.Start();
  long end = range.End();
  Story& story = document_.story();
  if (rows < 1 || columns < 1 || rows > 32767 || columns > 63) {
    throw host::HostError(host::kErrBadParameter,
                          "a table needs 1 to 32767 rows and 1 to 63 columns");
  }
  document_.CheckEdit(start, end);
  size_t unit = story.UnitAt(std::min(start, story.Length() - 1));
  if (story.KindOf(unit) != UnitKind::kParagraph || !IsW(story.NodeOf(unit).parent(), "body")) {
    throw host::HostError(host::kErrNotAvailable, "a table cannot be added inside a table");
  }
  document_.RemoveContent(start, end);
  unit = story.UnitAt(start);
  pugi::xml_node paragraph = story.NodeOf(unit);
  long offset = start - story.UnitStart(unit);
  bool empty = story.UnitLength(unit) == 1;
  bool lastInBody = !paragraph.next_sibling("w:p") && !paragraph.next_sibling("w:tbl");
  bool replace = empty && !lastInBody && !paragraph.child("w:pPr").child("w:sectPr");
  if (!empty && offset > 0) {
    // The table goes between the two halves of the paragraph.
    document_.SplitParagraph(start);
    ++start;
    unit = story.UnitAt(start);
    paragraph = story.NodeOf(unit);
  }
  pugi::xml_node body = paragraph.parent();
  unit = story.UnitOf(paragraph);
  pugi::xml_node table = body.insert_child_before("w:tbl", paragraph);
  pugi::xml_node props = table.append_child("w:tblPr");
  if (behavior == host::wdWord9TableBehavior) {
    std::string styleId = document_.styles().EnsureTableGrid();
    props.append_child("w:tblStyle").append_attribute("w:val") = styleId.c_str();
  }
  pugi::xml_node width = props.append_child("w:tblW");
  width.append_attribute("w:w") = autoFit == host::wdAutoFitWindow ? "5000" : "0";
  width.append_attribute("w:type") = autoFit == host::wdAutoFitWindow ? "pct" : "auto";
  if (behavior != host::wdWord9TableBehavior) {
    pugi::xml_node borders = props.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
      pugi::xml_node b = borders.append_child(side);
      b.append_attribute("w:val") = "single";
      b.append_attribute("w:sz") = "4";
      b.append_attribute("w:space") = "0";
      b.append_attribute("w:color") = "auto";
    }
  }
  if (autoFit != host::wdAutoFitWindow) {
    // A table fitting its contents gets its widths from its text when it is written
    // (FitContentTables).
    props.append_child("w:tblLayout").append_attribute("w:type") =
        autoFit == host::wdAutoFitFixed ? "fixed" : "autofit";
  }
  pugi::xml_node look = props.append_child("w:tblLook");
  look.append_attribute("w:val") = "04A0";
  for (auto [name, value] : {std::pair{"w:firstRow", "1"},
                             {"w:lastRow", "0"},
                             {"w:firstColumn", "1"},
                             {"w:lastColumn", "0"},
                             {"w:noHBand", "0"},
                             {"w:noVBand", "1"}}) {
    look.append_attribute(name) = value;
  }
  // The grid shares the text width between the columns.
  long textWidth = TextWidthOf(body.child("w:sectPr"));
  std::string columnWidth = std::to_string(textWidth / columns);
  pugi::xml_node grid = table.append_child("w:tblGrid");
  for (long c = 0; c < columns; ++c) {
    grid.append_child("w:gridCol").append_attribute("w:w") = columnWidth.c_str();
  }
  pugi::xml_node paragraphProps = paragraph.child("w:pPr");
  for (long r = 0; r < rows; ++r) {
    pugi::xml_node row = table.append_child("w:tr");
    for (long c = 0; c < columns; ++c) {
      pugi::xml_node cell = row.append_child("w:tc");
      pugi::xml_node cellWidth = cell.append_child("w:tcPr").append_child("w:tcW");
      bool fixed = autoFit == host::wdAutoFitFixed;
      cellWidth.append_attribute("w:w") = fixed ? columnWidth.c_str() : "0";
      cellWidth.append_attribute("w:type") = fixed ? "dxa" : "auto";
      pugi::xml_node p = cell.append_child("w:p");
      if (paragraphProps) {
        pugi::xml_node copy = p.append_copy(paragraphProps);
        copy.remove_child("w:sectPr");
        copy.remove_child("w:pageBreakBefore");
      }
    }
  }
  story.InsertUnits(unit, table);
  if (replace) story.RemoveElement(paragraph);
  long tableLength = rows * (columns + 1);
  document_.NoteEdit(start, start + (replace ? 1 : 0), tableLength);
  document_.selection().SetRange(start, start);
  return std::make_unique<docx::Table>(document_, table);
}

std::vector<pugi::xml_node> SelectionTables::List() const {
  std::vector<pugi::xml_node> tables;
  for (pugi::xml_node cell :
       CellsIn(document_, document_.selection().Start(), document_.selection().End())) {
    pugi::xml_node table = OutermostTable(cell);
    if (std::find(tables.begin(), tables.end(), table) == tables.end()) tables.push_back(table);
  }
  return tables;
}

pugi::xml_node AddRow(Document& document, pugi::xml_node table) {
  Story& story = document.story();
  pugi::xml_node last;
  for (pugi::xml_node row : table.children("w:tr")) last = row;
  if (!last) throw host::HostError(host::kErrNotAvailable, "the table has no row to copy");
  pugi::xml_node row = table.insert_copy_after(last, last);
  for (pugi::xml_node cell : row.children("w:tc")) {
    pugi::xml_node keep = cell.child("w:p");
    for (pugi::xml_node child = cell.first_child(); child;) {
      pugi::xml_node next = child.next_sibling();
      if (child != keep && !IsW(child, "tcPr")) cell.remove_child(child);
      child = next;
    }
    if (!keep) keep = cell.append_child("w:p");
    for (pugi::xml_node child = keep.first_child(); child;) {
      pugi::xml_node next = child.next_sibling();
      if (!IsW(child, "pPr")) keep.remove_child(child);
      child = next;
    }
  }
  // The new row's units go right after the last row's end.
  size_t lastEnd = story.UnitOf(last);
  long at = story.UnitStart(lastEnd) + 1;
  long columns = 0;
  for (pugi::xml_node cell : row.children("w:tc")) columns += cell ? 1 : 0;
  story.InsertUnits(lastEnd + 1, row);
  document.NoteEdit(at, at, columns + 1);
  return row.child("w:tc");
}

}  // namespace quillon::docx
