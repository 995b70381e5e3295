#include "wordhost/docx/Fields.h"

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Field.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {

long DocumentFields::Count() const {
  return static_cast<long>(document_.fieldIndex().Count());
}

std::unique_ptr<host::Field> DocumentFields::Item(long index) const {
  const FieldIndex& fields = document_.fieldIndex();
  if (index < 1 || static_cast<size_t>(index) > fields.Count()) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  return std::make_unique<docx::Field>(document_, fields.At(static_cast<size_t>(index - 1)));
}

std::unique_ptr<host::Field> DocumentFields::Add(const host::Range& range, host::WdFieldType type,
                                                 host::Optional<std::string> text,
                                                 host::Optional<bool> preserveFormatting) {
  // Only the QUOTE and empty field kinds are written, and neither is ever formatted by a
  // switch, so preserveFormatting changes nothing.
  (void)preserveFormatting;
  FieldPtr field = document_.AddField(range.Start(), range.End(), type, text.value_or(""));
  return std::make_unique<docx::Field>(document_, std::move(field));
}

std::pair<size_t, size_t> SelectionFields::Span() const {
  const FieldIndex& fields = document_.fieldIndex();
  const Story& story = document_.story();
  long start = document_.selection().Start();
  long end = document_.selection().End();
  size_t first = fields.LowerBound(start, story);
  size_t last = first;
  while (last < fields.Count() && fields.BeginOf(*fields.At(last), story) < end) {
    if (fields.EndOf(*fields.At(last), story) >= end) break;
    ++last;
  }
  return {first, last};
}

long SelectionFields::Count() const {
  auto [first, last] = Span();
  return static_cast<long>(last - first);
}

std::unique_ptr<host::Field> SelectionFields::Item(long index) const {
  auto [first, last] = Span();
  if (index < 1 || static_cast<size_t>(index) > last - first) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  return std::make_unique<docx::Field>(
      document_, document_.fieldIndex().At(first + static_cast<size_t>(index - 1)));
}

}  // namespace quillon::docx
