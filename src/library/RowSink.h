// Where the rows of a query go when the caller wants them as they come instead of as a grid:
// the library manager's list view, the command line's table printer, tests. The store knows
// nothing of its receivers beyond this interface.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillon::library {

// Receives one result table. A result without rows reaches the sink not at all, so a receiver
// keeps what it showed before. Implementations do not throw.
class RowSink {
 public:
  virtual ~RowSink() = default;

  // Called once, before the rows, with the result's column names in result order and the
  // number of rows that follow.
  virtual void BeginRows(const std::vector<std::string>& columnNames, int32_t rowCount) = 0;

  // Called once per data row, in result order, with the row's values in column order (NULL
  // as empty text). values is valid only during the call.
  virtual void AddRow(std::span<const std::string> values) = 0;
};

}  // namespace quillon::library
