// A row sink for tests: keeps what a query handed it.
#pragma once

#include <string>
#include <vector>

#include "library/RowSink.h"

namespace quillon::testing {

class RecordedRows : public library::RowSink {
 public:
  void BeginRows(const std::vector<std::string>& names, int32_t rowCount) override {
    ++begun;
    columnNames = names;
    announcedRows = rowCount;
  }
  void AddRow(std::span<const std::string> values) override {
    rows.emplace_back(values.begin(), values.end());
  }

  // Returns the values of column, in row order.
  std::vector<std::string> Column(size_t column) const {
    std::vector<std::string> values;
    for (const auto& row : rows) values.push_back(row.at(column));
    return values;
  }

  int begun = 0;  // how many results began
  std::vector<std::string> columnNames;
  int32_t announcedRows = -1;
  std::vector<std::vector<std::string>> rows;
};

}  // namespace quillon::testing
