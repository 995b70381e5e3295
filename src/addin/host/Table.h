// One table of the main text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "addin/host/Range.h"

namespace quillon::host {

class Table {
 public:
  virtual ~Table() = default;
  // Returns the name of the table's style ("Table Grid"), or "Table Normal" when it has none.
  virtual std::string Style() const = 0;
  // Applies the style of that name. Throws HostError (kErrNoSuchStyle) when the document has no
  // such table style and the host cannot supply it.
  virtual void SetStyle(const std::string& name) = 0;
  // Switch the style's special formatting of the heading rows, last row, first and last
  // column on or off.
  virtual void SetApplyStyleHeadingRows(bool on) = 0;
  virtual void SetApplyStyleLastRow(bool on) = 0;
  virtual void SetApplyStyleFirstColumn(bool on) = 0;
  virtual void SetApplyStyleLastColumn(bool on) = 0;
  // Returns the number of rows.
  virtual long RowCount() const = 0;
  // Returns the ranges of row's cells (1-based row), in order, each covering the cell's content
  // without its end mark. Caller owns them; an edit of the table invalidates them. Throws
  // HostError (kErrNoSuchMember) when row is out of range.
  virtual std::vector<std::unique_ptr<host::Range>> RowCells(long row) const = 0;
  // Returns the table's range, from its first cell through its last row end. Caller owns it.
  virtual std::unique_ptr<host::Range> Range() const = 0;
  // Removes the table with everything in it, fields included; the object is dead after.
  virtual void Delete() = 0;
};

}  // namespace quillon::host
