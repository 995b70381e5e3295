// The numbered error that the widget classes raise: a number, the raising class's name and a
// description, like the host's runtime errors.
#pragma once

#include <stdexcept>
#include <string>

namespace quillon::widgets {

// The platform's "subscript out of range" error.
inline constexpr int kErrSubscriptOutOfRange = 9;
inline constexpr const char* kSubscriptOutOfRangeText = "Subscript out of range";

class WidgetError : public std::runtime_error {
 public:
  WidgetError(int number, std::string source, std::string description)
      : std::runtime_error(description),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)) {}

  int Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

 private:
  int number_;
  std::string source_;
  std::string description_;
};

// Raises error 9 for source.
[[noreturn]] inline void RaiseSubscriptOutOfRange(const std::string& source) {
  throw WidgetError(kErrSubscriptOutOfRange, source, kSubscriptOutOfRangeText);
}

}  // namespace quillon::widgets
