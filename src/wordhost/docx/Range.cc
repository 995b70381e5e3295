#include "wordhost/docx/Range.h"

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::docx {

Range::Range(Document& document, long start, long end)
    : document_(document), start_(start), end_(end) {}

Range::Range(Document& document, FieldPtr field, Part part)
    : document_(document), field_(std::move(field)), part_(part) {}

void Range::CheckAlive() const {
  if (field_ && !field_->alive) {
    throw host::HostError(host::kErrObjectDeleted, "the field of this range has been deleted");
  }
}

long Range::Start() const {
  CheckAlive();
  const FieldIndex& fields = document_.fieldIndex();
  switch (part_) {
    case Part::kCode:
      return fields.BeginOf(*field_, document_.story()) + 1;
    case Part::kResult: {
      long separator = fields.SeparatorOf(*field_, document_.story());
      long end = fields.EndOf(*field_, document_.story());
      return separator == end ? end : separator + 1;
    }
    case Part::kFixed:
      break;
  }
  return start_;
}

long Range::End() const {
  CheckAlive();
  const FieldIndex& fields = document_.fieldIndex();
  switch (part_) {
    case Part::kCode:
      return fields.SeparatorOf(*field_, document_.story());
    case Part::kResult:
      return fields.EndOf(*field_, document_.story());
    case Part::kFixed:
      break;
  }
  return end_;
}

std::string Range::Text() const {
  CheckAlive();
  if (part_ == Part::kCode) return document_.CodeText(*field_);
  if (part_ == Part::kResult) return document_.ResultText(*field_);
  return ShownText(document_.story(), Start(), End(), document_.fieldIndex());
}

std::string Range::StoryText() const {
  return docx::StoryText(document_.story(), Start(), End());
}

void Range::SetText(const std::string& text) {
  if (part_ == Part::kResult) {
    CheckAlive();
    document_.SetFieldResult(*field_, text);
    return;
  }
  long start = Start();
  long written = document_.ReplaceText(start, End(), text);
  if (part_ == Part::kFixed) end_ = start + written;
}

void Range::Select() {
  document_.selection().SetRange(Start(), End());
}

}  // namespace quillon::docx
