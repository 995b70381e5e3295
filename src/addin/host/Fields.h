// The fields of the main text (or of a selection), in document order, 1-based.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "addin/host/Enumerations.h"
#include "addin/host/Field.h"
#include "addin/host/Range.h"

namespace quillon::host {

class Fields {
 public:
  virtual ~Fields() = default;

  // Returns the number of fields.
  virtual long Count() const = 0;
  // Returns field index (1-based). Caller owns the result; it stays valid while the field
  // exists. Throws HostError (kErrNoSuchMember) when index is out of range.
  virtual std::unique_ptr<Field> Item(long index) const = 0;
  // Writes a new field of type over range's content (QUOTE: code "QUOTE " + text, result
  // text) in the formatting of the text it replaces or of the run at the insertion point.
  // Returns the new field, owned by the caller. Throws HostError for an unsupported type or a
  // range that cuts a field in two.
  virtual std::unique_ptr<Field> Add(const host::Range& range, WdFieldType type,
                                     Optional<std::string> text = kMissing,
                                     Optional<bool> preserveFormatting = kMissing) = 0;

  // Returns every field in order (the enumeration of the collection). Caller owns them.
  std::vector<std::unique_ptr<Field>> Enumerate() const {
    std::vector<std::unique_ptr<Field>> all;
    for (long i = 1, n = Count(); i <= n; ++i) all.push_back(Item(i));
    return all;
  }
};

}  // namespace quillon::host
