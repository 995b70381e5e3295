#include "widgets/ListView.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "widgets/WidgetError.h"

namespace quillon::widgets {
namespace {

constexpr const char* kSource = "ListView";

class Standard96Dpi : public DeviceMetrics {
 public:
  int PixelsPerInchY() const override { return 96; }
};

// Converts a stored value to the member's type; false when the kinds do not match.
template <typename T>
bool ConvertProperty(const PropertyValue& value, T& out) {
  if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::string> ||
                std::is_same_v<T, Font>) {
    if (const T* v = std::get_if<T>(&value)) {
      out = *v;
      return true;
    }
    return false;
  } else {
    if (const auto* i = std::get_if<int32_t>(&value)) {
      out = static_cast<T>(*i);
      return true;
    }
    if (const auto* d = std::get_if<double>(&value)) {
      out = static_cast<T>(std::llround(*d));
      return true;
    }
    return false;
  }
}

// OLE colours are stored as 32-bit integers with the system-colour bit in the sign.
PropertyValue Stored(OleColor color) {
  return static_cast<int32_t>(color);
}
template <typename T>
PropertyValue Stored(const T& value) {
  if constexpr (std::is_same_v<T, int16_t>) {
    return static_cast<int32_t>(value);
  } else {
    return value;
  }
}

}  // namespace

const DeviceMetrics& StandardDeviceMetrics() {
  static const Standard96Dpi metrics;
  return metrics;
}

ListViewProperties ListViewProperties::StoredDefaults() {
  ListViewProperties defaults;
  defaults.PictureWidth = 13;
  defaults.PictureHeight = 13;
  return defaults;
}

ListView::ListView(const DeviceMetrics& metrics, const SystemColors& systemColors)
    : metrics_(metrics),
      backColor_(systemColors),
      foreColor_(systemColors),
      selectedBackColor_(systemColors),
      selectedForeColor_(systemColors),
      focusRectColor_(systemColors),
      checkBoxColor_(systemColors),
      checkboxSelectedColor_(systemColors) {
  RenewColors();
}

// Visits every stored property as (name, member, kind tag); the tag tells colours from plain
// integers, which share a storage type.
template <typename Visitor>
void ListView::ForEachProperty(ListViewProperties& p, Visitor&& visit) {
  visit("BackColor", p.BackColor);
  visit("ForeColor", p.ForeColor);
  visit("SelectedBackColor", p.SelectedBackColor);
  visit("SelectedForeColor", p.SelectedForeColor);
  visit("FocusRectColor", p.FocusRectColor);
  visit("CheckBoxColor", p.CheckBoxColor);
  visit("CheckboxSelectedColor", p.CheckboxSelectedColor);
  visit("Reorder", p.Reorder);
  visit("MultiSelect", p.MultiSelect);
  visit("ColumnsAutoSize", p.ColumnsAutoSize);
  visit("ColumnsVisible", p.ColumnsVisible);
  visit("Enabled", p.Enabled);
  visit("BorderStyle", p.BorderStyle);
  visit("SolidFocusRect", p.SolidFocusRect);
  visit("Checkboxes", p.Checkboxes);
  visit("OLEDropMode", p.OLEDropMode);
  visit("ItemPaddingTop", p.ItemPaddingTop);
  visit("ItemPaddingBottom", p.ItemPaddingBottom);
  visit("ItemPaddingLeft", p.ItemPaddingLeft);
  visit("ItemPaddingRight", p.ItemPaddingRight);
  visit("PictureWidth", p.PictureWidth);
  visit("PictureHeight", p.PictureHeight);
  visit("PicturesVisible", p.PicturesVisible);
  visit("ItemsAutoSize", p.ItemsAutoSize);
  visit("Sortable", p.Sortable);
  visit("Font", p.Font);
}

// ---- items ----

int32_t ListView::AddItem(int32_t index, const std::string& text, int32_t pictureIndex) {
  if (columns_.Count() == 0) throw WidgetError(kErrNoColumns, kSource, kNoColumnsText);
  ListItem& item = items_.AddItem(index);
  item.Text[0] = text;
  item.PictureIndex = pictureIndex;
  // The current item keeps pointing at the same item when one is inserted before it.
  if (index >= 0 && index <= currentItem_) ++currentItem_;
  ItemsChanged();
  return index < 0 ? items_.ItemCount() - 1 : index;
}

