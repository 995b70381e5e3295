// The fields of a Writer document's main text (its fieldmarks), or of the selection. Included
// by this folder's files only.
#pragma once

#include <memory>

#include "addin/host/Fields.h"
#include "hosts/libreoffice/WriterDocument.h"

namespace quillon::libreoffice {

class WriterField : public host::Field {
 public:
  // REQUIRES: document outlives the field.
  WriterField(WriterDocument& document, StoryFieldPtr field)
      : document_(document), field_(std::move(field)) {}
  std::unique_ptr<host::Range> Code() const override;
  std::unique_ptr<host::Range> Result() const override;
  bool ShowCodes() const override { return field_->showCodes; }
  void SetShowCodes(bool show) override { field_->showCodes = show; }
  void Select() override;
  void Delete() override;

 private:
  void Alive() const;
  WriterDocument& document_;
  StoryFieldPtr field_;
};

class WriterFields : public host::Fields {
 public:
  // The fields of the main text, or (inSelection) those inside the selection.
  // REQUIRES: document outlives the collection.
  WriterFields(WriterDocument& document, bool inSelection)
      : document_(document), inSelection_(inSelection) {}
  long Count() const override;
  std::unique_ptr<host::Field> Item(long index) const override;
  // Only QUOTE and empty fields are written (the add-in writes no other kind); formatting is
  // Writer's at the insertion point.
  std::unique_ptr<host::Field> Add(const host::Range& range, host::WdFieldType type,
                                   host::Optional<std::string> text,
                                   host::Optional<bool> preserveFormatting) override;

 private:
  // The fields counted: [first, last) of the story's.
  std::pair<size_t, size_t> Span() const;
  WriterDocument& document_;
  bool inSelection_;
};

}  // namespace quillon::libreoffice
