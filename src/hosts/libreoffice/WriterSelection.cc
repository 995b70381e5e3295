#include "hosts/libreoffice/WriterSelection.h"

#include <algorithm>

#include "addin/host/HostError.h"
#include "addin/host/SelectionMoves.h"
#include "hosts/libreoffice/WriterRange.h"

namespace quillon::libreoffice {
namespace {

long Count(host::Optional<long> count) {
  return count.value_or(1);
}

bool Extends(host::Optional<int> extend) {
  return extend.value_or(host::wdMove) == host::wdExtend;
}

[[noreturn]] void UnsupportedUnit(int unit) {
  throw host::HostError(host::kErrBadParameter,
                        "unit " + std::to_string(unit) + " is not supported");
}

// Returns the unit of the first paragraph of cell (table, row, column), or units.size().
size_t FirstUnitOfCell(const WriterStory& story, size_t table, int row, int column) {
  const StoryTable& t = story.tables()[table];
  for (size_t u = t.firstUnit; u <= t.lastUnit; ++u) {
    const StoryUnit& unit = story.units()[u];
    if (unit.row == row && unit.column == column && unit.end != UnitEnd::kRow) return u;
  }
  return story.units().size();
}

}  // namespace

WriterSelection::WriterSelection(WriterDocument& document)
    : document_(document),
      fields_(document, true),
      tables_(document),
      borders_(document),
      find_(document) {}

std::string WriterSelection::Text() const {
  return document_.story().ShownText(Start(), End());
}

void WriterSelection::SetText(const std::string& text) {
  long start = Start();
  long written = document_.Replace(start, End(), text);
  document_.anchor = start;
  document_.active = start + written;
}

std::unique_ptr<host::Range> WriterSelection::Range() const {
  return std::make_unique<WriterRange>(document_, Start(), End());
}

long WriterSelection::Information(int item) const {
  if (item != host::wdActiveEndPageNumber) {
    throw host::HostError(host::kErrBadParameter,
                          "information item " + std::to_string(item) + " is not supported");
  }
  // The page of the selection's last character (of the insertion point when collapsed).
  long pos = End() > Start() ? End() - 1 : End();
  return document_.PageAt(pos);
}

long WriterSelection::MoveByCharacter(long count, bool extend) {
  return host::MoveByCharacter(document_.anchor, document_.active, count, extend,
                               document_.story().Length());
}

long WriterSelection::MoveByCell(long count) {
  const WriterStory& story = document_.story();
  long moved = 0;
  for (long i = 0; i < (count < 0 ? -count : count); ++i) {
    long pos = count > 0 ? End() : Start();
    const StoryUnit& unit = story.units()[story.UnitAt(std::min(pos, story.Length() - 1))];
    if (unit.table < 0 || unit.end == UnitEnd::kRow) {
      if (moved == 0) {
        throw host::HostError(host::kErrNotAvailable, "the selection is not in a table");
      }
      break;
    }
    size_t table = static_cast<size_t>(unit.table);
    int row = unit.row;
    int column = unit.column + (count > 0 ? 1 : -1);
    size_t target = FirstUnitOfCell(story, table, row, column);
    if (target == story.units().size()) {
      row += count > 0 ? 1 : -1;
      column = count > 0 ? 0 : static_cast<int>(story.tables()[table].firstRowColumns.size()) - 1;
      target = FirstUnitOfCell(story, table, row, column);
    }
    if (target == story.units().size() && count > 0) {
      document_.AddRow(table);
      target = FirstUnitOfCell(story, table, row, column);
    }
    if (target == story.units().size()) break;
    // Word selects what the cell holds, without its end mark.
    size_t end = target;
    while (end < story.units().size() && story.units()[end].end != UnitEnd::kCell) ++end;
    document_.anchor = story.units()[target].start;
    document_.active = story.units()[end].start + story.units()[end].length - 1;
    ++moved;
  }
  return moved;
}

long WriterSelection::MoveLeft(host::Optional<int> unit, host::Optional<long> count,
                               host::Optional<int> extend) {
  int u = unit.value_or(host::wdCharacter);
  if (u == host::wdCharacter) return MoveByCharacter(-Count(count), Extends(extend));
  if (u == host::wdCell) return MoveByCell(-Count(count));
  UnsupportedUnit(u);
}

long WriterSelection::MoveRight(host::Optional<int> unit, host::Optional<long> count,
                                host::Optional<int> extend) {
  int u = unit.value_or(host::wdCharacter);
  if (u == host::wdCharacter) return MoveByCharacter(Count(count), Extends(extend));
  if (u == host::wdCell) return MoveByCell(Count(count));
  UnsupportedUnit(u);
}

long WriterSelection::MoveUp(host::Optional<int> unit, host::Optional<long> count,
                             host::Optional<int> extend) {
  int u = unit.value_or(host::wdLine);
  if (u != host::wdLine) UnsupportedUnit(u);
  // As the .docx host does: the line above is the paragraph above, or the same cell of the
  // row above within a table, keeping the offset into the paragraph where it fits.
  const WriterStory& story = document_.story();
  const auto& units = story.units();
  long moved = 0;
  long pos = document_.active;
  for (long i = 0; i < Count(count); ++i) {
    size_t current = story.UnitAt(std::min(pos, story.Length() - 1));
    long offset = pos - units[current].start;
    size_t target = units.size();
    const StoryUnit& unit = units[current];
    if (unit.table >= 0 && unit.end != UnitEnd::kRow) {
      size_t table = static_cast<size_t>(unit.table);
      if (unit.row > 0) {
        target = FirstUnitOfCell(story, table, unit.row - 1, unit.column);
        if (target == units.size()) target = FirstUnitOfCell(story, table, unit.row - 1, 0);
      } else if (story.tables()[table].firstUnit > 0) {
        target = story.tables()[table].firstUnit - 1;
      }
    } else if (current > 0) {
      target = current - 1;
      if (units[target].end == UnitEnd::kRow) {
        // The paragraph after a table: the first cell of the table's last row.
        target =
            FirstUnitOfCell(story, static_cast<size_t>(units[target].table), units[target].row, 0);
      }
    }
    if (target >= units.size()) break;
    pos = units[target].start + std::min(offset, units[target].length - 1);
    ++moved;
  }
  document_.active = pos;
  if (!Extends(extend)) document_.anchor = pos;
  return moved;
}

void WriterSelection::TypeText(const std::string& text) {
  long start = Start();
  long written = document_.Replace(start, End(), text);
  document_.anchor = document_.active = start + written;
}

void WriterSelection::TypeParagraph() {
  long start = Start();
  if (End() > start) document_.Replace(start, End(), "");
  document_.SplitParagraph(start);
  document_.anchor = document_.active = start + 1;
}

}  // namespace quillon::libreoffice
