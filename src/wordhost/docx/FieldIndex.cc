#include "wordhost/docx/FieldIndex.h"

#include <algorithm>
#include <iterator>

#include "wordhost/docx/Wml.h"

namespace quillon::docx {

void FieldIndex::Build(const Story& story) {
  for (const FieldPtr& field : fields_) field->alive = false;
  fields_.clear();
  owner_.Clear();
  // Fields in order of their begin marks; a stack pairs each end with the latest open begin.
  std::vector<size_t> open;
  std::vector<FieldPtr> found;
  std::vector<bool> closed;
  // The walk passes every mark, so it fills each field's position cache as well: a walk over
  // the fields right after loading then reads no XML to place them.
  auto closeAt = [](FieldRecord& field, long pos) {
    field.cachedEnd = pos;
    if (field.cachedSeparator < 0) field.cachedSeparator = pos;
  };
  long base = 0;
  for (size_t unit = 0; unit < story.UnitCount(); base += story.UnitLength(unit), ++unit) {
    for (const Atom& atom : story.Atoms(unit)) {
      long pos = base + atom.offset;
      switch (atom.kind) {
        case AtomKind::kBegin:
        case AtomKind::kSimpleBegin: {
          auto field = std::make_shared<FieldRecord>();
          field->begin = atom.node;
          field->unitGuess = unit;
          field->simple = atom.kind == AtomKind::kSimpleBegin;
          field->cachedBegin = pos;
          field->cachedSeparator = -1;
          field->cachedUnit = {unit, base};
          open.push_back(found.size());
          found.push_back(std::move(field));
          closed.push_back(false);
          break;
        }
        case AtomKind::kSeparate:
          if (!open.empty() && !found[open.back()]->separate) {
            found[open.back()]->separate = atom.node;
            if (!found[open.back()]->simple) found[open.back()]->cachedSeparator = pos;
          }
          break;
        case AtomKind::kSimpleSeparate:
          if (!open.empty() && found[open.back()]->begin == atom.node) {
            found[open.back()]->cachedSeparator = pos;
          }
          break;
        case AtomKind::kEnd:
          // An end inside a simple field's result with nothing open there is stray.
          if (!open.empty() && !found[open.back()]->simple) {
            found[open.back()]->end = atom.node;
            closeAt(*found[open.back()], pos);
            closed[open.back()] = true;
            open.pop_back();
          }
          break;
        case AtomKind::kSimpleEnd:
          // The XML nests a simple field: complex fields begun inside it and never ended
          // are dropped with it.
          while (!open.empty() && !found[open.back()]->simple) open.pop_back();
          if (!open.empty()) {
            closeAt(*found[open.back()], pos);
            closed[open.back()] = true;
            open.pop_back();
          }
          break;
        default:
          break;
      }
    }
  }
  fields_.reserve(found.size());
  owner_.Reserve(found.size() * 3);
  for (size_t i = 0; i < found.size(); ++i) {
    if (!closed[i]) continue;
    found[i]->cachedGeneration = story.Generation();
    Register(*found[i]);
    fields_.push_back(std::move(found[i]));
  }
}

void FieldIndex::Register(FieldRecord& field) {
  owner_.Set(field.begin.internal_object(), &field);
  if (field.separate) owner_.Set(field.separate.internal_object(), &field);
  if (field.end) owner_.Set(field.end.internal_object(), &field);
}

void FieldIndex::Unregister(const FieldRecord& field) {
  owner_.Erase(field.begin.internal_object());
  if (field.separate) owner_.Erase(field.separate.internal_object());
  if (field.end) owner_.Erase(field.end.internal_object());
}

FieldRecord* FieldIndex::OwnerOf(pugi::xml_node node) const {
  if (!node) return nullptr;
  FieldRecord* const* owner = owner_.Find(node.internal_object());
  return owner == nullptr ? nullptr : *owner;
}

bool FieldIndex::ShowsCode(pugi::xml_node begin) const {
  FieldRecord* field = OwnerOf(begin);
  return field != nullptr && field->showCodes;
}

void FieldIndex::Locate(const FieldRecord& field, const Story& story) const {
  if (field.cachedGeneration == story.Generation()) return;
  // Edits since then that only moved text (a word typed over, a field written earlier in the
  // paragraph) move the cached positions along; the unit list is the same.
  long begin = field.cachedBegin, separator = field.cachedSeparator, end = field.cachedEnd;
  long unitStart = field.cachedUnit.start;
  if (story.CarryPosition(field.cachedGeneration, begin) &&
      story.CarryPosition(field.cachedGeneration, separator) &&
      story.CarryPosition(field.cachedGeneration, end) &&
      story.CarryPosition(field.cachedGeneration, unitStart)) {
    field.cachedBegin = begin;
    field.cachedSeparator = separator;
    field.cachedEnd = end;
    field.cachedUnit.start = unitStart;
    field.cachedGeneration = story.Generation();
    return;
  }
  // One scan of the begin mark's paragraph finds the marks that lie in it (most fields keep
  // all three in one paragraph); the others are looked up on their own.
  // The unit last seen is still right unless paragraphs were added or removed before it.
  pugi::xml_node paragraph = field.begin.parent();
  if (IsW(paragraph, "r")) paragraph = paragraph.parent();
  size_t unit = field.unitGuess < story.UnitCount() && story.NodeOf(field.unitGuess) == paragraph
                    ? field.unitGuess
                    : story.UnitOf(field.begin);
  field.unitGuess = unit;
  long base = unit < story.UnitCount() ? story.UnitStart(unit) : -1;
  begin = separator = end = -1;
  if (unit < story.UnitCount()) {
    for (const Atom& atom : story.Atoms(unit)) {
      long pos = base + atom.offset;
      if (field.simple) {
        if (atom.node != field.begin) continue;
        if (atom.kind == AtomKind::kSimpleBegin) begin = pos;
        if (atom.kind == AtomKind::kSimpleSeparate) separator = pos;
        if (atom.kind == AtomKind::kSimpleEnd) end = pos;
      } else if (atom.node == field.begin) {
        begin = pos;
      } else if (field.separate && atom.node == field.separate) {
        separator = pos;
      } else if (atom.node == field.end) {
        end = pos;
      }
    }
  }
  if (end < 0 && !field.simple) end = story.PositionOf(field.end, AtomKind::kEnd);
  if (separator < 0) {
    separator = field.separate && !field.simple
                    ? story.PositionOf(field.separate, AtomKind::kSeparate)
                    : end;
  }
  field.cachedBegin = begin;
  field.cachedSeparator = separator;
  field.cachedEnd = end;
  field.cachedUnit = {unit, base};
  field.cachedGeneration = story.Generation();
}

long FieldIndex::BeginOf(const FieldRecord& field, const Story& story) const {
  Locate(field, story);
  return field.cachedBegin;
}

long FieldIndex::SeparatorOf(const FieldRecord& field, const Story& story) const {
  Locate(field, story);
  return field.cachedSeparator;
}

long FieldIndex::EndOf(const FieldRecord& field, const Story& story) const {
  Locate(field, story);
  return field.cachedEnd;
}

UnitHint FieldIndex::BeginUnit(const FieldRecord& field, const Story& story) const {
  Locate(field, story);
  return field.cachedUnit;
}

size_t FieldIndex::LowerBound(long pos, const Story& story) const {
  // Fields written front to back land after the last one: one look instead of a search that
  // would place a dozen fields anew after each edit.
  if (fields_.empty() || BeginOf(*fields_.back(), story) < pos) return fields_.size();
  size_t low = 0;
  size_t high = fields_.size();
  while (low < high) {
    size_t mid = low + (high - low) / 2;
    if (BeginOf(*fields_[mid], story) < pos) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

void FieldIndex::Erase(size_t first, size_t last) {
  for (size_t i = first; i < last; ++i) {
    Unregister(*fields_[i]);
    fields_[i]->alive = false;
  }
  fields_.erase(fields_.begin() + static_cast<std::ptrdiff_t>(first),
                fields_.begin() + static_cast<std::ptrdiff_t>(last));
}

void FieldIndex::Reserve(size_t more) {
  fields_.reserve(fields_.size() + more);
  owner_.Reserve(owner_.Size() + 3 * more);  // begin, separate and end marks
}

void FieldIndex::Merge(std::vector<FieldPtr> fresh, const Story& story) {
  if (fresh.empty()) return;
  // The marks' slots lie all over a large map: each is asked for a few fields ahead.
  constexpr size_t kAhead = 8;
  for (size_t i = 0; i < fresh.size(); ++i) {
    if (i + kAhead < fresh.size()) {
      const FieldRecord& ahead = *fresh[i + kAhead];
      for (pugi::xml_node mark : {ahead.begin, ahead.separate, ahead.end}) {
        owner_.Prefetch(mark.internal_object());
      }
    }
    Register(*fresh[i]);
  }
  auto byBegin = [&](const FieldPtr& a, const FieldPtr& b) {
    return BeginOf(*a, story) < BeginOf(*b, story);
  };
  if (fields_.empty() || byBegin(fields_.back(), fresh.front())) {
    fields_.insert(fields_.end(), std::make_move_iterator(fresh.begin()),
                   std::make_move_iterator(fresh.end()));
    return;
  }
  std::vector<FieldPtr> merged;
  merged.reserve(fields_.size() + fresh.size());
  std::merge(std::make_move_iterator(fields_.begin()), std::make_move_iterator(fields_.end()),
             std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()),
             std::back_inserter(merged), byBegin);
  fields_ = std::move(merged);
}

void FieldIndex::Insert(size_t i, FieldPtr field) {
  Register(*field);
  fields_.insert(fields_.begin() + static_cast<std::ptrdiff_t>(i), std::move(field));
}

void FieldIndex::Replace(size_t i, FieldPtr field) {
  // Unregister first: a new mark may sit at an address a removed one had.
  Unregister(*fields_[i]);
  fields_[i]->alive = false;
  Register(*field);
  fields_[i] = std::move(field);
}

void FieldIndex::Reregister(FieldRecord& field, pugi::xml_node oldBegin) {
  owner_.Erase(oldBegin.internal_object());
  Register(field);
}

void FieldIndex::RegisterMark(pugi::xml_node node, FieldRecord& field) {
  owner_.Set(node.internal_object(), &field);
}

}  // namespace quillon::docx
