// The columns of a list view: plain records in display order, looked up by position or by key.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace quillon::widgets {

struct Column {
  std::string key;  // unique within the control, compared without regard to case
  std::string Caption;
  int32_t Width = 0;
  int32_t TextAlign = 0;
  bool Resizable = true;
  bool Visible = true;
  int32_t WidthAutoSized = 0;
  bool Pushed = false;
  int32_t LastSortOrder = 0;
};

// A column argument: a 0-based position, or a key. A key that reads as a number (a string of
// digits) counts as a position, so such keys cannot be looked up by key.
using ColumnRef = std::variant<int32_t, std::string>;

inline constexpr int kErrDuplicateKey = 300;
inline constexpr const char* kDuplicateKeyText = "Objekt nicht eindeutig in Aufzählung!";

class ColumnCollection {
 public:
  // Appends a column with key and returns it (owned by the collection, valid until removed).
  // Throws WidgetError 300 when a column with that key exists (case-insensitive).
  Column& Add(const std::string& key);
  // Returns the column at a position or with a key (first match, case-insensitive).
  // Throws WidgetError 9 for a position out of range or an unknown key.
  Column& Item(const ColumnRef& ref);
  const Column& Item(const ColumnRef& ref) const;
  // Removes the column; the later ones move down one place. Throws WidgetError 9 like Item.
  void Remove(const ColumnRef& ref);
  // Returns the 0-based position of ref. Throws WidgetError 9 like Item.
  int32_t PositionOf(const ColumnRef& ref) const;

  int32_t Count() const { return static_cast<int32_t>(columns_.size()); }

 private:
  std::vector<std::unique_ptr<Column>> columns_;
};

}  // namespace quillon::widgets
