#include "hosts/libreoffice/WriterTables.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <algorithm>
#include <set>
#include <tuple>

#include "addin/host/HostError.h"
#include "hosts/libreoffice/WriterCalls.h"
#include "hosts/libreoffice/WriterRange.h"

namespace quillon::libreoffice {
namespace {

using css::uno::UNO_QUERY_THROW;

constexpr const char* kTableGrid = "Table Grid";

[[noreturn]] void NoSuchMember() {
  throw host::HostError(host::kErrNoSuchMember,
                        "the requested member of the collection does not exist");
}

long UnitEndPosition(const StoryUnit& unit) {
  return unit.start + unit.length;
}

// A table cell the selection covers.
struct Cell {
  size_t table;
  int row;
  int column;
  auto operator<=>(const Cell&) const = default;
};

std::vector<Cell> CellsIn(const WriterStory& story, long start, long end) {
  std::set<Cell> cells;
  const auto& units = story.units();
  for (size_t u = story.UnitAt(start); u < units.size(); ++u) {
    const StoryUnit& unit = units[u];
    if (unit.start > end || (unit.start == end && end > start)) break;
    if (unit.table < 0 || unit.end == UnitEnd::kRow) continue;
    cells.insert({static_cast<size_t>(unit.table), unit.row, unit.column});
  }
  return {cells.begin(), cells.end()};
}

class WriterBorder : public host::Border {
 public:
  WriterBorder(WriterDocument& document, int which) : document_(document), which_(which) {}

  int LineStyle() const override {
    std::vector<std::pair<Reference<css::beans::XPropertySet>, const char*>> sides = Sides();
    if (sides.empty()) return host::wdLineStyleNone;
    return Uno("reading a border", [&] {
      css::table::BorderLine2 line;
      sides.front().first->getPropertyValue(OUString::createFromAscii(sides.front().second)) >>=
          line;
      return line.OuterLineWidth + line.InnerLineWidth + line.LineWidth > 0
                 ? host::wdLineStyleSingle
                 : host::wdLineStyleNone;
    });
  }

  void SetLineStyle(int style) override {
    if (style < host::wdLineStyleNone || style > host::wdLineStyleDouble) {
      throw host::HostError(host::kErrBadParameter,
                            "line style " + std::to_string(style) + " is not supported");
    }
    css::table::BorderLine2 line;
    if (style != host::wdLineStyleNone) {
      // Half a point, Word's default rule.
      line.OuterLineWidth = 18;
      line.LineWidth = 18;
      line.LineStyle = style == host::wdLineStyleDouble ? 3 : style == host::wdLineStyleDot ? 1 : 0;
    }
    std::vector<std::pair<Reference<css::beans::XPropertySet>, const char*>> sides = Sides();
    Uno("setting a border", [&] {
      for (auto& [cell, property] : sides) {
        cell->setPropertyValue(OUString::createFromAscii(property), css::uno::Any(line));
      }
    });
    if (!sides.empty()) document_.Changed();
  }

