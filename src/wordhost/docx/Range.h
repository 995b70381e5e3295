// Ranges of the main text: fixed positions, or the code or result of a field (which follow
// the field through edits).
#pragma once

#include <memory>
#include <string>

#include "addin/host/Range.h"
#include "wordhost/docx/FieldIndex.h"

namespace quillon::docx {

class Document;

class Range : public host::Range {
 public:
  enum class Part { kFixed, kCode, kResult };

  // A range [start, end). REQUIRES: the positions are valid in document.
  Range(Document& document, long start, long end);
  // The code or the result of field.
  Range(Document& document, FieldPtr field, Part part);

  long Start() const override;
  long End() const override;
  std::string Text() const override;
  std::string StoryText() const override;
  void SetText(const std::string& text) override;
  void Select() override;

 private:
  void CheckAlive() const;

  Document& document_;
  FieldPtr field_;
  Part part_ = Part::kFixed;
  long start_ = 0;
  long end_ = 0;
};

}  // namespace quillon::docx
