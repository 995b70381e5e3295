#include "wordhost/docx/Story.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "wordhost/docx/Wml.h"

namespace quillon::docx {

Story::Story(pugi::xml_node body) : body_(body) {
  Rebuild();
}

void Story::Measure(Unit& unit) const {
  ComputeAtoms(unit.node, unit.kind, unit.atoms, &unit.events);
  unit.atomsValid = true;
  unit.eventsValid = true;
  unit.length = static_cast<long>(unit.atoms.back().offset) + 1;
}

bool Story::ComputeBoundaries(Unit& unit) const {
  unit.boundaries.clear();
  bool pending = unit.pendingIn;
  if (unit.startsSection) {
    if (!pending) unit.boundaries.push_back(0);
    pending = true;
  }
  for (const PageEvent& event : unit.events) {
    if (event.kind == PageEventKind::kExplicitBreak) {
      unit.boundaries.push_back(event.offset);
      pending = true;
    } else if (event.kind == PageEventKind::kRenderedBreak) {
      // Word writes a rendered break where the page it just broke for begins: the same
      // boundary as the explicit break before it, unless text came in between.
      if (pending) {
        pending = false;
      } else {
        unit.boundaries.push_back(event.offset);
      }
    } else {
      pending = false;
    }
  }
  return pending;
}

void Story::CollectUnits(pugi::xml_node container, std::vector<Unit>& out) {
  for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) CollectElement(child, out);
  }
}

void Story::CollectElement(pugi::xml_node element, std::vector<Unit>& out) {
  if (IsW(element, "p")) {
    Unit unit;
    unit.node = element;
    out.push_back(std::move(unit));
  } else if (IsW(element, "tbl")) {
    ForEachThroughWrappers(element, "tr", [&](pugi::xml_node row) { CollectRow(row, out); });
  } else if (IsW(element, "tr")) {
    CollectRow(element, out);
  } else if (IsW(element, "sdt")) {
    CollectUnits(element.child("w:sdtContent"), out);
  } else if (IsW(element, "customXml")) {
    CollectUnits(element, out);
  }
}

void Story::CollectRow(pugi::xml_node row, std::vector<Unit>& out) {
  ForEachThroughWrappers(row, "tc", [&](pugi::xml_node cell) {
    size_t first = out.size();
    CollectUnits(cell, out);
    size_t last = out.size();
    for (size_t i = out.size(); i > first; --i) {
      const Unit& candidate = out[i - 1];
      if (candidate.kind == UnitKind::kParagraph && NearestAncestor(candidate.node, "tc") == cell) {
        last = i - 1;
        break;
      }
    }
    if (last == out.size()) {
      // A cell without a paragraph is invalid, but its end mark still counts.
      Unit unit;
      unit.node = cell;
      unit.kind = UnitKind::kCellEnd;
      out.push_back(std::move(unit));
    } else {
      out[last].kind = UnitKind::kCellEnd;
    }
  });
  Unit end;
  end.node = row;
  end.kind = UnitKind::kRowEnd;
  out.push_back(std::move(end));
}

void Story::MarkSections() {
  auto startsNewPage = [](pugi::xml_node sectPr) {
    std::string_view type = sectPr.child("w:type").attribute("w:val").value();
    return type.empty() || type == "nextPage" || type == "evenPage" || type == "oddPage";
  };
  size_t previousEnd = units_.size();
  for (size_t i = 0; i < units_.size(); ++i) {
    units_[i].startsSection = false;
    if (units_[i].kind != UnitKind::kParagraph) continue;
    pugi::xml_node sectPr = units_[i].node.child("w:pPr").child("w:sectPr");
    if (!sectPr) continue;
    if (previousEnd + 1 < units_.size() && startsNewPage(sectPr)) {
      units_[previousEnd + 1].startsSection = true;
    }
    previousEnd = i;
  }
  if (previousEnd + 1 < units_.size() && startsNewPage(body_.child("w:sectPr"))) {
    units_[previousEnd + 1].startsSection = true;
  }
}

