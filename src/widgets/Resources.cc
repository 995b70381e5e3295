#include "widgets/Resources.h"

#include "base/Text.h"

namespace quillon::widgets {

std::string_view ResourceTypeName(int32_t section) {
  switch (section) {
    case kResBitmap:
      return "BITMAP";
    case kResIcon:
      return "ICON";
    case kResCursor:
      return "CURSOR";
    default:
      return "";
  }
}

void ResourceRegistry::Add(std::string_view type, int32_t id,
                           std::span<const unsigned char> bytes) {
  entries_.insert_or_assign({UpperCase(type), id}, bytes);
}

std::optional<std::span<const unsigned char>> ResourceRegistry::Find(std::string_view type,
                                                                     int32_t id) const {
  auto it = entries_.find({UpperCase(type), id});
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

ResourceRegistry& AddinResources() {
  static ResourceRegistry registry;
  return registry;
}

}  // namespace quillon::widgets
