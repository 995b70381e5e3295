// The add-in's own resources: files compiled into the binary, found by type and id, as a
// Windows module's resource section would hold them. The add-in registers its pictures and
// data at start; pictures are then loaded with c32bppDIB::LoadPicture_Resource.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace quillon::widgets {

// The numbered resource sections for pictures and the type names they are registered under.
inline constexpr int32_t kResBitmap = 0;
inline constexpr int32_t kResIcon = 1;
inline constexpr int32_t kResCursor = 2;

// Returns "BITMAP", "ICON" or "CURSOR" for the numbered sections, "" for any other number.
std::string_view ResourceTypeName(int32_t section);

class ResourceRegistry {
 public:
  // Registers bytes as resource id of type (type names compare without regard to case).
  // The registry does not copy bytes: they must outlive it (embedded data does).
  void Add(std::string_view type, int32_t id, std::span<const unsigned char> bytes);
  // Returns the bytes of resource id of type, or nullopt when there is none. Valid while the
  // registered bytes are.
  std::optional<std::span<const unsigned char>> Find(std::string_view type, int32_t id) const;
  // Forgets every resource.
  void Clear() { entries_.clear(); }

 private:
  std::map<std::pair<std::string, int32_t>, std::span<const unsigned char>> entries_;
};

// Returns the process's registry of the add-in's own resources. Lives until exit.
ResourceRegistry& AddinResources();

}  // namespace quillon::widgets