void Story::Rebuild(pugi::xml_node changed) {
  PositionsChanged();
  std::unordered_map<pugi::xml_node_struct*, Unit> old;
  old.reserve(units_.size());
  for (Unit& unit : units_) {
    if (unit.node != changed) old.emplace(unit.node.internal_object(), std::move(unit));
  }
  std::vector<Unit> fresh;
  fresh.reserve(units_.size() + 8);
  CollectUnits(body_, fresh);
  if (fresh.empty() || fresh.back().kind != UnitKind::kParagraph) {
    // The story always ends with a paragraph mark; a body without a final paragraph gets one
    // (before the section properties) so positions stay well defined.
    pugi::xml_node sectPr = body_.child("w:sectPr");
    Unit unit;
    unit.node = sectPr ? body_.insert_child_before("w:p", sectPr) : body_.append_child("w:p");
    fresh.push_back(std::move(unit));
  }
  units_ = std::move(fresh);
  index_.clear();
  index_.reserve(units_.size() * 2);
  ids_.resize(units_.size());
  paragraphs_.clear();
  std::vector<long> lengths(units_.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    Unit& unit = units_[i];
    auto it = old.find(unit.node.internal_object());
    if (it != old.end() && it->second.kind == unit.kind) {
      unit.length = it->second.length;
      unit.events = std::move(it->second.events);
      unit.atoms = std::move(it->second.atoms);
      unit.atomsValid = it->second.atomsValid;
      unit.eventsValid = it->second.eventsValid;
    } else {
      Measure(unit);
    }
    unit.id = static_cast<uint32_t>(i);
    ids_[i] = i;
    index_.emplace(unit.node.internal_object(), unit.id);
    if (unit.kind != UnitKind::kRowEnd) paragraphs_.push_back(i);
    lengths[i] = unit.length;
  }
  lengths_.Assign(lengths);
  MarkSections();
  bool pending = false;
  std::vector<long> counts(units_.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    units_[i].pendingIn = pending;
    pending = ComputeBoundaries(units_[i]);
    counts[i] = static_cast<long>(units_[i].boundaries.size());
  }
  pages_.Assign(counts);
}

bool Story::Splice(size_t first, size_t count, std::vector<Unit>& fresh) {
  auto breaksSection = [](const Unit& unit) {
    return unit.kind == UnitKind::kParagraph && unit.node.child("w:pPr").child("w:sectPr");
  };
  // The last unit is the story's final paragraph mark, which a splice must leave in place.
  if (first + count >= units_.size()) return false;
  for (size_t i = first; i < first + count; ++i) {
    if (breaksSection(units_[i])) return false;
  }
  for (const Unit& unit : fresh) {
    if (breaksSection(unit)) return false;
  }
  PositionsChanged();
  // Without section breaks among the units, the sections keep their ends: only the unit that
  // starts a section can change, from the first replaced unit to what now stands there.
  bool pending = units_[first].pendingIn;
  bool startsSection = units_[first].startsSection;
  units_[first].startsSection = false;
  for (size_t i = first; i < first + count; ++i) index_.erase(units_[i].node.internal_object());
  for (Unit& unit : fresh) {
    Measure(unit);
    unit.id = static_cast<uint32_t>(ids_.size());
    ids_.push_back(0);
    index_.emplace(unit.node.internal_object(), unit.id);
  }
  size_t common = std::min(count, fresh.size());
  std::move(fresh.begin(), fresh.begin() + static_cast<long>(common),
            units_.begin() + static_cast<long>(first));
  if (count > common) {
    units_.erase(units_.begin() + static_cast<long>(first + common),
                 units_.begin() + static_cast<long>(first + count));
  } else {
    units_.insert(units_.begin() + static_cast<long>(first + common),
                  std::make_move_iterator(fresh.begin() + static_cast<long>(common)),
                  std::make_move_iterator(fresh.end()));
  }
  units_[first].startsSection = startsSection;
  // Page boundaries: the new units and the one after them, then on while a pending page
  // break carries over differently than before.
  size_t settled = first + fresh.size();
  for (size_t i = first; i < units_.size(); ++i) {
    if (i > settled && units_[i].pendingIn == pending) break;
    units_[i].pendingIn = pending;
    pending = ComputeBoundaries(units_[i]);
  }
  std::vector<long> lengths(units_.size());
  std::vector<long> counts(units_.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    lengths[i] = units_[i].length;
    counts[i] = static_cast<long>(units_[i].boundaries.size());
  }
  lengths_.Assign(lengths);
  pages_.Assign(counts);
  auto firstParagraph = std::lower_bound(paragraphs_.begin(), paragraphs_.end(), first);
  paragraphs_.erase(firstParagraph, paragraphs_.end());
  for (size_t i = first; i < units_.size(); ++i) {
    ids_[units_[i].id] = i;
    if (units_[i].kind != UnitKind::kRowEnd) paragraphs_.push_back(i);
  }
  return true;
}