void ListView::RemoveItem(int32_t index) {
  items_.RemoveItem(index);
  if (currentItem_ > index) --currentItem_;
  currentItem_ = std::min(currentItem_, items_.ItemCount() - 1);
  ItemsChanged();
}

void ListView::MoveItem(int32_t from, int32_t to) {
  items_.MoveItem(from, to);
  Repaint();
}

void ListView::Clear() {
  items_.Clear();
  currentItem_ = -1;
  ItemsChanged();
}

void ListView::PrepareForItems(int32_t count) {
  items_.PrepareForItems(count);
  currentItem_ = -1;
  ItemsChanged();
}

const std::string& ListView::ItemText(int32_t index, int32_t column) const {
  const ListItem& item = items_.Item(index);
  if (column < 0 || static_cast<size_t>(column) >= item.Text.size()) {
    RaiseSubscriptOutOfRange(kSource);
  }
  return item.Text[static_cast<size_t>(column)];
}

void ListView::SetItemText(int32_t index, int32_t column, std::string text) {
  ListItem& item = items_.Item(index);
  if (column < 0 || static_cast<size_t>(column) >= item.Text.size()) {
    RaiseSubscriptOutOfRange(kSource);
  }
  item.Text[static_cast<size_t>(column)] = std::move(text);
  Repaint();
}

void ListView::SetItemSelected(int32_t index, bool selected) {
  items_.Item(index).Selected = selected;
  Repaint();
}

void ListView::SetItemChecked(int32_t index, bool checked) {
  items_.Item(index).Checked = checked;
  Repaint();
}

void ListView::SetSelectedItem(int32_t index) {
  if (index != -1) items_.Item(index);  // range check
  currentItem_ = index;
  Repaint();
}

void ListView::SelectAll() {
  for (int32_t i = 0; i < items_.ItemCount(); ++i) items_.Item(i).Selected = true;
  Repaint();
}

void ListView::UnSelectAll() {
  for (int32_t i = 0; i < items_.ItemCount(); ++i) items_.Item(i).Selected = false;
  Repaint();
}

void ListView::SelectRange(int32_t first, int32_t last, bool state, bool othersOff) {
  const int32_t count = items_.ItemCount();
  if (first > last) std::swap(first, last);
  first = std::max(first, 0);
  last = std::min(last, count - 1);
  for (int32_t i = 0; i < count; ++i) {
    ListItem& item = items_.Item(i);
    if (i >= first && i <= last) {
      item.Selected = state;
    } else if (othersOff) {
      item.Selected = false;
    }
  }
  Repaint();
}

// ---- columns ----

void ListView::AddColumn(const std::string& key, const std::string& caption, int32_t textAlign,
                         int32_t width, bool resizable, bool visible) {
  if (items_.ItemCount() > 0) {
    throw WidgetError(kErrColumnsWithItems, kSource, kColumnsWithItemsText);
  }
  Column& column = columns_.Add(key);
  column.Caption = caption;
  column.TextAlign = textAlign;
  column.Width = width;
  column.Resizable = resizable;
  column.Visible = visible;
  items_.SetColumnCount(columns_.Count());
  Relayout();
}

void ListView::RemoveColumn(const ColumnRef& column) {
  if (items_.ItemCount() > 0) {
    throw WidgetError(kErrColumnsWithItems, kSource, kColumnsWithItemsText);
  }
  columns_.Remove(column);
  items_.SetColumnCount(columns_.Count());
  Relayout();
}

void ListView::ColumnChanged() {
  Relayout();
}

void ListView::SetColumnCaption(const ColumnRef& column, std::string caption) {
  columns_.Item(column).Caption = std::move(caption);
  ColumnChanged();
}

void ListView::SetColumnWidth(const ColumnRef& column, int32_t width) {
  columns_.Item(column).Width = width;
  ColumnChanged();
}

void ListView::SetColumnVisible(const ColumnRef& column, bool visible) {
  columns_.Item(column).Visible = visible;
  ColumnChanged();
}

