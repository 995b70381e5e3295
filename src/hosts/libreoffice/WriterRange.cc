#include "hosts/libreoffice/WriterRange.h"

#include "addin/host/HostError.h"

namespace quillon::libreoffice {

WriterRange::WriterRange(WriterDocument& document, long start, long end)
    : document_(document), kind_(Kind::kFixed), start_(start), end_(end) {}

WriterRange::WriterRange(WriterDocument& document, Kind kind, StoryFieldPtr field)
    : document_(document), kind_(kind), field_(std::move(field)) {}

std::unique_ptr<WriterRange> WriterRange::CodeOf(WriterDocument& document, StoryFieldPtr field) {
  return std::unique_ptr<WriterRange>(new WriterRange(document, Kind::kCode, std::move(field)));
}

std::unique_ptr<WriterRange> WriterRange::ResultOf(WriterDocument& document, StoryFieldPtr field) {
  return std::unique_ptr<WriterRange>(new WriterRange(document, Kind::kResult, std::move(field)));
}

void WriterRange::Bounds(long& start, long& end) const {
  if (kind_ == Kind::kFixed) {
    start = start_;
    end = end_;
    return;
  }
  if (field_->deleted) throw host::HostError(host::kErrObjectDeleted, "the field is deleted");
  if (kind_ == Kind::kCode) {
    start = field_->begin + 1;
    end = field_->separator;
  } else {
    // A field without a separator has an empty result just before its end mark.
    start = field_->separator < field_->end ? field_->separator + 1 : field_->end;
    end = field_->end;
  }
}

long WriterRange::Start() const {
  long start, end;
  Bounds(start, end);
  return start;
}

long WriterRange::End() const {
  long start, end;
  Bounds(start, end);
  return end;
}

std::string WriterRange::Text() const {
  long start, end;
  Bounds(start, end);
  return document_.story().ShownText(start, end);
}

std::string WriterRange::StoryText() const {
  long start, end;
  Bounds(start, end);
  return document_.story().StoryCharacters(start, end);
}

void WriterRange::SetText(const std::string& text) {
  long start, end;
  Bounds(start, end);
  long written = document_.Replace(start, end, text);
  if (kind_ == Kind::kFixed) end_ = start_ + written;
}

void WriterRange::Select() {
  long start, end;
  Bounds(start, end);
  document_.Select(start, end);
}

}  // namespace quillon::libreoffice