void Story::InsertUnits(size_t at, pugi::xml_node element) {
  std::vector<Unit> fresh;
  CollectElement(element, fresh);
  if (fresh.empty()) {
    ++generation_;
    return;
  }
  if (!Splice(at, 0, fresh)) Rebuild();
}

void Story::RemoveElement(pugi::xml_node element) {
  std::vector<Unit> gone;
  CollectElement(element, gone);
  size_t first = gone.empty() ? units_.size() : UnitOf(gone.front().node);
  bool found = first + gone.size() <= units_.size();
  for (size_t i = 0; found && i < gone.size(); ++i) found = units_[first + i].node == gone[i].node;
  std::vector<Unit> none;
  bool spliced = found && Splice(first, gone.size(), none);
  element.parent().remove_child(element);
  if (gone.empty()) {
    ++generation_;
  } else if (!spliced) {
    Rebuild();
  }
}

void Story::Refresh(size_t index) {
  PositionsChanged();
  Unit& unit = units_[index];
  long oldLength = unit.length;
  long oldPages = static_cast<long>(unit.boundaries.size());
  Measure(unit);
  if (unit.length != oldLength) lengths_.Add(index, unit.length - oldLength);
  SettlePages(index, oldPages);
}

void Story::SettlePages(size_t index, long oldPages) {
  Unit& unit = units_[index];
  bool pending = ComputeBoundaries(unit);
  pages_.Add(index, static_cast<long>(unit.boundaries.size()) - oldPages);
  for (size_t i = index + 1; i < units_.size() && units_[i].pendingIn != pending; ++i) {
    Unit& next = units_[i];
    long before = static_cast<long>(next.boundaries.size());
    next.pendingIn = pending;
    pending = ComputeBoundaries(next);
    pages_.Add(i, static_cast<long>(next.boundaries.size()) - before);
  }
}

void Story::InsertRuns(size_t index, size_t k, pugi::xml_node first, pugi::xml_node last) {
  Unit& unit = units_[index];
  // At the start, events of the paragraph itself (a page break before it) share the offset
  // with those the runs would push on.
  if (k == 0 || !unit.atomsValid || !unit.eventsValid) {
    Refresh(index);
    return;
  }
  const uint32_t at = unit.atoms[k].offset;
  auto split = std::partition_point(unit.events.begin(), unit.events.end(),
                                    [at](const PageEvent& event) { return event.offset < at; });
  // A page break's own event sits at the offset after it, yet comes before the new runs.
  const Atom& previous = unit.atoms[k - 1];
  if (previous.kind == AtomKind::kChar && previous.ch == U'\f' && IsW(previous.node, "br") &&
      split != unit.events.end() && split->offset == at &&
      split->kind == PageEventKind::kExplicitBreak) {
    ++split;
  }
  // A paragraph waits for its first visible content, and so does a page break until text
  // follows it.
  const bool needVisible =
      split == unit.events.begin() || std::prev(split)->kind != PageEventKind::kVisible;
  std::vector<Atom>& fresh = freshAtoms_;
  std::vector<PageEvent>& events = freshEvents_;
  ComputeStretchAtoms(first, last, at, needVisible, fresh, events);
  for (const PageEvent& event : events) {
    if (event.kind != PageEventKind::kVisible) {
      // A break among the new runs changes which content the rest of the unit waits for.
      Refresh(index);
      return;
    }
  }
  const long start = UnitStart(index);
  PositionsChanged();
  const uint32_t added = fresh.empty() ? 0 : fresh.back().offset + fresh.back().length - at;
  NoteShift(start + at, 0, added);
  for (size_t j = k; j < unit.atoms.size(); ++j) unit.atoms[j].offset += added;
  for (auto it = split; it != unit.events.end(); ++it) it->offset += added;
  if (!events.empty()) {
    // The new runs show the first visible content that was waited for: what follows them no
    // longer marks it.
    if (split != unit.events.end() && split->kind == PageEventKind::kVisible) {
      split = unit.events.erase(split);
    }
    unit.events.insert(split, events.begin(), events.end());
  }
  unit.atoms.insert(unit.atoms.begin() + static_cast<long>(k), fresh.begin(), fresh.end());
  if (added != 0) {
    unit.length += added;
    lengths_.Add(index, added);
  }
  SettlePages(index, static_cast<long>(unit.boundaries.size()));
}

bool Story::EventsSettledBefore(size_t index, uint32_t offset) const {
  const Unit& unit = units_[index];
  // Events come in offset order; the last one showing visible content leaves nothing waiting.
  return unit.eventsValid && !unit.events.empty() &&
         unit.events.back().kind == PageEventKind::kVisible && unit.events.back().offset < offset;
}