void ListView::SetColumnResizable(const ColumnRef& column, bool resizable) {
  columns_.Item(column).Resizable = resizable;
  ColumnChanged();
}

void ListView::SetColumnTextAlign(const ColumnRef& column, int32_t textAlign) {
  columns_.Item(column).TextAlign = textAlign;
  ColumnChanged();
}

void ListView::SetColumnWidthAutoSized(const ColumnRef& column, int32_t width) {
  columns_.Item(column).WidthAutoSized = width;
}

void ListView::SetColumnPushed(const ColumnRef& column, bool pushed) {
  columns_.Item(column).Pushed = pushed;
  Repaint();
}

void ListView::SetColumnLastSortOrder(const ColumnRef& column, int32_t order) {
  columns_.Item(column).LastSortOrder = order;
}

int32_t ListView::ColumnIndex(std::string_view key) const {
  int32_t found = 0;
  for (int32_t i = 0; i < columns_.Count(); ++i) {
    if (columns_.Item(i).key == key) found = i;
  }
  return found;
}

void ListView::Sort(std::string_view columnKey, int32_t order) {
  items_.Sort(ColumnIndex(columnKey), order);
  Repaint();
}

// ---- properties ----

bool ListView::SetProperty(std::string_view name, const PropertyValue& value) {
  bool known = false, converted = false;
  ForEachProperty(properties_, [&](std::string_view candidate, auto& member) {
    if (known || candidate != name) return;
    known = true;
    converted = ConvertProperty(value, member);
  });
  if (!converted) return false;
  AfterPropertyChange(name);
  return true;
}

void ListView::AfterPropertyChange(std::string_view name) {
  if (propertyChanged_) propertyChanged_(name);
  if (name.ends_with("Color")) {
    RenewColors();
    Repaint();
  } else if (name.starts_with("ItemPadding") || name == "Font" || name == "ColumnsAutoSize" ||
             name == "ColumnsVisible" || name == "ItemsAutoSize" || name == "Checkboxes" ||
             name.starts_with("Picture")) {
    Relayout();
  } else {
    Repaint();
  }
}

void ListView::InitProperties() {
  properties_ = ListViewProperties();
  RenewColors();
  Relayout();
}

void ListView::ReadProperties(const PropertyBag& bag) {
  ListViewProperties defaults = ListViewProperties::StoredDefaults();
  ListViewProperties read = defaults;
  ForEachProperty(read, [&](std::string_view name, auto& member) {
    if (std::optional<PropertyValue> stored = bag.Read(name)) ConvertProperty(*stored, member);
  });
  properties_ = read;
  RenewColors();
  Relayout();
}

void ListView::WriteProperties(PropertyBag& bag) const {
  ListViewProperties defaults = ListViewProperties::StoredDefaults();
  ListViewProperties current = properties_;
  // Walk both records in step: the n-th visit of one is the n-th property of the other.
  std::vector<PropertyValue> defaultValues;
  ForEachProperty(defaults,
                  [&](std::string_view, auto& member) { defaultValues.push_back(Stored(member)); });
  size_t n = 0;
  ForEachProperty(current, [&](std::string_view name, auto& member) {
    PropertyValue value = Stored(member);
    if (value == defaultValues[n++]) {
      bag.Erase(name);
    } else {
      bag.Write(name, value);
    }
  });
}

void ListView::RenewColors() {
  backColor_.SetColor(properties_.BackColor, true, false);
  foreColor_.SetColor(properties_.ForeColor, false, true);
  selectedBackColor_.SetColor(properties_.SelectedBackColor, true, false);
  selectedForeColor_.SetColor(properties_.SelectedForeColor, false, true);
  focusRectColor_.SetColor(properties_.FocusRectColor, false, true);
  checkBoxColor_.SetColor(properties_.CheckBoxColor, false, true);
  checkboxSelectedColor_.SetColor(properties_.CheckboxSelectedColor, false, true);
}

void ListView::UpdateColors() {
  for (Color* color : {&backColor_, &foreColor_, &selectedBackColor_, &selectedForeColor_,
                       &focusRectColor_, &checkBoxColor_, &checkboxSelectedColor_}) {
    color->Update();
  }
  Repaint();
}

