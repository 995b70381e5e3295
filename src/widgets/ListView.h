// The list view model: columns, items, the stored properties, the errors and the sorting of the
// owner-drawn multi-column list. Drawing, scrolling and input sit on top of it and learn of
// changes through ListViewObserver; the model itself needs no display.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "widgets/Color.h"
#include "widgets/ColumnCollection.h"
#include "widgets/Font.h"
#include "widgets/ListItemCollection.h"
#include "widgets/PropertyBag.h"
#include "widgets/c32bppDIB.h"

namespace quillon::widgets {

inline constexpr int kErrNoColumns = 31;
inline constexpr const char* kNoColumnsText = "can not add items when there are no columns";
inline constexpr int kErrColumnsWithItems = 33;
inline constexpr const char* kColumnsWithItemsText =
    "can not add or remove columns when there are items";

// The design-time settings of a list view. The member initialisers are the values a newly
// placed control gets; StoredDefaults() gives those assumed when the form stores none.
struct ListViewProperties {
  OleColor BackColor = kSysWindow;
  OleColor ForeColor = kSysWindowText;
  OleColor SelectedBackColor = kSysHighlight;
  OleColor SelectedForeColor = kSysHighlightText;
  OleColor FocusRectColor = kSysHighlight;
  OleColor CheckBoxColor = 0x000000;
  OleColor CheckboxSelectedColor = 0xFFFFFF;
  bool Reorder = true;
  bool MultiSelect = true;
  bool ColumnsAutoSize = false;
  bool ColumnsVisible = true;
  bool Enabled = true;
  int32_t BorderStyle = 1;
  bool SolidFocusRect = true;
  bool Checkboxes = false;
  int16_t OLEDropMode = 0;
  int16_t ItemPaddingTop = 4;
  int16_t ItemPaddingBottom = 4;
  int16_t ItemPaddingLeft = 4;
  int16_t ItemPaddingRight = 5;
  int16_t PictureWidth = 16;
  int16_t PictureHeight = 16;
  bool PicturesVisible = true;
  bool ItemsAutoSize = true;
  bool Sortable = true;
  widgets::Font Font;

  // Returns the values assumed for properties the form's storage does not hold.
  static ListViewProperties StoredDefaults();
};

// Called for every cell before the control draws it. backColor and foreColor come preset to
// -1 (no override), handled to false.
class ICustomDraw {
 public:
  virtual ~ICustomDraw() = default;
  virtual void CustomDraw(int32_t item, int32_t column, int32_t& backColor, int32_t& foreColor,
                          bool& handled) = 0;
};

// The display's vertical resolution, from which item heights follow.
class DeviceMetrics {
 public:
  virtual ~DeviceMetrics() = default;
  virtual int PixelsPerInchY() const = 0;
};

// A 96 dots-per-inch display.
const DeviceMetrics& StandardDeviceMetrics();

// What the drawing layer does when the model changes.
class ListViewObserver {
 public:
  virtual ~ListViewObserver() = default;
  // Columns, fonts or paddings changed: recompute the layout (then repaint).
  virtual void Relayout() = 0;
  // Items changed: recompute the scroll bars (then repaint).
  virtual void ItemsChanged() = 0;
  // Only the look changed.
  virtual void Repaint() = 0;
};

// The events a list view raises to its form. Any may be left empty. The drawing and input
// layer raises them through the ListView's Raise members, which apply the rules of when each
// is due.
struct ListViewEvents {
  std::function<void()> ItemsReordered;
  std::function<void(int32_t item)> Click;
  std::function<void(int32_t item)> DblClick;
  std::function<void(int32_t column)> ColumnClick;
  // item is the row under the pointer (-1 for none); button 1 left, 2 right, 4 middle; shift
  // 1 Shift, 2 Ctrl, 4 Alt.
  std::function<void(int32_t item, int16_t button, int16_t shift, int32_t x, int32_t y)> MouseDown;
  std::function<void(int32_t item, int16_t button, int16_t shift, int32_t x, int32_t y)> MouseUp;
  std::function<void(int16_t& keyCode, int16_t shift)> KeyDown;
  std::function<void(int16_t& keyCode, int16_t shift)> KeyUp;
  std::function<void(int16_t& keyAscii)> KeyPress;
  std::function<void(int32_t item)> ItemCheck;
  // Drag and drop, passed through from the window: the data's formats, the effect the source
  // allows or the target accepts (by reference), the pointer and the drag state.
  std::function<void(const std::vector<std::string>& formats, int32_t& effect, int16_t button,
                     int16_t shift, int32_t x, int32_t y)>
      OLEDragDrop;
  std::function<void(const std::vector<std::string>& formats, int32_t& effect, int16_t button,
                     int16_t shift, int32_t x, int32_t y, int16_t state)>
      OLEDragOver;
  std::function<void(int32_t& effect)> OLECompleteDrag;
  std::function<void(int32_t& effect, bool& defaultCursors)> OLEGiveFeedback;
  std::function<void(const std::string& format)> OLESetData;
  std::function<void(std::vector<std::string>& formats, int32_t& allowedEffects)> OLEStartDrag;
};

class ListView : public ICustomDraw {
 public:
  explicit ListView(const DeviceMetrics& metrics = StandardDeviceMetrics(),
                    const SystemColors& systemColors = DefaultSystemColors());