void Story::Grow(size_t index, long delta) {
  PositionsChanged();
  Unit& unit = units_[index];
  unit.atomsValid = false;
  if (delta == 0) return;
  unit.length += delta;
  lengths_.Add(index, delta);
}

long Story::UnitStart(size_t unit) const {
  if (!startsValid_) {
    if (++treeLookups_ < std::max<size_t>(64, units_.size() / 8)) return lengths_.Prefix(unit);
    starts_.resize(units_.size() + 1);
    long sum = 0;
    for (size_t i = 0; i < units_.size(); ++i) {
      starts_[i] = sum;
      sum += units_[i].length;
    }
    starts_[units_.size()] = sum;
    startsValid_ = true;
  }
  return starts_[unit];
}

size_t Story::UnitAt(long pos) const {
  if (!startsValid_) return lengths_.Find(pos);
  auto it = std::upper_bound(starts_.begin(), starts_.end() - 1, pos);
  return static_cast<size_t>(it - starts_.begin()) - 1;
}

size_t Story::UnitOf(pugi::xml_node node) const {
  for (pugi::xml_node n = node; n; n = n.parent()) {
    auto it = index_.find(n.internal_object());
    if (it != index_.end()) return ids_[it->second];
  }
  return units_.size();
}

const std::vector<Atom>& Story::Atoms(size_t index) const {
  const Unit& unit = units_[index];
  if (!unit.atomsValid) {
    ComputeAtoms(unit.node, unit.kind, unit.atoms, nullptr);
    unit.atomsValid = true;
  }
  return unit.atoms;
}

long Story::PositionOf(pugi::xml_node node, AtomKind kind) const {
  size_t unit = UnitOf(node);
  if (unit == units_.size()) return -1;
  for (const Atom& atom : Atoms(unit)) {
    if (atom.node == node && atom.kind == kind) return UnitStart(unit) + atom.offset;
  }
  return -1;
}

long Story::PageAt(long pos) const {
  if (units_.empty()) return 1;
  pos = std::clamp(pos, 0L, Length() - 1);
  size_t unit = UnitAt(pos);
  uint32_t offset = static_cast<uint32_t>(pos - UnitStart(unit));
  long count = pages_.Prefix(unit);
  for (uint32_t boundary : units_[unit].boundaries) count += boundary <= offset;
  return 1 + count;
}

void Story::PositionsChanged() {
  ++generation_;
  startsValid_ = false;
  treeLookups_ = 0;
}

void Story::NoteShift(long at, long removed, long inserted) {
  shifts_[generation_ % kShifts] = {generation_, at, removed, inserted};
}

bool Story::CarryPosition(uint64_t from, long& pos) const {
  if (from > generation_ || generation_ - from > kShifts) return false;
  long moved = pos;
  for (uint64_t g = from + 1; g <= generation_; ++g) {
    const Shift& shift = shifts_[g % kShifts];
    if (shift.generation != g) return false;
    if (moved >= shift.at + shift.removed) {
      moved += shift.inserted - shift.removed;
    } else if (moved >= shift.at) {
      return false;
    }
  }
  pos = moved;
  return true;
}

void Story::Touch(size_t unit) {
  ++generation_;
  units_[unit].atomsValid = false;
  units_[unit].eventsValid = false;
}

void Story::ResizeAtom(size_t index, size_t k, uint32_t length) {
  Unit& unit = units_[index];
  ++generation_;
  Atom& atom = unit.atoms[k];
  ReadAtomText(atom);
  NoteShift(UnitStart(index) + atom.offset, atom.length, length);
  const uint32_t oldEnd = atom.offset + atom.length;
  const long delta = static_cast<long>(length) - static_cast<long>(atom.length);
  if (delta == 0) return;
  // The paragraph keeps its elements, kinds and page events: only what follows the atom moves.
  auto shift = [delta](uint32_t offset) { return static_cast<uint32_t>(offset + delta); };
  atom.length = length;
  for (size_t j = k + 1; j < unit.atoms.size(); ++j)
    unit.atoms[j].offset = shift(unit.atoms[j].offset);
  for (PageEvent& event : unit.events) {
    if (event.offset >= oldEnd) event.offset = shift(event.offset);
  }
  unit.length += delta;
  lengths_.Add(index, delta);
  startsValid_ = false;
  treeLookups_ = 0;
  ComputeBoundaries(unit);  // the same boundaries, at their new offsets
}

}  // namespace quillon::docx