 private:
  // The cell properties this border stands for on the selected block of cells. Writer's
  // cells have no diagonal rules, so those name none.
  std::vector<std::pair<Reference<css::beans::XPropertySet>, const char*>> Sides() const {
    std::vector<Cell> cells = CellsIn(document_.story(), document_.Start(), document_.End());
    if (cells.empty()) {
      throw host::HostError(host::kErrNotAvailable, "no table cell is selected");
    }
    int top = cells.front().row, bottom = top, left = cells.front().column, right = left;
    for (const Cell& c : cells) {
      top = std::min(top, c.row);
      bottom = std::max(bottom, c.row);
      left = std::min(left, c.column);
      right = std::max(right, c.column);
    }
    std::vector<std::pair<Reference<css::beans::XPropertySet>, const char*>> sides;
    const StoryTable& table = document_.story().tables()[cells.front().table];
    for (const Cell& c : cells) {
      if (c.table != cells.front().table) continue;
      std::vector<const char*> properties;
      switch (which_) {
        case host::wdBorderTop:
          if (c.row == top) properties.push_back("TopBorder");
          break;
        case host::wdBorderBottom:
          if (c.row == bottom) properties.push_back("BottomBorder");
          break;
        case host::wdBorderLeft:
          if (c.column == left) properties.push_back("LeftBorder");
          break;
        case host::wdBorderRight:
          if (c.column == right) properties.push_back("RightBorder");
          break;
        case host::wdBorderVertical:
          if (c.column != left) properties.push_back("LeftBorder");
          if (c.column != right) properties.push_back("RightBorder");
          break;
        case host::wdBorderHorizontal:
          if (c.row != top) properties.push_back("TopBorder");
          if (c.row != bottom) properties.push_back("BottomBorder");
          break;
        default:
          break;
      }
      if (properties.empty()) continue;
      if (static_cast<size_t>(c.column) >= table.firstRowColumns.size()) continue;
      OUString name =
          table.firstRowColumns[static_cast<size_t>(c.column)] + OUString::number(c.row + 1);
      Reference<css::beans::XPropertySet> cell = Uno("reading a cell", [&] {
        return Reference<css::beans::XPropertySet>(table.table->getCellByName(name),
                                                   UNO_QUERY_THROW);
      });
      for (const char* property : properties) sides.emplace_back(cell, property);
    }
    return sides;
  }