  // Items (0-based). Each throws WidgetError 9 for an index out of range.

  // Adds an item with text in its first cell (index < 0 appends) and returns its index.
  // Throws WidgetError 31 when the control has no column.
  int32_t AddItem(int32_t index, const std::string& text, int32_t pictureIndex = 0);
  void RemoveItem(int32_t index);
  void MoveItem(int32_t from, int32_t to);
  void Clear();
  int32_t ItemCount() const { return items_.ItemCount(); }
  const std::string& ItemText(int32_t index, int32_t column) const;
  void SetItemText(int32_t index, int32_t column, std::string text);
  int32_t ItemTag(int32_t index) const { return items_.Item(index).Tag; }
  void SetItemTag(int32_t index, int32_t tag) { items_.Item(index).Tag = tag; }
  bool ItemSelected(int32_t index) const { return items_.Item(index).Selected; }
  void SetItemSelected(int32_t index, bool selected);
  bool ItemChecked(int32_t index) const { return items_.Item(index).Checked; }
  void SetItemChecked(int32_t index, bool checked);
  // The current (focused) item, -1 for none.
  int32_t SelectedItem() const { return currentItem_; }
  void SetSelectedItem(int32_t index);
  void SelectAll();
  void UnSelectAll();
  // Sets Selected to state on the items from first to last (either order, clamped to the
  // items), and with othersOff clears it on every other item; repaints once.
  void SelectRange(int32_t first, int32_t last, bool state, bool othersOff);
  // Lets a caller that knows the item count allocate once; discards the items.
  void PrepareForItems(int32_t count);

  // Columns. Adding or removing throws WidgetError 33 while the control holds items; a
  // duplicate key throws 300; an unknown column throws 9.

  void AddColumn(const std::string& key, const std::string& caption, int32_t textAlign,
                 int32_t width, bool resizable = true, bool visible = true);
  void RemoveColumn(const ColumnRef& column);
  int32_t ColumnCount() const { return columns_.Count(); }
  const Column& ColumnAt(const ColumnRef& column) const { return columns_.Item(column); }
  const std::string& ColumnKey(int32_t index) const { return columns_.Item(index).key; }
  void SetColumnCaption(const ColumnRef& column, std::string caption);
  void SetColumnWidth(const ColumnRef& column, int32_t width);
  void SetColumnVisible(const ColumnRef& column, bool visible);
  void SetColumnResizable(const ColumnRef& column, bool resizable);
  void SetColumnTextAlign(const ColumnRef& column, int32_t textAlign);
  // Layout and input state of a column, written by the drawing layer: the width computed
  // while ColumnsAutoSize is on (no repaint: the layout sets it), the header drawn pressed,
  // and the order of the column's next header sort (0 ascending, 1 descending).
  void SetColumnWidthAutoSized(const ColumnRef& column, int32_t width);
  void SetColumnPushed(const ColumnRef& column, bool pushed);
  void SetColumnLastSortOrder(const ColumnRef& column, int32_t order);
  // Returns the position of the last column whose key equals key exactly; 0 when none does.
  int32_t ColumnIndex(std::string_view key) const;

  // Sorts the items by the column with that key (see ColumnIndex) in order: 1 descending,
  // anything else ascending.
  void Sort(std::string_view columnKey, int32_t order);

