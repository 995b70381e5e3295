// One field of the main text: a code and a displayed result between begin, separator and end
// marks.
#pragma once

#include <memory>

#include "addin/host/Range.h"

namespace quillon::host {

class Field {
 public:
  virtual ~Field() = default;

  // Returns the range of the field's code (between begin mark and separator). Caller owns the
  // result; it follows the field through edits. Throws HostError once the field is deleted.
  virtual std::unique_ptr<host::Range> Code() const = 0;
  // Returns the range of the displayed result (between separator and end mark); writing its
  // text replaces the result with one run in the formatting of the result's first run.
  // Caller owns the result. Throws HostError once the field is deleted.
  virtual std::unique_ptr<host::Range> Result() const = 0;
  // Returns whether the field shows its code instead of its result.
  virtual bool ShowCodes() const = 0;
  // Switches between showing the code and the result.
  virtual void SetShowCodes(bool show) = 0;
  // Selects the whole field, from its begin mark through its end mark.
  virtual void Select() = 0;
  // Removes the field (marks, code and result) from the document; the object is dead after.
  virtual void Delete() = 0;
};

}  // namespace quillon::host