  WriterDocument& document_;
  int which_;
};

}  // namespace

WriterTable::WriterTable(WriterDocument& document, std::string name)
    : document_(document), name_(std::move(name)) {}

size_t WriterTable::Index() const {
  size_t index = document_.story().TableNamed(name_);
  if (index == document_.story().tables().size()) {
    throw host::HostError(host::kErrObjectDeleted, "the table is deleted");
  }
  return index;
}

std::string WriterTable::Style() const {
  const std::string& style = document_.story().tables()[Index()].style;
  return style.empty() ? "Table Normal" : style;
}

void WriterTable::SetStyle(const std::string& name) {
  // Writer has no table styles of Word's kind; a new Writer table is ruled all round, which
  // is what Word's "Table Grid" gives.
  if (name != kTableGrid) {
    throw host::HostError(host::kErrNoSuchStyle, "the table style " + name + " does not exist");
  }
  document_.story().SetTableStyle(Index(), name);
}

long WriterTable::RowCount() const {
  return document_.story().tables()[Index()].rows;
}

std::vector<std::unique_ptr<host::Range>> WriterTable::RowCells(long row) const {
  size_t index = Index();
  const WriterStory& story = document_.story();
  const StoryTable& table = story.tables()[index];
  if (row < 1 || row > table.rows) NoSuchMember();
  std::vector<std::unique_ptr<host::Range>> cells;
  long cellStart = -1;
  for (size_t u = table.firstUnit; u <= table.lastUnit; ++u) {
    const StoryUnit& unit = story.units()[u];
    if (unit.row != row - 1) {
      if (unit.row > row - 1) break;
      continue;
    }
    if (unit.end == UnitEnd::kRow) break;
    if (cellStart < 0) cellStart = unit.start;
    if (unit.end == UnitEnd::kCell) {
      cells.push_back(
          std::make_unique<WriterRange>(document_, cellStart, UnitEndPosition(unit) - 1));
      cellStart = -1;
    }
  }
  return cells;
}

std::unique_ptr<host::Range> WriterTable::Range() const {
  const WriterStory& story = document_.story();
  const StoryTable& table = story.tables()[Index()];
  return std::make_unique<WriterRange>(document_, story.units()[table.firstUnit].start,
                                       UnitEndPosition(story.units()[table.lastUnit]));
}

void WriterTable::Delete() {
  document_.RemoveTable(Index());
}

long WriterTables::Count() const {
  return static_cast<long>(document_.story().tables().size());
}

std::unique_ptr<host::Table> WriterTables::Item(long index) const {
  const auto& tables = document_.story().tables();
  if (index < 1 || static_cast<size_t>(index) > tables.size()) NoSuchMember();
  return std::make_unique<WriterTable>(document_, tables[static_cast<size_t>(index - 1)].name);
}

std::unique_ptr<host::Table> WriterTables::Add(
    const host::Range& range, long rows, long columns,
    host::Optional<host::WdDefaultTableBehavior> defaultBehavior,
    host::Optional<host::WdAutoFitBehavior> autoFit) {
  if (rows < 1 || columns < 1 || rows > 32767 || columns > 63) {
    throw host::HostError(host::kErrBadParameter,
                          "a table needs 1 to 32767 rows and 1 to 63 columns");
  }
  long start = range.Start();
  if (range.End() > start) document_.Replace(start, range.End(), "");
  size_t index = document_.AddTable(start, rows, columns);
  if (defaultBehavior.value_or(host::wdWord8TableBehavior) == host::wdWord9TableBehavior) {
    document_.story().SetTableStyle(index, kTableGrid);
  }
  // Writer has no fitting of columns to their contents: the table is fitted by its text once
  // the routine is done (FitTablesToContents).
  if (autoFit.value_or(host::wdAutoFitFixed) == host::wdAutoFitContent) {
    document_.story().SetTableFitsContents(index);
  }
  return std::make_unique<WriterTable>(document_, document_.story().tables()[index].name);
}

std::vector<size_t> WriterSelectionTables::Touched() const {
  std::vector<size_t> tables;
  for (const Cell& cell : CellsIn(document_.story(), document_.Start(), document_.End())) {
    if (std::find(tables.begin(), tables.end(), cell.table) == tables.end()) {
      tables.push_back(cell.table);
    }
  }
  return tables;
}

long WriterSelectionTables::Count() const {
  return static_cast<long>(Touched().size());
}

std::unique_ptr<host::Table> WriterSelectionTables::Item(long index) const {
  std::vector<size_t> tables = Touched();
  if (index < 1 || static_cast<size_t>(index) > tables.size()) NoSuchMember();
  return std::make_unique<WriterTable>(
      document_, document_.story().tables()[tables[static_cast<size_t>(index - 1)]].name);
}

std::unique_ptr<host::Border> WriterBorders::Item(int which) {
  if (which < host::wdBorderDiagonalUp || which > host::wdBorderTop) {
    throw host::HostError(host::kErrNoSuchMember,
                          "border " + std::to_string(which) + " does not exist");
  }
  return std::make_unique<WriterBorder>(document_, which);
}

long WriterParagraphs::Count() const {
  long count = 0;
  for (const StoryUnit& unit : document_.story().units()) count += unit.end != UnitEnd::kRow;
  return count;
}

namespace {

class WriterParagraph : public host::Paragraph {
 public:
  WriterParagraph(WriterDocument& document, long start, long end)
      : document_(document), start_(start), end_(end) {}
  std::unique_ptr<host::Range> Range() const override {
    return std::make_unique<WriterRange>(document_, start_, end_);
  }

 private:
  WriterDocument& document_;
  long start_;
  long end_;
};

}  // namespace

std::unique_ptr<host::Paragraph> WriterParagraphs::Item(long index) const {
  const auto& units = document_.story().units();
  long count = Count();
  if (index < 1 || index > count) NoSuchMember();
  // Counted from the nearer end: the routines ask for the last paragraph.
  long n = 0;
  if (index > count / 2) {
    n = count + 1;
    for (size_t u = units.size(); u-- > 0;) {
      if (units[u].end == UnitEnd::kRow) continue;
      if (--n == index) {
        return std::make_unique<WriterParagraph>(document_, units[u].start,
                                                 UnitEndPosition(units[u]));
      }
    }
  }
  for (const StoryUnit& unit : units) {
    if (unit.end == UnitEnd::kRow) continue;
    if (++n == index) {
      return std::make_unique<WriterParagraph>(document_, unit.start, UnitEndPosition(unit));
    }
  }
  NoSuchMember();
}

}  // namespace quillon::libreoffice
