// The list view as a receiver of query rows: the library store pours a result into it without
// knowing the control.
#pragma once

#include "library/RowSink.h"
#include "widgets/ListView.h"

namespace quillon::widgets {

// Fills a list view with a result: the items are replaced, one column per result column (key
// and caption the column's name, left aligned, 80 wide) is added, and each row becomes an item
// whose text is the first value and whose sub-items are the others.
// REQUIRES: the list view outlives this object and has none of the result's column keys.
class ListViewRows : public library::RowSink {
 public:
  explicit ListViewRows(ListView& list) : list_(list) {}

  void BeginRows(const std::vector<std::string>& columnNames, int32_t rowCount) override;
  void AddRow(std::span<const std::string> values) override;

 private:
  ListView& list_;
};

}  // namespace quillon::widgets
