#include "widgets/ColumnCollection.h"

#include <charconv>

#include "base/Text.h"
#include "widgets/WidgetError.h"

namespace quillon::widgets {
namespace {

constexpr const char* kSource = "ColumnCollection";

// Reads text as a whole number (blanks around it and a sign allowed), as a position.
bool ReadsAsNumber(const std::string& text, int64_t& number) {
  std::string trimmed = TrimSpaces(text);
  if (trimmed.empty()) return false;
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (*first == '+') ++first;
  auto [end, error] = std::from_chars(first, last, number);
  return error == std::errc() && end == last;
}

}  // namespace

Column& ColumnCollection::Add(const std::string& key) {
  for (const auto& column : columns_) {
    if (CompareTextIgnoreCase(column->key, key) == 0) {
      throw WidgetError(kErrDuplicateKey, kSource, kDuplicateKeyText);
    }
  }
  columns_.push_back(std::make_unique<Column>());
  columns_.back()->key = key;
  return *columns_.back();
}

int32_t ColumnCollection::PositionOf(const ColumnRef& ref) const {
  int64_t position = -1;
  if (const int32_t* index = std::get_if<int32_t>(&ref)) {
    position = *index;
  } else {
    const std::string& key = std::get<std::string>(ref);
    if (!ReadsAsNumber(key, position)) {
      for (size_t i = 0; i < columns_.size(); ++i) {
        if (CompareTextIgnoreCase(columns_[i]->key, key) == 0) return static_cast<int32_t>(i);
      }
      RaiseSubscriptOutOfRange(kSource);
    }
  }
  if (position < 0 || position >= Count()) RaiseSubscriptOutOfRange(kSource);
  return static_cast<int32_t>(position);
}

Column& ColumnCollection::Item(const ColumnRef& ref) {
  return *columns_[static_cast<size_t>(PositionOf(ref))];
}

const Column& ColumnCollection::Item(const ColumnRef& ref) const {
  return *columns_[static_cast<size_t>(PositionOf(ref))];
}

void ColumnCollection::Remove(const ColumnRef& ref) {
  columns_.erase(columns_.begin() + PositionOf(ref));
}

}  // namespace quillon::widgets
