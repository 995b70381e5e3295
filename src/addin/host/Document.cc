#include "addin/host/Document.h"

#include "addin/host/Field.h"

namespace quillon::host {

long Document::AddFields(std::span<const NewField> fields) {
  // Each field moves the text after it by the difference between its length and the text it
  // replaced; the ranges are given as they were before the call.
  long shift = 0;
  long after = -1;
  for (const NewField& field : fields) {
    std::unique_ptr<Field> added =
        Fields().Add(*Range(field.start + shift, field.end + shift), wdFieldEmpty, field.code);
    std::unique_ptr<host::Range> result = added->Result();
    result->SetText(field.result);
    after = result->End() + 1;
    shift = after - field.end;
  }
  return after;
}

}  // namespace quillon::host