  // Properties.
  const ListViewProperties& Properties() const { return properties_; }
  // Sets one property by its stored name. Returns false for an unknown name or a value of
  // the wrong kind (nothing changes then).
  bool SetProperty(std::string_view name, const PropertyValue& value);
  // Gives every property the value of a newly placed control.
  void InitProperties();
  // Reads every property from bag, taking the stored default for the ones it lacks.
  void ReadProperties(const PropertyBag& bag);
  // Writes every property that differs from its stored default into bag.
  void WriteProperties(PropertyBag& bag) const;
  // Called with the property's name whenever a property changes, so the form stores it.
  void SetPropertyChangedHandler(std::function<void(std::string_view)> handler) {
    propertyChanged_ = std::move(handler);
  }
  // The cached colour objects of the colour properties.
  const Color& BackColor() const { return backColor_; }
  const Color& ForeColor() const { return foreColor_; }
  const Color& SelectedBackColor() const { return selectedBackColor_; }
  const Color& SelectedForeColor() const { return selectedForeColor_; }
  const Color& FocusRectColor() const { return focusRectColor_; }
  const Color& CheckBoxColor() const { return checkBoxColor_; }
  const Color& CheckboxSelectedColor() const { return checkboxSelectedColor_; }
  // Translates every colour again (the desktop's colours changed) and repaints.
  void UpdateColors();

  // Painting is suspended while Redraw is false; setting it true lays out and repaints.
  bool Redraw() const { return redraw_; }
  void SetRedraw(bool redraw);

  // The cell-drawing callback; nullptr puts the control's own (which changes nothing) back.
  void SetDrawCallback(ICustomDraw* callback) { drawCallback_ = callback ? callback : this; }
  ICustomDraw& DrawCallback() const { return *drawCallback_; }
  void CustomDraw(int32_t item, int32_t column, int32_t& backColor, int32_t& foreColor,
                  bool& handled) override;

  // The height of the font's text in pixels on this display.
  int32_t FontTextHeight() const;
  // The height of one item row in pixels (never below 1).
  int32_t ItemHeight() const;
  // The picture list that items' PictureIndex refers to: 1 is the first picture, 0 shows none.
  int32_t PictureCount() const { return static_cast<int32_t>(pictures_.size()); }
  // Adds a copy of picture; returns its picture index. Returns 0 (nothing added) for a picture
  // that holds no image.
  int32_t AddPicture(const c32bppDIB& picture);
  // Loads picture id of section from provider (nullptr: the add-in's resources) at
  // PictureWidth x PictureHeight (the icon entry nearest that size) and adds it; returns its
  // picture index, or 0 when it does not load.
  int32_t AddPictureFromRes(int32_t id, const std::variant<int32_t, std::string>& section,
                            const ResourceRegistry* provider = nullptr);
  // Loads the picture file at path like AddPictureFromRes; 0 when it does not load.
  int32_t AddPictureFromFile(const std::string& path);
  // REQUIRES: 1 <= index <= PictureCount().
  const c32bppDIB& Picture(int32_t index) const {
    return pictures_[static_cast<size_t>(index - 1)];
  }

  // The control's width in pixels, set by the window that holds it.
  int32_t Width() const { return width_; }
  void SetWidth(int32_t width);

  // The event table; the form fills it. Valid for the control's lifetime.
  ListViewEvents& events() { return events_; }
  // Raise the events under their rules: Click only while there is a current item, DblClick
  // only while the current item is also selected; the others whenever asked.
  void RaiseClick();
  void RaiseDblClick();
  void RaiseColumnClick(int32_t column);
  void RaiseItemCheck(int32_t item);
  void RaiseItemsReordered();
  void RaiseMouseDown(int32_t item, int16_t button, int16_t shift, int32_t x, int32_t y);
  void RaiseMouseUp(int32_t item, int16_t button, int16_t shift, int32_t x, int32_t y);
  // Returns the key code after the form had its say (0: the form took the key).
  int16_t RaiseKeyDown(int16_t keyCode, int16_t shift);
  int16_t RaiseKeyUp(int16_t keyCode, int16_t shift);
  int16_t RaiseKeyPress(int16_t keyAscii);

  // The observer is not owned; nullptr detaches it.
  void SetObserver(ListViewObserver* observer) { observer_ = observer; }
  const ListItemCollection& Items() const { return items_; }

 private:
  template <typename Visitor>
  static void ForEachProperty(ListViewProperties& properties, Visitor&& visit);
  void AfterPropertyChange(std::string_view name);
  void RenewColors();
  void Relayout();
  void ItemsChanged();
  void Repaint();
  void ColumnChanged();

  const DeviceMetrics& metrics_;
  ColumnCollection columns_;
  ListItemCollection items_;
  int32_t currentItem_ = -1;
  std::vector<c32bppDIB> pictures_;
  int32_t width_ = 0;
  ListViewProperties properties_;
  Color backColor_, foreColor_, selectedBackColor_, selectedForeColor_, focusRectColor_,
      checkBoxColor_, checkboxSelectedColor_;
  bool redraw_ = true;
  ICustomDraw* drawCallback_ = this;
  ListViewObserver* observer_ = nullptr;
  ListViewEvents events_;
  std::function<void(std::string_view)> propertyChanged_;
};

}  // namespace quillon::widgets
