#include "wordhost/docx/Selection.h"

#include <algorithm>
#include <vector>

#include "addin/host/HostError.h"
#include "addin/host/SelectionMoves.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Range.h"
#include "wordhost/docx/StoryText.h"
#include "wordhost/docx/Wml.h"

namespace quillon::docx {
namespace {

pugi::xml_node EnclosingCell(const Story& story, long pos) {
  size_t unit = story.UnitAt(std::min(pos, story.Length() - 1));
  pugi::xml_node node = story.NodeOf(unit);
  if (story.KindOf(unit) == UnitKind::kRowEnd) return {};
  for (pugi::xml_node n = node; n; n = n.parent()) {
    if (IsW(n, "tc")) return n;
  }
  return {};
}

pugi::xml_node NextCell(pugi::xml_node cell) {
  for (pugi::xml_node n = cell.next_sibling(); n; n = n.next_sibling()) {
    if (IsW(n, "tc")) return n;
  }
  for (pugi::xml_node row = cell.parent().next_sibling(); row; row = row.next_sibling()) {
    if (IsW(row, "tr")) {
      if (pugi::xml_node first = row.child("w:tc")) return first;
    }
  }
  return {};
}

pugi::xml_node PreviousCell(pugi::xml_node cell) {
  for (pugi::xml_node n = cell.previous_sibling(); n; n = n.previous_sibling()) {
    if (IsW(n, "tc")) return n;
  }
  for (pugi::xml_node row = cell.parent().previous_sibling(); row; row = row.previous_sibling()) {
    if (IsW(row, "tr")) {
      pugi::xml_node last;
      for (pugi::xml_node c : row.children("w:tc")) last = c;
      if (last) return last;
    }
  }
  return {};
}

long Count(host::Optional<long> count) {
  return count.value_or(1);
}

bool Extends(host::Optional<int> extend) {
  return extend.value_or(host::wdMove) == host::wdExtend;
}

}  // namespace

Selection::Selection(Document& document)
    : document_(document),
      fields_(document),
      tables_(document),
      borders_(document),
      find_(document) {}

std::string Selection::Text() const {
  return ShownText(document_.story(), Start(), End(), document_.fieldIndex());
}

void Selection::SetText(const std::string& text) {
  long start = Start();
  long written = document_.ReplaceText(start, End(), text);
  SetRange(start, start + written);
}

std::unique_ptr<host::Range> Selection::Range() const {
  return std::make_unique<docx::Range>(document_, Start(), End());
}

long Selection::Information(int item) const {
  if (item != host::wdActiveEndPageNumber) {
    throw host::HostError(host::kErrBadParameter,
                          "information item " + std::to_string(item) + " is not supported");
  }
  // The page of the selection's last character (of the insertion point when collapsed).
  long pos = End() > Start() ? End() - 1 : End();
  return document_.PageAt(pos);
}

long Selection::MoveByCharacter(long count, bool extend) {
  return host::MoveByCharacter(anchor_, active_, count, extend, document_.story().Length());
}

void Selection::SelectCell(pugi::xml_node cell) {
  const Story& story = document_.story();
  pugi::xml_node first = cell.find_node([](pugi::xml_node n) { return IsW(n, "p"); });
  size_t firstUnit = story.UnitOf(first ? first : cell);
  size_t endUnit = firstUnit;
  while (endUnit < story.UnitCount() && story.KindOf(endUnit) != UnitKind::kCellEnd) ++endUnit;
  // Word selects what the cell holds, without its end mark.
  anchor_ = story.UnitStart(firstUnit);
  active_ = story.UnitStart(endUnit) + story.UnitLength(endUnit) - 1;
}

long Selection::MoveByCell(long count, bool extend) {
  (void)extend;
  long moved = 0;
  for (long i = 0; i < (count < 0 ? -count : count); ++i) {
    pugi::xml_node cell = EnclosingCell(document_.story(), count > 0 ? End() : Start());
    if (!cell) {
      if (moved == 0) {
        throw host::HostError(host::kErrNotAvailable, "the selection is not in a table");
      }
      break;
    }
    pugi::xml_node target = count > 0 ? NextCell(cell) : PreviousCell(cell);
    if (!target && count > 0) {
      pugi::xml_node table = cell.parent();
      while (table && !IsW(table, "tbl")) table = table.parent();
      target = AddRow(document_, table);
    }
    if (!target) break;
    SelectCell(target);
    ++moved;
  }
  return moved;
}

long Selection::MoveLeft(host::Optional<int> unit, host::Optional<long> count,
                         host::Optional<int> extend) {
  int u = unit.value_or(host::wdCharacter);
  if (u == host::wdCharacter) return MoveByCharacter(-Count(count), Extends(extend));
  if (u == host::wdCell) return MoveByCell(-Count(count), Extends(extend));
  throw host::HostError(host::kErrBadParameter, "unit " + std::to_string(u) + " is not supported");
}

long Selection::MoveRight(host::Optional<int> unit, host::Optional<long> count,
                          host::Optional<int> extend) {
  int u = unit.value_or(host::wdCharacter);
  if (u == host::wdCharacter) return MoveByCharacter(Count(count), Extends(extend));
  if (u == host::wdCell) return MoveByCell(Count(count), Extends(extend));
  throw host::HostError(host::kErrBadParameter, "unit " + std::to_string(u) + " is not supported");
}

long Selection::MoveUp(host::Optional<int> unit, host::Optional<long> count,
                       host::Optional<int> extend) {
  int u = unit.value_or(host::wdLine);
  if (u != host::wdLine) {
    throw host::HostError(host::kErrBadParameter,
                          "unit " + std::to_string(u) + " is not supported");
  }
  // Without a layout, the line above is the paragraph above, or the row above within a
  // table; the offset into the paragraph is kept where the target is long enough.
  const Story& story = document_.story();
  long moved = 0;
  long pos = active_;
  for (long i = 0; i < Count(count); ++i) {
    size_t unitIndex = story.UnitAt(std::min(pos, story.Length() - 1));
    long offset = pos - story.UnitStart(unitIndex);
    size_t target = story.UnitCount();
    pugi::xml_node cell = EnclosingCell(story, pos);
    if (cell) {
      // Same cell of the row above, or the paragraph before the table.
      size_t column = 0;
      for (pugi::xml_node c = cell.previous_sibling(); c; c = c.previous_sibling()) {
        column += IsW(c, "tc");
      }
      pugi::xml_node row = cell.parent().previous_sibling();
      while (row && !IsW(row, "tr")) row = row.previous_sibling();
      if (row) {
        pugi::xml_node above = row.child("w:tc");
        for (size_t k = 0; k < column && above.next_sibling("w:tc"); ++k) {
          above = above.next_sibling("w:tc");
        }
        target = story.UnitOf(above.find_node([](pugi::xml_node n) { return IsW(n, "p"); }));
      } else {
        pugi::xml_node table = cell.parent().parent();
        size_t first = story.UnitOf(table.find_node([](pugi::xml_node n) { return IsW(n, "p"); }));
        if (first > 0 && first < story.UnitCount()) target = first - 1;
      }
    } else if (unitIndex > 0) {
      target = unitIndex - 1;
      if (story.KindOf(target) == UnitKind::kRowEnd) {
        // The paragraph after a table: the first cell of the table's last row.
        pugi::xml_node lastRow = story.NodeOf(target);
        target = story.UnitOf(lastRow.find_node([](pugi::xml_node n) { return IsW(n, "p"); }));
      }
    }
    if (target >= story.UnitCount()) break;
    long length = story.UnitLength(target);
    pos = story.UnitStart(target) + std::min(offset, length - 1);
    ++moved;
  }
  active_ = pos;
  if (!Extends(extend)) anchor_ = active_;
  return moved;
}

void Selection::TypeText(const std::string& text) {
  long start = Start();
  long written = document_.ReplaceText(start, End(), text);
  anchor_ = active_ = start + written;
}

void Selection::TypeParagraph() {
  long start = Start();
  document_.RemoveContent(start, End());
  document_.SplitParagraph(start);
  anchor_ = active_ = start + 1;
}

void Selection::SetRange(long start, long end) {
  long length = document_.story().Length();
  start = std::clamp(start, 0L, length);
  end = std::clamp(end, start, length);
  // An insertion point cannot pass the final paragraph mark.
  if (start == length) start = end = length - 1;
  anchor_ = start;
  active_ = end;
}

void Selection::Adjust(long start, long end, long newLength) {
  auto move = [&](long pos) {
    if (pos >= end) return pos + newLength - (end - start);
    if (pos > start) return start + newLength;
    return pos;
  };
  anchor_ = move(anchor_);
  active_ = move(active_);
}

}  // namespace quillon::docx
