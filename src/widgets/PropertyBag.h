// The hosting form's property bag: where a control keeps its design-time settings, under the
// property names as keys. A value equal to its stored default is not written, and reading a
// missing key gives that default.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "widgets/Font.h"

namespace quillon::widgets {

using PropertyValue = std::variant<bool, int32_t, double, std::string, Font>;

class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  // Returns the stored value of name, or nullopt when the bag holds none.
  virtual std::optional<PropertyValue> Read(std::string_view name) const = 0;
  // Stores value under name, replacing what was there.
  virtual void Write(std::string_view name, const PropertyValue& value) = 0;
  // Forgets name.
  virtual void Erase(std::string_view name) = 0;
};

// Returns the value stored under name converted to T, or defaultValue when the bag holds none
// or holds a value of another kind (a number is converted between integer and double).
template <typename T, typename Variant>
struct IsPropertyAlternative;
template <typename T, typename... Ts>
struct IsPropertyAlternative<T, std::variant<Ts...>>
    : std::bool_constant<(std::is_same_v<T, Ts> || ...)> {};

template <typename T>
T ReadProperty(const PropertyBag& bag, std::string_view name, const T& defaultValue) {
  std::optional<PropertyValue> stored = bag.Read(name);
  if (!stored) return defaultValue;
  if constexpr (IsPropertyAlternative<T, PropertyValue>::value) {
    if (const T* value = std::get_if<T>(&*stored)) return *value;
  }
  if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) {
    if (const auto* i = std::get_if<int32_t>(&*stored)) return static_cast<T>(*i);
    if (const auto* d = std::get_if<double>(&*stored)) return static_cast<T>(*d);
  }
  return defaultValue;
}

// Stores value under name, or erases name when value equals its stored default.
template <typename T>
void WriteProperty(PropertyBag& bag, std::string_view name, const T& value, const T& defaultValue) {
  if (value == defaultValue) {
    bag.Erase(name);
  } else if constexpr (std::is_same_v<T, int16_t>) {
    bag.Write(name, PropertyValue(static_cast<int32_t>(value)));
  } else {
    bag.Write(name, PropertyValue(value));
  }
}

// A property bag in memory: the form's storage in tests and in programs without a form file.
class MemoryPropertyBag : public PropertyBag {
 public:
  std::optional<PropertyValue> Read(std::string_view name) const override {
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  void Write(std::string_view name, const PropertyValue& value) override {
    values_.insert_or_assign(std::string(name), value);
  }
  void Erase(std::string_view name) override {
    auto it = values_.find(name);
    if (it != values_.end()) values_.erase(it);
  }
  bool Contains(std::string_view name) const { return values_.find(name) != values_.end(); }
  size_t Size() const { return values_.size(); }

 private:
  std::map<std::string, PropertyValue, std::less<>> values_;
};

}  // namespace quillon::widgets
