// The comparer that list views sort their items with, and its two settings. The settings are
// shared by every list view of the process; a sort runs to its end before another starts.
#pragma once

#include <cstdint>

namespace quillon::widgets {

struct ListItem;

struct SortCallbackSettings {
  int32_t column = 0;  // position of the column whose texts are compared
  int32_t order = 0;   // 1 sorts descending; any other value ascending
};

// Returns the process-wide comparer settings.
SortCallbackSettings& SortSettings();

// Compares the two items' texts in the sort column, ignoring case: -1, 0 or 1, with the sign
// reversed when the sort order is 1. A missing cell compares as empty text.
int CompareItems(const ListItem& a, const ListItem& b);

}  // namespace quillon::widgets
