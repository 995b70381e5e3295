// The field collections: all fields of the main text, and those inside the selection.
#pragma once

#include "addin/host/Fields.h"

namespace quillon::docx {

class Document;

class DocumentFields : public host::Fields {
 public:
  explicit DocumentFields(Document& document) : document_(document) {}

  long Count() const override;
  std::unique_ptr<host::Field> Item(long index) const override;
  std::unique_ptr<host::Field> Add(const host::Range& range, host::WdFieldType type,
                                   host::Optional<std::string> text,
                                   host::Optional<bool> preserveFormatting) override;

 protected:
  Document& document_;
};

// The fields wholly inside the selection, counted when asked.
class SelectionFields : public DocumentFields {
 public:
  using DocumentFields::DocumentFields;

  long Count() const override;
  std::unique_ptr<host::Field> Item(long index) const override;

 private:
  // Returns the index range [first, last) of the fields inside the selection.
  std::pair<size_t, size_t> Span() const;
};

}  // namespace quillon::docx
