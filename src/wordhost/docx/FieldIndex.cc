#include "wordhost/docx/FieldIndex.h"

namespace quillon::docx {

void FieldIndex::Build(const Story& story) {
  for (const FieldPtr& field : fields_) field->alive = false;
  fields_.clear();
  owner_.clear();
  // Fields in order of their begin marks; a stack pairs each end with the latest open begin.
  std::vector<size_t> open;
  std::vector<FieldPtr> found;
  std::vector<bool> closed;
  for (size_t unit = 0; unit < story.UnitCount(); ++unit) {
    for (const Atom& atom : story.Atoms(unit)) {
      switch (atom.kind) {
        case AtomKind::kBegin:
        case AtomKind::kSimpleBegin: {
          auto field = std::make_shared<FieldRecord>();
          field->begin = atom.node;
          field->simple = atom.kind == AtomKind::kSimpleBegin;
          open.push_back(found.size());
          found.push_back(std::move(field));
          closed.push_back(false);
          break;
        }
        case AtomKind::kSeparate:
          if (!open.empty() && !found[open.back()]->separate) {
            found[open.back()]->separate = atom.node;
          }
          break;
        case AtomKind::kEnd:
          // An end inside a simple field's result with nothing open there is stray.
          if (!open.empty() && !found[open.back()]->simple) {
            found[open.back()]->end = atom.node;
            closed[open.back()] = true;
            open.pop_back();
          }
          break;
        case AtomKind::kSimpleEnd:
          // The XML nests a simple field: complex fields begun inside it and never ended
          // are dropped with it.
          while (!open.empty() && !found[open.back()]->simple) open.pop_back();
          if (!open.empty()) {
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
  for (size_t i = 0; i < found.size(); ++i) {
    if (!closed[i]) continue;
    Register(*found[i]);
    fields_.push_back(std::move(found[i]));
  }
}

void FieldIndex::Register(FieldRecord& field) {
  owner_[field.begin.internal_object()] = &field;
  if (field.separate) owner_[field.separate.internal_object()] = &field;
  if (field.end) owner_[field.end.internal_object()] = &field;
}

void FieldIndex::Unregister(const FieldRecord& field) {
  owner_.erase(field.begin.internal_object());
  if (field.separate) owner_.erase(field.separate.internal_object());
  if (field.end) owner_.erase(field.end.internal_object());
}

FieldRecord* FieldIndex::OwnerOf(pugi::xml_node node) const {
  auto it = owner_.find(node.internal_object());
  return it == owner_.end() ? nullptr : it->second;
}

bool FieldIndex::ShowsCode(pugi::xml_node begin) const {
  FieldRecord* field = OwnerOf(begin);
  return field != nullptr && field->showCodes;
}

long FieldIndex::BeginOf(const FieldRecord& field, const Story& story) const {
  return story.PositionOf(field.begin, field.simple ? AtomKind::kSimpleBegin : AtomKind::kBegin);
}

long FieldIndex::SeparatorOf(const FieldRecord& field, const Story& story) const {
  if (field.simple) return story.PositionOf(field.begin, AtomKind::kSimpleSeparate);
  if (field.separate) return story.PositionOf(field.separate, AtomKind::kSeparate);
  return EndOf(field, story);
}

long FieldIndex::EndOf(const FieldRecord& field, const Story& story) const {
  if (field.simple) return story.PositionOf(field.begin, AtomKind::kSimpleEnd);
  return story.PositionOf(field.end, AtomKind::kEnd);
}

size_t FieldIndex::LowerBound(long pos, const Story& story) const {
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

void FieldIndex::Insert(size_t i, FieldPtr field) {
  Register(*field);
  fields_.insert(fields_.begin() + static_cast<std::ptrdiff_t>(i), std::move(field));
}

void FieldIndex::Reregister(FieldRecord& field, pugi::xml_node oldBegin) {
  owner_.erase(oldBegin.internal_object());
  Register(field);
}

void FieldIndex::RegisterMark(pugi::xml_node node, FieldRecord& field) {
  owner_[node.internal_object()] = &field;
}

}  // namespace quillon::docx
