// Ranges of a Writer document's main text in story positions: a fixed stretch, or a field's
// code or result, which follow the field through edits. Included by this folder's files only.
#pragma once

#include <memory>

#include "addin/host/Range.h"
#include "hosts/libreoffice/WriterDocument.h"

namespace quillon::libreoffice {

class WriterRange : public host::Range {
 public:
  // [start, end) of document. REQUIRES: document outlives the range.
  WriterRange(WriterDocument& document, long start, long end);
  // The code of field (between its begin mark and its separator), or its result (between its
  // separator and its end mark). Throw HostError (kErrObjectDeleted) once the field is gone.
  static std::unique_ptr<WriterRange> CodeOf(WriterDocument& document, StoryFieldPtr field);
  static std::unique_ptr<WriterRange> ResultOf(WriterDocument& document, StoryFieldPtr field);

  long Start() const override;
  long End() const override;
  std::string Text() const override;
  std::string StoryText() const override;
  // Replaces the content; a fixed range then covers the new text.
  void SetText(const std::string& text) override;
  void Select() override;

 private:
  enum class Kind { kFixed, kCode, kResult };
  WriterRange(WriterDocument& document, Kind kind, StoryFieldPtr field);
  void Bounds(long& start, long& end) const;

  WriterDocument& document_;
  Kind kind_;
  StoryFieldPtr field_;
  long start_ = 0;
  long end_ = 0;
};

}  // namespace quillon::libreoffice
