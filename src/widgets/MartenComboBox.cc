#include "widgets/MartenComboBox.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <variant>

#include "base/Text.h"
#include "base/Utf8.h"
#include "widgets/MartenComboBoxPattern.h"
#include "widgets/MartenComboBoxSortKeys.h"
#include "widgets/WidgetError.h"

namespace quillon::widgets {
namespace {

using Props = MartenComboBox::Properties;

// One stored property: its key in the bag and where it lives.
struct StoredProperty {
  const char* key;
  std::variant<OleColor Props::*, int16_t Props::*, int32_t Props::*, bool Props::*, float Props::*,
               std::string Props::*, Font Props::*>
      member;
};

// Every key of the bag except "Cols", which lives in the column array. Fonts default to the
// container's font, the rest to the initial values of Properties.
const StoredProperty kStoredProperties[] = {
    {"BackColor", &Props::backColor},
    {"BackColorEdit", &Props::backColorEdit},
    {"BackColorFixed", &Props::backColorFixed},
    {"BackColorSel", &Props::backColorSel},
    {"ForeColor", &Props::foreColor},
    {"ForeColorEdit", &Props::foreColorEdit},
    {"ForeColorSel", &Props::foreColorSel},
    {"ArrowColor", &Props::arrowColor},
    {"BorderColor", &Props::borderColor},
    {"BorderCurve", &Props::borderCurve},
    {"BorderStyle", &Props::borderStyle},
    {"BorderWidth", &Props::borderWidth},
    {"ButtonBackColor", &Props::buttonBackColor},
    {"DisplayEllipsis", &Props::displayEllipsis},
    {"FocusRectColor", &Props::focusRectColor},
    {"FocusRectStyle", &Props::focusRectStyle},
    {"HotArrowColor", &Props::hotArrowColor},
    {"HotBorderColor", &Props::hotBorderColor},
    {"HotButtonBackColor", &Props::hotButtonBackColor},
    {"ThemeStyle", &Props::themeStyle},
    {"AutoComplete", &Props::autoComplete},
    {"ColumnResize", &Props::columnResize},
    {"ColumnSort", &Props::columnSort},
    {"Editable", &Props::editable},
    {"Alignment", &Props::alignment},
    {"CacheIncrement", &Props::cacheIncrement},
    {"ColumnHeaders", &Props::columnHeaders},
    {"DropDownAutoWidth", &Props::dropDownAutoWidth},
    {"DropDownItemsVisible", &Props::dropDownItemsVisible},
    {"DropDownWidth", &Props::dropDownWidth},
    {"Enabled", &Props::enabled},
    {"IntegralHeight", &Props::integralHeight},
    {"Locked", &Props::locked},
    {"MaxLength", &Props::maxLength},
    {"PageScrollItems", &Props::pageScrollItems},
    {"RequireCheckedItem", &Props::requireCheckedItem},
    {"RowHeightMin", &Props::rowHeightMin},
    {"ScaleUnits", &Props::scaleUnits},
    {"SearchColumn", &Props::searchColumn},
    {"Style", &Props::style},
    {"TextAll", &Props::textAll},
    {"TextNone", &Props::textNone},
    {"TextSelection", &Props::textSelection},
    {"Font", &Props::font},
    {"DropDownFont", &Props::dropDownFont},
};

constexpr const char* kColsKey = "Cols";

// Colours live in the bag as signed 32-bit values (system colours are negative there).
void ReadStored(const PropertyBag& bag, const char* key, OleColor& value, OleColor def) {
  value = std::bit_cast<OleColor>(ReadProperty<int32_t>(bag, key, std::bit_cast<int32_t>(def)));
}
void WriteStored(PropertyBag& bag, const char* key, OleColor value, OleColor def) {
  WriteProperty<int32_t>(bag, key, std::bit_cast<int32_t>(value), std::bit_cast<int32_t>(def));
}
// Single-precision values live in the bag as doubles.
void ReadStored(const PropertyBag& bag, const char* key, float& value, float def) {
  value = static_cast<float>(ReadProperty<double>(bag, key, def));
}
void WriteStored(PropertyBag& bag, const char* key, float value, float def) {
  WriteProperty<double>(bag, key, value, def);
}
template <typename T>
void ReadStored(const PropertyBag& bag, const char* key, T& value, const T& def) {
  value = ReadProperty<T>(bag, key, def);
}
template <typename T>
void WriteStored(PropertyBag& bag, const char* key, const T& value, const T& def) {
  WriteProperty<T>(bag, key, value, def);
}

// (low + high) / 2 rounded to the nearest whole number, halves to even.
int32_t MiddleRow(int32_t low, int32_t high) {
  int64_t sum = static_cast<int64_t>(low) + high;
  int64_t half = sum / 2;
  if (sum % 2 != 0 && half % 2 != 0) ++half;
  return static_cast<int32_t>(half);
}

}  // namespace

MartenComboBox::MartenComboBox() {
  InitProperties(widgets::Font{});
  Clear();
}

// ---- Design-time storage ------------------------------------------------------------------

void MartenComboBox::InitProperties(const widgets::Font& containerFont) {
  p_ = Properties{};
  p_.font = containerFont;
  p_.dropDownFont = containerFont;
  ResetColumns(1);
  if (p_.style != kPlain) UpdateCheckedText();
  Redraw();
}

void MartenComboBox::ReadProperties(const PropertyBag& bag, const widgets::Font& containerFont) {
  Properties defaults;
  defaults.font = containerFont;
  defaults.dropDownFont = containerFont;
  for (const StoredProperty& stored : kStoredProperties) {
    std::visit([&](auto member) { ReadStored(bag, stored.key, p_.*member, defaults.*member); },
               stored.member);
  }
  ResetColumns(ReadProperty<int16_t>(bag, kColsKey, 1));
  if (p_.style != kPlain) UpdateCheckedText();
  Redraw();
}

void MartenComboBox::WriteProperties(PropertyBag& bag, const widgets::Font& containerFont) const {
  Properties defaults;
  defaults.font = containerFont;
  defaults.dropDownFont = containerFont;
  for (const StoredProperty& stored : kStoredProperties) {
    std::visit([&](auto member) { WriteStored(bag, stored.key, p_.*member, defaults.*member); },
               stored.member);
  }
  WriteProperty<int16_t>(bag, kColsKey, Cols(), 1);
}

// ---- List ---------------------------------------------------------------------------------

void MartenComboBox::AddItem(std::string_view text, int32_t row, bool checked, int32_t image) {
  if (lastIndex_ >= maxLastIndex_) {
    throw WidgetError(kErrMaxListItemsExceeded, kSourceName, kMaxListItemsExceededText);
  }
  const int32_t newLast = lastIndex_ + 1;
  if (static_cast<size_t>(newLast) >= items_.size()) {
    ResizeStore(static_cast<size_t>(newLast) + std::max(p_.cacheIncrement, 0) + 1);
  }
  lastIndex_ = newLast;
  if (row < 0 || row >= newLast) {
    rows_[newLast] = newLast;
  } else {
    std::move_backward(rows_.begin() + row, rows_.begin() + newLast, rows_.begin() + newLast + 1);
    rows_[row] = newLast;
  }

  Item& item = items_[newLast];
  item = Item{};
  item.texts.resize(columns_.size());
  if (columns_.size() == 1) {
    item.texts[0] = std::string(text);
  } else {
    size_t column = 0, start = 0;
    while (column < columns_.size()) {
      size_t tab = text.find('\t', start);
      item.texts[column++] = std::string(text.substr(start, tab - start));
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
  }
  item.foreColor = p_.foreColor;
  if (checked) SetChecked(newLast, true);
  if (p_.dropDownFont.Bold) items_[newLast].flags |= kFlagBold;
  items_[newLast].image = image;
  Redraw();
}

void MartenComboBox::Clear() {
  items_.assign(1, Item{});
  rows_.assign(1, 0);
  lastIndex_ = -1;
  listIndex_ = -1;
  sortColumn_ = -1;
  sortColumn2_ = -1;
  if (p_.style == kPlain) {
    text_.clear();
  } else {
    UpdateCheckedText();
  }
  Redraw();
}

void MartenComboBox::RemoveItem(int32_t row) {
  const int32_t k = ItemOfRow(row);
  std::move(items_.begin() + k + 1, items_.begin() + lastIndex_ + 1, items_.begin() + k);
  items_[lastIndex_] = Item{};
  std::move(rows_.begin() + row + 1, rows_.begin() + lastIndex_ + 1, rows_.begin() + row);
  rows_[lastIndex_] = 0;
  --lastIndex_;
  for (int32_t r = 0; r <= lastIndex_; ++r) {
    if (rows_[r] > k) --rows_[r];
  }
  if (lastIndex_ < 0) {
    Clear();
    return;
  }
  if (items_.size() - 1 - static_cast<size_t>(lastIndex_) >
      static_cast<size_t>(std::max(p_.cacheIncrement, 0))) {
    ResizeStore(static_cast<size_t>(lastIndex_) + 1);
  }
  if (listIndex_ > lastIndex_) SetListIndex(lastIndex_);
  Redraw();
}

void MartenComboBox::SetItem(int32_t itemData, int32_t fallbackRow) {
  int32_t found = -1;
  for (int32_t k = 0; k <= lastIndex_ && found < 0; ++k) {
    if (items_[k].data == itemData) found = k;
  }
  SelectItem(found, fallbackRow);
}

void MartenComboBox::SetItem(std::string_view text, int32_t fallbackRow) {
  int32_t found = -1;
  for (int32_t k = 0; k <= lastIndex_ && found < 0; ++k) {
    if (Cell(k, 0) == text) found = k;
  }
  SelectItem(found, fallbackRow);
}

void MartenComboBox::SelectItem(int32_t item, int32_t fallbackRow) {
  if (item >= 0) {
    SetListIndex(RowOfItem(item));
  } else if (fallbackRow >= 0) {
    SetListIndex(fallbackRow);
  }
}

// The primary column sorts every row. Rows that the primary column cannot tell apart are then
// sorted among themselves by the secondary column, so that the second key takes effect.
void MartenComboBox::Sort(int32_t column, std::optional<bool> ascending, int32_t column2,
                          std::optional<bool> ascending2) {
  // Both columns are checked before anything changes.
  if (column >= 0) ColumnAt(column);
  if (column2 >= 0) ColumnAt(column2);
  if (column >= 0) sortColumn_ = column;
  if (column2 >= 0) sortColumn2_ = column2;
  if (sortColumn_ < 0 && sortColumn2_ >= 0) {
    // The second column moves up and is then ruled as the primary one: the primary's direction
    // argument applies to it (none given: its flag is inverted).
    sortColumn_ = sortColumn2_;
    sortColumn2_ = -1;
    ascending2.reset();
  }
  if (sortColumn2_ == sortColumn_) sortColumn2_ = -1;
  if (sortColumn_ < 0) return;

  Column& primary = columns_[sortColumn_];
  primary.ascending = ascending ? *ascending : !primary.ascending;
  if (sortColumn2_ >= 0) {
    Column& secondary = columns_[sortColumn2_];
    secondary.ascending = ascending2 ? *ascending2 : !secondary.ascending;
  }

  SortRows(0, lastIndex_, sortColumn_);
  if (sortColumn2_ >= 0) {
    int32_t start = 0;
    while (start < lastIndex_) {
      int32_t end = start;
      while (end < lastIndex_ && Equivalent(start, end + 1, sortColumn_)) ++end;
      if (end > start) SortRows(start, end, sortColumn2_);
      start = end + 1;
    }
  }
  Redraw();
  if (events_.SortComplete) events_.SortComplete();
}

// Quicksort with the middle row as pivot. The smaller part is sorted by recursion and the
// larger one by the loop, so lists of many equal texts cannot exhaust the stack; the parts are
// disjoint, so the result is the same as sorting the lower part first.
void MartenComboBox::SortRows(int32_t low, int32_t high, int32_t column) {
  while (low < high) {
    std::swap(rows_[MiddleRow(low, high)], rows_[low]);
    int32_t boundary = low;
    for (int32_t i = low + 1; i <= high; ++i) {
      if (Before(i, low, column)) std::swap(rows_[i], rows_[++boundary]);
    }
    std::swap(rows_[low], rows_[boundary]);
    if (boundary - low < high - boundary) {
      SortRows(low, boundary - 1, column);
      low = boundary + 1;
    } else {
      SortRows(boundary + 1, high, column);
      high = boundary - 1;
    }
  }
}

bool MartenComboBox::Before(int32_t rowA, int32_t rowB, int32_t column) {
  const Column& col = columns_[column];
  const std::string& a = Cell(rows_[rowA], column);
  const std::string& b = Cell(rows_[rowB], column);
  switch (col.type) {
    case kNumber: {
      double x = LeadingNumber(a), y = LeadingNumber(b);
      return col.ascending ? x < y : x > y;
    }
    case kDate: {
      // A text that is no date sorts before every date.
      std::optional<double> x = DateSerial(a), y = DateSerial(b);
      return col.ascending ? x < y : x > y;
    }
    case kCustom: {
      bool result = false;
      if (events_.CustomSort) {
        // Copies: the host must not see (or change) the store through the references.
        std::string first = a, second = b;
        events_.CustomSort(col.ascending, column, first, second, result);
      }
      return result;
    }
    default:
      return col.ascending ? a < b : a > b;
  }
}

bool MartenComboBox::Equivalent(int32_t rowA, int32_t rowB, int32_t column) {
  return !Before(rowA, rowB, column) && !Before(rowB, rowA, column);
}

std::string MartenComboBox::ItemText(int32_t row, int32_t column) const {
  const Item& item = ItemAt(row);
  ColumnAt(column);
  return static_cast<size_t>(column) < item.texts.size() ? item.texts[column] : std::string();
}

void MartenComboBox::SetItemText(int32_t row, int32_t column, std::string_view text) {
  Item& item = ItemAt(row);
  ColumnAt(column);
  if (static_cast<size_t>(column) >= item.texts.size()) item.texts.resize(column + 1);
  item.texts[column] = std::string(text);
  Redraw();
}

void MartenComboBox::SetItemChecked(int32_t row, bool checked) {
  SetChecked(ItemOfRow(row), checked);
  Redraw();
}

void MartenComboBox::SetItemForeColor(int32_t row, OleColor color) {
  ItemAt(row).foreColor = color;
  Redraw();
}

void MartenComboBox::SetItemImage(int32_t row, int32_t image) {
  ItemAt(row).image = image;
  Redraw();
}

void MartenComboBox::SetItemFontBold(int32_t row, bool bold) {
  Item& item = ItemAt(row);
  item.flags = bold ? (item.flags | kFlagBold) : (item.flags & ~kFlagBold);
  Redraw();
}

int32_t MartenComboBox::SelCount() const {
  int32_t count = 0;
  for (int32_t k = 0; k <= lastIndex_; ++k) count += (items_[k].flags & kFlagChecked) ? 1 : 0;
  return count;
}

int32_t MartenComboBox::ItemOfRow(int32_t row) const {
  if (row < 0 || row > lastIndex_) RaiseSubscriptOutOfRange(kSourceName);
  return rows_[row];
}

int32_t MartenComboBox::RowOfItem(int32_t item) const {
  for (int32_t r = 0; r <= lastIndex_; ++r) {
    if (rows_[r] == item) return r;
  }
  return -1;
}

void MartenComboBox::SetListIndex(int32_t row) {
  if (row > lastIndex_) RaiseSubscriptOutOfRange(kSourceName);
  listIndex_ = row < 0 ? -1 : row;
  text_ = row < 0 ? std::string() : Cell(rows_[row], 0);
  Redraw();
  if (events_.Click) events_.Click();
}

void MartenComboBox::SetText(std::string_view text) {
  if (!p_.editable) throw WidgetError(kErrTextReadOnly, kSourceName, kTextReadOnlyText);
  if (p_.style != kPlain) {
    UpdateCheckedText();
    return;
  }
  listIndex_ = -1;
  for (int32_t r = 0; r <= lastIndex_; ++r) {
    if (Cell(rows_[r], p_.searchColumn) == text) {
      listIndex_ = r;
      break;
    }
  }
  text_ = std::string(text);
  Redraw();
}

bool MartenComboBox::CommitEditText(std::string_view newText) {
  if (newText == text_) return true;
  bool cancel = false;
  if (events_.EditTextChanged) {
    const std::string oldText = text_, typed(newText);
    events_.EditTextChanged(listIndex_, oldText, typed, cancel);
  }
  if (cancel) return false;
  text_ = std::string(newText);
  selStart_ = std::min(selStart_, static_cast<int32_t>(CodePointCount(text_)));
  selLength_ = 0;
  Redraw();
  return true;
}

void MartenComboBox::SetSelStart(int32_t start) {
  int32_t length = static_cast<int32_t>(CodePointCount(text_));
  selStart_ = std::clamp(start, 0, length);
  selLength_ = std::min(selLength_, length - selStart_);
}

void MartenComboBox::SetSelLength(int32_t length) {
  int32_t total = static_cast<int32_t>(CodePointCount(text_));
  selStart_ = std::min(selStart_, total);
  selLength_ = std::clamp(length, 0, total - selStart_);
}

std::string MartenComboBox::SelText() const {
  size_t from = ByteOffsetOf(text_, static_cast<size_t>(selStart_));
  size_t to =
      from + ByteOffsetOf(std::string_view(text_).substr(from), static_cast<size_t>(selLength_));
  return text_.substr(from, to - from);
}

void MartenComboBox::SetSelText(std::string_view text) {
  size_t from = ByteOffsetOf(text_, static_cast<size_t>(selStart_));
  size_t to =
      from + ByteOffsetOf(std::string_view(text_).substr(from), static_cast<size_t>(selLength_));
  text_.replace(from, to - from, text);
  selStart_ += static_cast<int32_t>(CodePointCount(text));
  selLength_ = 0;
  Redraw();
}

int32_t MartenComboBox::FindRow(std::string_view typed, SearchMode mode) const {
  const std::string wanted = UpperCase(typed);
  const size_t wantedLength = CodePointCount(wanted);
  const std::string pattern = wanted + "*";
  for (int32_t r = 0; r <= lastIndex_; ++r) {
    const std::string cell = UpperCase(Cell(rows_[r], p_.searchColumn));
    bool passes = false;
    switch (mode) {
      case kSearchEqual:
        passes = cell == wanted;
        break;
      case kSearchAtOrAfter:
        passes = std::string_view(cell).substr(0, ByteOffsetOf(cell, wantedLength)) >= wanted;
        break;
      case kSearchPattern:
        passes = MatchesPattern(cell, pattern);
        break;
    }
    if (passes) return r;
  }
  return -1;
}

// ---- Columns --------------------------------------------------------------------------------

void MartenComboBox::SetColAlignment(int32_t column, int32_t alignment) {
  ColumnAt(column).alignment = alignment;
  Redraw();
}

void MartenComboBox::SetColHeading(int32_t column, std::string_view heading) {
  ColumnAt(column).heading = std::string(heading);
  Redraw();
}

void MartenComboBox::SetColType(int32_t column, int16_t type) {
  ColumnAt(column).type = type;
}

void MartenComboBox::SetColVisible(int32_t column, bool visible) {
  ColumnAt(column).visible = visible;
  Redraw();
}

void MartenComboBox::SetColWidth(int32_t column, float width) {
  Column& col = ColumnAt(column);
  col.width = width;
  col.pixelWidth = ToPixels(width, p_.scaleUnits);
  Redraw();
}

void MartenComboBox::SetFormatString(std::string_view format) {
  formatString_ = std::string(format);
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (true) {
    size_t bar = format.find('|', start);
    pieces.push_back(format.substr(start, bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  if (pieces.size() > 32767) pieces.resize(32767);
  if (pieces.size() > columns_.size()) ResetColumns(static_cast<int>(pieces.size()));
  for (size_t i = 0; i < pieces.size(); ++i) {
    Column& col = columns_[i];
    std::string_view piece = pieces[i];
    const char first = piece.empty() ? '\0' : piece.front();
    if (first == '<' || first == '^' || first == '>') {
      col.alignment = first == '<' ? 0 : first == '^' ? 1 : 2;
      col.heading = std::string(piece.substr(1));
    } else {
      col.heading = std::string(piece);
    }
    col.width = 1000;
    col.pixelWidth = ToPixels(col.width, p_.scaleUnits);
  }
  Redraw();
}

// ---- Properties with side effects -----------------------------------------------------------

void MartenComboBox::SetScaleUnits(int32_t v) {
  p_.scaleUnits = v;
  for (Column& col : columns_) col.pixelWidth = ToPixels(col.width, v);
  Redraw();
}

void MartenComboBox::SetStyle(int16_t v) {
  p_.style = v;
  if (v == kOptionButtons) {
    for (Item& item : items_) item.flags &= ~kFlagChecked;
    SetListIndex(listIndex_);
  }
  Redraw();
}

void MartenComboBox::SetTextAll(std::string_view v) {
  p_.textAll = std::string(v);
  Redraw();
}

void MartenComboBox::SetTextNone(std::string_view v) {
  p_.textNone = std::string(v);
  Redraw();
}

void MartenComboBox::SetTextSelection(std::string_view v) {
  p_.textSelection = std::string(v);
  Redraw();
}

void MartenComboBox::SetCols(int16_t n) {
  ResetColumns(n);
  Redraw();
}

void MartenComboBox::UpdateCheckedText() {
  int32_t checked = 0, unchecked = 0, checkedItem = -1;
  for (int32_t k = 0; k <= lastIndex_; ++k) {
    if (items_[k].flags & kFlagChecked) {
      ++checked;
      checkedItem = k;
    } else {
      ++unchecked;
    }
  }
  if (checked == 1) {
    int32_t shownColumn = 0;
    for (size_t c = 0; c < columns_.size(); ++c) {
      if (columns_[c].visible) {
        shownColumn = static_cast<int32_t>(c);
        break;
      }
    }
    listIndex_ = RowOfItem(checkedItem);
    text_ = Cell(checkedItem, shownColumn);
  } else if (unchecked == 0) {
    text_ = p_.textAll;
  } else if (checked > 0) {
    text_ = p_.textSelection;
  } else {
    text_ = p_.textNone;
  }
  Redraw();
}

namespace {

// Pixels per unit at 96 dots per inch, for a ScaleUnits value.
double PixelsPerUnit(int32_t units, bool vertical) {
  switch (units) {
    case 2:  // points
      return 96.0 / 72.0;
    case 3:  // pixels
      return 1.0;
    case 4:  // characters: 120 twips wide, 240 twips high
      return vertical ? 16.0 : 8.0;
    case 5:  // inches
      return 96.0;
    case 6:  // millimetres
      return 96.0 / 25.4;
    case 7:  // centimetres
      return 96.0 / 2.54;
    default:  // twips (and user units, which have no scale here)
      return 1.0 / 15.0;
  }
}

}  // namespace

double MartenComboBox::FromPixels(int32_t pixels, int32_t units, bool vertical) {
  return pixels / PixelsPerUnit(units, vertical);
}

int32_t MartenComboBox::ToPixels(double value, int32_t units, bool vertical) {
  double pixels = value * PixelsPerUnit(units, vertical);
  if (!std::isfinite(pixels)) return 0;
  pixels = std::clamp(pixels, -2147483648.0, 2147483647.0);
  return static_cast<int32_t>(std::nearbyint(pixels));
}

// ---- Helpers --------------------------------------------------------------------------------

const MartenComboBox::Item& MartenComboBox::ItemAt(int32_t row) const {
  return items_[ItemOfRow(row)];
}

MartenComboBox::Item& MartenComboBox::ItemAt(int32_t row) {
  return items_[ItemOfRow(row)];
}

const MartenComboBox::Column& MartenComboBox::ColumnAt(int32_t column) const {
  if (column < 0 || static_cast<size_t>(column) >= columns_.size()) {
    RaiseSubscriptOutOfRange(kSourceName);
  }
  return columns_[column];
}

MartenComboBox::Column& MartenComboBox::ColumnAt(int32_t column) {
  return const_cast<Column&>(std::as_const(*this).ColumnAt(column));
}

const std::string& MartenComboBox::Cell(int32_t item, int32_t column) const {
  static const std::string kEmpty;
  const Item& it = items_[item];
  if (column < 0 || static_cast<size_t>(column) >= it.texts.size()) return kEmpty;
  return it.texts[column];
}

void MartenComboBox::ResetColumns(int n) {
  columns_.assign(n > 0 ? static_cast<size_t>(n) : 1, Column{});
  for (Column& col : columns_) col.pixelWidth = ToPixels(col.width, p_.scaleUnits);
  // Sort columns refer to the old array.
  sortColumn_ = -1;
  sortColumn2_ = -1;
}

void MartenComboBox::SetChecked(int32_t item, bool checked) {
  Item& it = items_[item];
  // The last checked item cannot be unchecked: only the item that is checked is held.
  if (!checked && p_.requireCheckedItem && (it.flags & kFlagChecked) && SelCount() == 1) {
    checked = true;
  }
  if (checked && p_.style != kCheckBoxes) {
    for (int32_t k = 0; k <= lastIndex_; ++k) {
      if (k != item) items_[k].flags &= ~kFlagChecked;
    }
  }
  it.flags = checked ? (it.flags | kFlagChecked) : (it.flags & ~kFlagChecked);
}

void MartenComboBox::ResizeStore(size_t slots) {
  items_.resize(slots);
  rows_.resize(slots, 0);
}

}  // namespace quillon::widgets
