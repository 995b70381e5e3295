#include "wordhost/docx/Tables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "addin/host/HostError.h"
#include "base/Text.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Range.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {
namespace {

// Appends the children of container named local (w:tbl, w:tr, w:tc), looking through content
// controls and custom XML around them.
void Collect(pugi::xml_node container, const char* local, std::vector<pugi::xml_node>& out) {
  for (pugi::xml_node child : container.children()) {
    if (IsW(child, local)) {
      out.push_back(child);
    } else if (IsW(child, "sdt")) {
      Collect(child.child("w:sdtContent"), local, out);
    } else if (IsW(child, "customXml")) {
      Collect(child, local, out);
    }
  }
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
    pugi::xml_node node = story.NodeOf(unit);
    pugi::xml_node cell = IsW(node, "tc") ? node : pugi::xml_node();
    for (pugi::xml_node n = node.parent(); !cell && n; n = n.parent()) {
      if (IsW(n, "tc")) cell = n;
    }
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
  std::vector<pugi::xml_node> rows;
  Collect(table_, "tr", rows);
  return static_cast<long>(rows.size());
}

std::vector<std::unique_ptr<host::Range>> Table::RowCells(long row) const {
  std::vector<pugi::xml_node> rows;
  Collect(table_, "tr", rows);
  if (row < 1 || static_cast<size_t>(row) > rows.size()) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  std::vector<pugi::xml_node> cells;
  Collect(rows[static_cast<size_t>(row - 1)], "tc", cells);
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
  std::vector<pugi::xml_node> rows;
  Collect(table_, "tr", rows);
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
  document_.RemoveTable(table_, range->Start(), range->End());
}

std::vector<pugi::xml_node> DocumentTables::List() const {
  std::vector<pugi::xml_node> tables;
  pugi::xml_node body = document_.story().NodeOf(0);
  while (body && !IsW(body, "body")) body = body.parent();
  Collect(body, "tbl", tables);
  return tables;
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

std::unique_ptr<host::Table> DocumentTables::Add(const host::Range& range, long rows, long columns,
                                                 host::Optional<int> defaultBehavior,
                                                 host::Optional<int> autoFitBehavior) {
  pugi::xml_node table = document_.AddTable(range.Start(), range.End(), rows, columns,
                                            defaultBehavior.value_or(host::wdWord8TableBehavior),
                                            autoFitBehavior.value_or(host::wdAutoFitFixed));
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

}  // namespace quillon::docx
