// The items of a list view: one array of item references with spare capacity, so appending
// does not reallocate per item and sorting moves references, never item data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon::widgets {

struct ListItem {
  std::vector<std::string> Text;  // one cell per column
  int32_t PictureIndex = 0;
  bool Checked = false;
  bool Selected = false;
  int32_t Tag = 0;

  // Makes n empty cells, discarding the previous ones.
  void SetSubItemCount(int32_t n) { Text.assign(static_cast<size_t>(n < 0 ? 0 : n), {}); }
};

class ListItemCollection {
 public:
  static constexpr int32_t kInitialCapacity = 1000;

  // Inserts a new item with ColumnCount() empty cells at index (index < 0 appends), moving the
  // items from index on up one place; grows the capacity by half once the items fill it.
  // Returns the item (owned by the collection, valid until removed or cleared).
  // Throws WidgetError 9 when index is beyond the end.
  ListItem& AddItem(int32_t index);
  // Removes the item at index; the later items move down. Throws WidgetError 9 when out of range.
  void RemoveItem(int32_t index);
  // Moves the item at from to slot to, shifting the items between them by one.
  // Throws WidgetError 9 when either is out of range.
  void MoveItem(int32_t from, int32_t to);
  // Discards every item; keeps the capacity.
  void Clear();
  // Discards every item and sets the capacity to n, so n - 1 items fit without growth.
  void PrepareForItems(int32_t n);
  // Returns the item at index. Throws WidgetError 9 when out of range.
  ListItem& Item(int32_t index);
  const ListItem& Item(int32_t index) const;
  // Sorts the items by the texts of column in order (see modSortCallback.h). Does nothing
  // without items or for a column outside 0 .. ColumnCount() - 1.
  void Sort(int32_t column, int32_t order);

  int32_t ItemCount() const { return static_cast<int32_t>(items_.size()); }
  int32_t Capacity() const { return capacity_; }
  int32_t ColumnCount() const { return columnCount_; }
  // Sets the number of cells that new items get.
  void SetColumnCount(int32_t count) { columnCount_ = count; }

 private:
  void CheckIndex(int32_t index) const;

  std::vector<std::unique_ptr<ListItem>> items_;
  int32_t capacity_ = kInitialCapacity;
  int32_t columnCount_ = 0;
};

}  // namespace quillon::widgets
