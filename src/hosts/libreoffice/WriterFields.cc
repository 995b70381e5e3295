#include "hosts/libreoffice/WriterFields.h"

#include "addin/host/HostError.h"
#include "hosts/libreoffice/WriterRange.h"

namespace quillon::libreoffice {

void WriterField::Alive() const {
  if (field_->deleted) throw host::HostError(host::kErrObjectDeleted, "the field is deleted");
}

std::unique_ptr<host::Range> WriterField::Code() const {
  Alive();
  return WriterRange::CodeOf(document_, field_);
}

std::unique_ptr<host::Range> WriterField::Result() const {
  Alive();
  return WriterRange::ResultOf(document_, field_);
}

void WriterField::Select() {
  Alive();
  document_.Select(field_->begin, field_->end + 1);
}

void WriterField::Delete() {
  Alive();
  document_.DeleteField(*field_);
}

std::pair<size_t, size_t> WriterFields::Span() const {
  const auto& fields = document_.story().fields();
  if (!inSelection_) return {0, fields.size()};
  long start = document_.Start();
  long end = document_.End();
  size_t first = document_.story().FieldAtOrAfter(start);
  size_t last = first;
  while (last < fields.size() && fields[last]->begin < end && fields[last]->end < end) ++last;
  return {first, last};
}

long WriterFields::Count() const {
  auto [first, last] = Span();
  return static_cast<long>(last - first);
}

std::unique_ptr<host::Field> WriterFields::Item(long index) const {
  auto [first, last] = Span();
  if (index < 1 || static_cast<size_t>(index) > last - first) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  return std::make_unique<WriterField>(
      document_, document_.story().fields()[first + static_cast<size_t>(index - 1)]);
}

std::unique_ptr<host::Field> WriterFields::Add(const host::Range& range, host::WdFieldType type,
                                               host::Optional<std::string> text,
                                               host::Optional<bool> preserveFormatting) {
  (void)preserveFormatting;
  if (type != host::wdFieldQuote && type != host::wdFieldEmpty) {
    throw host::HostError(
        host::kErrBadParameter,
        "field type " + std::to_string(static_cast<int>(type)) + " is not supported");
  }
  const std::string value = text.value_or("");
  // Word writes a code with a blank on either side of it; QUOTE shows its text as result.
  std::string code = type == host::wdFieldQuote ? " QUOTE " + value + " " : " " + value + " ";
  std::string result = type == host::wdFieldQuote ? value : std::string();
  StoryFieldPtr field = document_.AddField(range.Start(), range.End(), code, result);
  return std::make_unique<WriterField>(document_, std::move(field));
}

}  // namespace quillon::libreoffice