void ListView::SetRedraw(bool redraw) {
  redraw_ = redraw;
  if (redraw_) Relayout();
}

void ListView::SetWidth(int32_t width) {
  width_ = width;
  Relayout();
}

void ListView::CustomDraw(int32_t, int32_t, int32_t&, int32_t&, bool&) {}

// ---- metrics ----

int32_t ListView::FontTextHeight() const {
  // Whole points (halves to even, as the stored size converts), then pixels on this display.
  double points = std::nearbyint(properties_.Font.Size);
  return static_cast<int32_t>(std::lround(points * metrics_.PixelsPerInchY() / 72.0));
}

int32_t ListView::ItemHeight() const {
  int32_t text = FontTextHeight();
  int32_t height;
  if (properties_.ItemsAutoSize) {
    height = text + 4;
    if (properties_.Checkboxes) height = std::max(height, 19);
    if (properties_.PicturesVisible && !pictures_.empty()) {
      height = std::max(height, properties_.PictureHeight + 3);
    }
  } else {
    height = text + properties_.ItemPaddingTop + properties_.ItemPaddingBottom;
  }
  return std::max(height, 1);
}

// ---- pictures ----

int32_t ListView::AddPicture(const c32bppDIB& picture) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return 0;
  pictures_.push_back(picture);
  Relayout();  // the item height may follow the pictures
  return PictureCount();
}

int32_t ListView::AddPictureFromRes(int32_t id, const std::variant<int32_t, std::string>& section,
                                    const ResourceRegistry* provider) {
  c32bppDIB picture;
  if (!picture.LoadPicture_Resource(id, section, provider, properties_.PictureWidth,
                                    properties_.PictureHeight)) {
    return 0;
  }
  return AddPicture(picture);
}

int32_t ListView::AddPictureFromFile(const std::string& path) {
  c32bppDIB picture;
  if (!picture.LoadPicture_File(path, properties_.PictureWidth, properties_.PictureHeight)) {
    return 0;
  }
  return AddPicture(picture);
}

// ---- events ----

void ListView::RaiseClick() {
  if (currentItem_ >= 0 && events_.Click) events_.Click(currentItem_);
}

void ListView::RaiseDblClick() {
  if (currentItem_ >= 0 && currentItem_ < items_.ItemCount() &&
      items_.Item(currentItem_).Selected && events_.DblClick) {
    events_.DblClick(currentItem_);
  }
}

void ListView::RaiseColumnClick(int32_t column) {
  if (events_.ColumnClick) events_.ColumnClick(column);
}

void ListView::RaiseItemCheck(int32_t item) {
  if (events_.ItemCheck) events_.ItemCheck(item);
}

void ListView::RaiseItemsReordered() {
  if (events_.ItemsReordered) events_.ItemsReordered();
}

void ListView::RaiseMouseDown(int32_t item, int16_t button, int16_t shift, int32_t x, int32_t y) {
  if (events_.MouseDown) events_.MouseDown(item, button, shift, x, y);
}

void ListView::RaiseMouseUp(int32_t item, int16_t button, int16_t shift, int32_t x, int32_t y) {
  if (events_.MouseUp) events_.MouseUp(item, button, shift, x, y);
}

int16_t ListView::RaiseKeyDown(int16_t keyCode, int16_t shift) {
  if (events_.KeyDown) events_.KeyDown(keyCode, shift);
  return keyCode;
}

int16_t ListView::RaiseKeyUp(int16_t keyCode, int16_t shift) {
  if (events_.KeyUp) events_.KeyUp(keyCode, shift);
  return keyCode;
}

int16_t ListView::RaiseKeyPress(int16_t keyAscii) {
  if (events_.KeyPress) events_.KeyPress(keyAscii);
  return keyAscii;
}

// ---- notifications ----

void ListView::Relayout() {
  if (observer_ && redraw_) observer_->Relayout();
}

void ListView::ItemsChanged() {
  if (observer_ && redraw_) observer_->ItemsChanged();
}

void ListView::Repaint() {
  if (observer_ && redraw_) observer_->Repaint();
}

}  // namespace quillon::widgets
