#include "widgets/ListItemCollection.h"

#include <algorithm>
#include <cmath>

#include "widgets/WidgetError.h"
#include "widgets/modSortCallback.h"

namespace quillon::widgets {
namespace {

constexpr const char* kSource = "ListItemCollection";

// capacity * 1.5, halves rounded to the even neighbour: 1000, 1500, 2250, 3375, 5062, ...
int32_t GrownCapacity(int32_t capacity) {
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(capacity) * 1.5));
}

}  // namespace

void ListItemCollection::CheckIndex(int32_t index) const {
  if (index < 0 || index >= ItemCount()) RaiseSubscriptOutOfRange(kSource);
}

ListItem& ListItemCollection::AddItem(int32_t index) {
  if (index > ItemCount()) RaiseSubscriptOutOfRange(kSource);
  if (items_.capacity() < static_cast<size_t>(capacity_)) {
    items_.reserve(static_cast<size_t>(capacity_));
  }
  auto item = std::make_unique<ListItem>();
  item->SetSubItemCount(columnCount_);
  ListItem& added = *item;
  if (index < 0) {
    items_.push_back(std::move(item));
  } else {
    items_.insert(items_.begin() + index, std::move(item));
  }
  if (ItemCount() > capacity_ - 1) {
    // A capacity of 0 or 1 would not grow by half; never let it fall behind the items.
    capacity_ = std::max(GrownCapacity(capacity_), ItemCount() + 1);
    items_.reserve(static_cast<size_t>(capacity_));
  }
  return added;
}

void ListItemCollection::RemoveItem(int32_t index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

void ListItemCollection::MoveItem(int32_t from, int32_t to) {
  CheckIndex(from);
  CheckIndex(to);
  auto first = items_.begin();
  if (from < to) {
    std::rotate(first + from, first + from + 1, first + to + 1);
  } else if (from > to) {
    std::rotate(first + to, first + from, first + from + 1);
  }
}

void ListItemCollection::Clear() {
  items_.clear();
}

void ListItemCollection::PrepareForItems(int32_t n) {
  items_.clear();
  capacity_ = std::max(n, 0);
  items_.reserve(static_cast<size_t>(capacity_));
}

ListItem& ListItemCollection::Item(int32_t index) {
  CheckIndex(index);
  return *items_[static_cast<size_t>(index)];
}

const ListItem& ListItemCollection::Item(int32_t index) const {
  CheckIndex(index);
  return *items_[static_cast<size_t>(index)];
}

void ListItemCollection::Sort(int32_t column, int32_t order) {
  const int32_t count = ItemCount();
  if (count < 1 || column < 0 || column >= columnCount_) return;
  SortSettings() = {column, order};

  // Shell sort over the gaps 1, 4, 13, 40, ...: start below the first gap past the count.
  int32_t gap = 1;
  while (gap <= count) gap = 3 * gap + 1;
  for (gap /= 3; gap >= 1; gap /= 3) {
    for (int32_t i = gap; i < count; ++i) {
      std::unique_ptr<ListItem> moving = std::move(items_[static_cast<size_t>(i)]);
      int32_t j = i;
      // Only a strictly greater predecessor moves, so equal texts keep their order here.
      while (j >= gap && CompareItems(*items_[static_cast<size_t>(j - gap)], *moving) == 1) {
        items_[static_cast<size_t>(j)] = std::move(items_[static_cast<size_t>(j - gap)]);
        j -= gap;
      }
      items_[static_cast<size_t>(j)] = std::move(moving);
    }
  }
}

}  // namespace quillon::widgets
