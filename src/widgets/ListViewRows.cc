#include "widgets/ListViewRows.h"

namespace quillon::widgets {

void ListViewRows::BeginRows(const std::vector<std::string>& columnNames, int32_t rowCount) {
  list_.Clear();
  list_.PrepareForItems(rowCount + 1);
  for (const std::string& name : columnNames) list_.AddColumn(name, name, 0, 80);
}

void ListViewRows::AddRow(std::span<const std::string> values) {
  if (values.empty()) return;
  int32_t item = list_.AddItem(-1, values[0]);
  for (size_t c = 1; c < values.size(); ++c) {
    list_.SetItemText(item, static_cast<int32_t>(c), values[c]);
  }
}

}  // namespace quillon::widgets
