#include "widgets/modSortCallback.h"

#include "base/Text.h"
#include "widgets/ListItemCollection.h"

namespace quillon::widgets {

SortCallbackSettings& SortSettings() {
  static SortCallbackSettings settings;
  return settings;
}

int CompareItems(const ListItem& a, const ListItem& b) {
  const SortCallbackSettings& settings = SortSettings();
  static const std::string kEmpty;
  auto cell = [&](const ListItem& item) -> const std::string& {
    size_t column = static_cast<size_t>(settings.column);
    return column < item.Text.size() ? item.Text[column] : kEmpty;
  };
  int result = CompareTextIgnoreCase(cell(a), cell(b));
  return settings.order == 1 ? -result : result;
}

}  // namespace quillon::widgets
