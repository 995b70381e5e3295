// A handle on one field of a document.
#pragma once

#include "addin/host/Field.h"
#include "wordhost/docx/FieldIndex.h"

namespace quillon::docx {

class Document;

class Field : public host::Field {
 public:
  Field(Document& document, FieldPtr field) : document_(document), field_(std::move(field)) {}

  std::unique_ptr<host::Range> Code() const override;
  std::unique_ptr<host::Range> Result() const override;
  bool ShowCodes() const override;
  void SetShowCodes(bool show) override;
  void Select() override;
  void Delete() override;

  // Returns the record this handle refers to.
  const FieldPtr& record() const { return field_; }

 private:
  void CheckAlive() const;

  Document& document_;
  FieldPtr field_;
};

}  // namespace quillon::docx
