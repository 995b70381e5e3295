// The fields of the main text in document order: complex fields (w:fldChar begin, code,
// separate, result, end) and simple ones (w:fldSimple), nested ones included. Built by one
// walk over the story; afterwards Count and At are O(1), and edits update the index in place
// so that a field's record (and every handle on it) survives edits elsewhere.
#pragma once

#include <pugixml.hpp>

#include <memory>
#include <vector>

#include "wordhost/docx/PointerMap.h"
#include "wordhost/docx/Story.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::docx {

struct FieldRecord {
  pugi::xml_node begin;     // w:fldChar begin, or the w:fldSimple
  pugi::xml_node separate;  // w:fldChar separate; empty for simple fields and fields without
  pugi::xml_node end;       // w:fldChar end; empty for simple fields
  bool simple = false;
  bool showCodes = false;
  bool alive = true;  // false once the field is deleted or replaced

  // Positions as last computed, valid while the story's generation is cachedGeneration.
  mutable uint64_t cachedGeneration = ~uint64_t{0};
  mutable long cachedBegin = 0;
  mutable long cachedSeparator = 0;
  mutable long cachedEnd = 0;
  mutable UnitHint cachedUnit{0, 0};
  mutable size_t unitGuess = ~size_t{0};  // the begin mark's unit when last seen
};

using FieldPtr = std::shared_ptr<FieldRecord>;

class FieldIndex : public FieldDisplay {
 public:
  // Walks story and records its fields. Marks that do not pair up (an end with no begin, a
  // begin never ended) are left as plain marks: they are not fields.
  void Build(const Story& story);

  size_t Count() const { return fields_.size(); }
  // REQUIRES: i < Count().
  const FieldPtr& At(size_t i) const { return fields_[i]; }

  // Returns the record whose begin, separate or end element is node, or nullptr.
  FieldRecord* OwnerOf(pugi::xml_node node) const;

  // Positions of a live field's begin mark, separator (its end mark when it has none) and end
  // mark.
  long BeginOf(const FieldRecord& field, const Story& story) const;
  long SeparatorOf(const FieldRecord& field, const Story& story) const;
  long EndOf(const FieldRecord& field, const Story& story) const;

  // Returns the unit holding field's begin mark, with its start.
  UnitHint BeginUnit(const FieldRecord& field, const Story& story) const;

  // Returns the index of the first field whose begin is at or after pos.
  size_t LowerBound(long pos, const Story& story) const;

  // Removes fields [first, last) from the index and marks them dead.
  void Erase(size_t first, size_t last);
  // Makes room for more fields without growing again.
  void Reserve(size_t more);
  // Adds fresh fields, in document order with their position caches current, where they fall
  // among the fields already in the index.
  void Merge(std::vector<FieldPtr> fresh, const Story& story);
  // Inserts field at index i.
  void Insert(size_t i, FieldPtr field);
  // Puts field at index i in place of the field there, which is unregistered and marked
  // dead. Its marks may already be gone from the XML: only their addresses are used.
  void Replace(size_t i, FieldPtr field);
  // Re-registers field's marks after its elements changed (a simple field made complex).
  void Reregister(FieldRecord& field, pugi::xml_node oldBegin);
  // Registers a mark element (a separator added later) to field.
  void RegisterMark(pugi::xml_node node, FieldRecord& field);

  bool ShowsCode(pugi::xml_node begin) const override;

 private:
  // Fills field's position cache for the story's current generation.
  void Locate(const FieldRecord& field, const Story& story) const;
  void Register(FieldRecord& field);
  void Unregister(const FieldRecord& field);

  std::vector<FieldPtr> fields_;
  PointerMap<pugi::xml_node_struct, FieldRecord*> owner_;
};

}  // namespace quillon::docx
