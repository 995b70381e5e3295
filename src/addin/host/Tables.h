// The tables of the main text, or those a selection touches, 1-based.
#pragma once

#include <memory>

#include "addin/host/Enumerations.h"
#include "addin/host/Range.h"
#include "addin/host/Table.h"

namespace quillon::host {

class Tables {
 public:
  virtual ~Tables() = default;
  // Returns the number of tables.
  virtual long Count() const = 0;
  // Returns table index (1-based). Caller owns it. Throws HostError (kErrNoSuchMember) when
  // out of range.
  virtual std::unique_ptr<Table> Item(long index) const = 0;
  // Adds a table of rows x columns in place of range (WdDefaultTableBehavior,
  // WdAutoFitBehavior) and puts the insertion point in its first cell. Returns the table,
  // owned by the caller. Throws HostError for a range inside a table or zero rows/columns.
  virtual std::unique_ptr<Table> Add(const host::Range& range, long rows, long columns,
                                     Optional<WdDefaultTableBehavior> defaultBehavior = kMissing,
                                     Optional<WdAutoFitBehavior> autoFitBehavior = kMissing) = 0;
};

}  // namespace quillon::host
