#include "wordhost/docx/Field.h"

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Range.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {

void Field::CheckAlive() const {
  if (!field_->alive) throw host::HostError(host::kErrObjectDeleted, "the field has been deleted");
}

std::unique_ptr<host::Range> Field::Code() const {
  CheckAlive();
  return std::make_unique<docx::Range>(document_, field_, docx::Range::Part::kCode);
}

std::unique_ptr<host::Range> Field::Result() const {
  CheckAlive();
  return std::make_unique<docx::Range>(document_, field_, docx::Range::Part::kResult);
}

bool Field::ShowCodes() const {
  CheckAlive();
  return field_->showCodes;
}

void Field::SetShowCodes(bool show) {
  CheckAlive();
  field_->showCodes = show;
}

void Field::Select() {
  CheckAlive();
  const FieldIndex& fields = document_.fieldIndex();
  long begin = fields.BeginOf(*field_, document_.story());
  long end = fields.EndOf(*field_, document_.story()) + 1;
  document_.selection().SetRange(begin, end);
}

void Field::Delete() {
  CheckAlive();
  document_.DeleteField(*field_);
}

}  // namespace quillon::docx
