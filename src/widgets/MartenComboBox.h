// The grid combo box's model: an edit part over a drop-down list that is a small grid (several
// columns, optional headings, check boxes or option buttons, per-row colour, bold and image).
// This class holds the items, the row order, the columns and the design-time properties, and
// runs the list algorithms (insert, remove, sort, search, check rules, the shown text). The
// window layer draws it, feeds it input and backs its property bag.
//
// Items and rows are separate: items stay in the order they were added (item numbers), and the
// row order maps each shown row to an item number. Every index this interface takes or gives is
// a row, except NewIndex, which is an item number. Sorting permutes only the row order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/Color.h"
#include "widgets/Font.h"
#include "widgets/ImageList.h"
#include "widgets/PropertyBag.h"

namespace quillon::widgets {

class MartenComboBox {
 public:
  static constexpr const char* kSourceName = "MartenComboBox";
  static constexpr int kErrMaxListItemsExceeded = 381;
  static constexpr const char* kMaxListItemsExceededText = "Maximum ListItems Exceeded";
  static constexpr int kErrTextReadOnly = 383;
  static constexpr const char* kTextReadOnlyText = "Text is Read-Only";
  // The largest last index: item numbers are 32-bit signed.
  static constexpr int32_t kMaxLastIndex = 2147483647;

  static constexpr OleColor kSysButtonFace = 0x8000000F;
  static constexpr OleColor kSysButtonText = 0x80000012;

  // Item flag bits.
  static constexpr uint8_t kFlagChecked = 2;
  static constexpr uint8_t kFlagBold = 8;

  enum ColumnType : int16_t { kText = 0, kNumber = 1, kDate = 2, kCustom = 3 };
  enum SearchMode { kSearchEqual = 0, kSearchAtOrAfter = 1, kSearchPattern = 2 };
  enum ListStyle : int16_t { kPlain = 0, kCheckBoxes = 1, kOptionButtons = 2 };

  // The events raised to the host. Any may be left empty. Arguments passed by reference may be
  // changed by the host. The window layer raises the input events through the same table.
  struct Events {
    std::function<void()> Change;
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyDown;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyUp;
    std::function<void(int16_t& keyAscii)> KeyPress;
    std::function<void(int16_t button, int16_t shift, float x, float y)> MouseDown;
    std::function<void(int16_t button, int16_t shift, float x, float y)> MouseMove;
    std::function<void(int16_t button, int16_t shift, float x, float y)> MouseUp;
    std::function<void(int32_t& row)> AutoCompleteSearch;
    std::function<void(int32_t row, int16_t button, int16_t shift)> ClickItem;
    std::function<void(int32_t column)> ColumnClick;
    // Sets result to whether first belongs before second in the given direction.
    std::function<void(bool ascending, int32_t column, const std::string& first,
                       const std::string& second, bool& result)>
        CustomSort;
    std::function<void()> DropDownClose;
    std::function<void()> DropDownOpen;
    // The host sets cancel to keep the old text (and the focus in the edit box).
    std::function<void(int32_t row, const std::string& oldText, const std::string& newText,
                       bool& cancel)>
        EditTextChanged;
    std::function<void(int32_t row, bool& newChecked, bool& cancel)> RequestItemChecked;
    std::function<void(bool& newState, bool& cancel)> RequestListChecked;
    std::function<void()> SelectionChanged;
    std::function<void()> SortComplete;
  };

  // A control as first placed on a form: every property at its default, both fonts the
  // default font, an empty list with one column.
  MartenComboBox();

  MartenComboBox(const MartenComboBox&) = delete;
  MartenComboBox& operator=(const MartenComboBox&) = delete;

  // ---- Design-time storage -------------------------------------------------------------------

  // Sets every property to its default and both fonts to containerFont (a newly placed control).
  void InitProperties(const widgets::Font& containerFont);
  // Reads every property from bag under its name; a missing key gives its default (fonts:
  // containerFont). Recreates the columns for the stored "Cols".
  void ReadProperties(const PropertyBag& bag, const widgets::Font& containerFont);
  // Writes every property to bag under its name; values equal to their default are erased.
  // REQUIRES: the fonts' default is containerFont, as at ReadProperties.
  void WriteProperties(PropertyBag& bag, const widgets::Font& containerFont) const;

  // ---- Host wiring -----------------------------------------------------------------------------

  // Returns the event table; the host fills it. Valid for the control's lifetime.
  Events& events() { return events_; }
  // Installs what is called whenever the control wants to be redrawn (the window layer).
  void SetRedrawHandler(std::function<void()> redraw) { redraw_ = std::move(redraw); }

  // ---- List -------------------------------------------------------------------------------------

  // Adds an item showing text (tab-separated cells when there are several columns) at row
  // (appended when row is negative or at/after the end), checked through the check rules when
  // checked is true, with the given image. Throws WidgetError 381 when the list is full; the
  // list is then unchanged.
  void AddItem(std::string_view text, int32_t row = -1, bool checked = false, int32_t image = -1);
  // Empties the list; ListIndex and both sort columns become -1.
  void Clear();
  // Removes the item shown in row. Throws WidgetError 9 when row is not a row.
  void RemoveItem(int32_t row);
  // Makes current the row of the first item (in adding order) whose item data is itemData; when
  // none has it, fallbackRow when it is 0 or more; otherwise changes nothing.
  void SetItem(int32_t itemData, int32_t fallbackRow = -1);
  // The same, looking for the first item whose column-0 text equals text.
  void SetItem(std::string_view text, int32_t fallbackRow = -1);
  // Sorts the rows (see the .cc for the rules for omitted arguments) and raises SortComplete.
  // Throws WidgetError 9 for a column that does not exist.
  void Sort(int32_t column = -1, std::optional<bool> ascending = std::nullopt, int32_t column2 = -1,
            std::optional<bool> ascending2 = std::nullopt);
  // Asks the window layer to redraw.
  void Refresh() { Redraw(); }

  // Row accessors: each throws WidgetError 9 when row (or column) does not exist.
  std::string List(int32_t row) const { return ItemText(row, 0); }
  // Returns "" when column exists but the item has no text for it (columns added later).
  std::string ItemText(int32_t row, int32_t column) const;
  void SetItemText(int32_t row, int32_t column, std::string_view text);
  bool ItemChecked(int32_t row) const { return (ItemAt(row).flags & kFlagChecked) != 0; }
  // Applies the check rules: may check a different value than asked, and unchecks others.
  void SetItemChecked(int32_t row, bool checked);
  int32_t ItemData(int32_t row) const { return ItemAt(row).data; }
  void SetItemData(int32_t row, int32_t data) { ItemAt(row).data = data; }
  OleColor ItemForeColor(int32_t row) const { return ItemAt(row).foreColor; }
  void SetItemForeColor(int32_t row, OleColor color);
  int32_t ItemImage(int32_t row) const { return ItemAt(row).image; }
  void SetItemImage(int32_t row, int32_t image);
  bool ItemFontBold(int32_t row) const { return (ItemAt(row).flags & kFlagBold) != 0; }
  void SetItemFontBold(int32_t row, bool bold);

  int32_t ListCount() const { return lastIndex_ + 1; }
  // The item number of the item added last; -1 when the list is empty.
  int32_t NewIndex() const { return lastIndex_; }
  // The number of checked items.
  int32_t SelCount() const;
  // The item number shown in row. Throws WidgetError 9 when row is not a row.
  int32_t ItemOfRow(int32_t row) const;
  // The number of slots the item store has room for (grows in CacheIncrement steps).
  size_t StoreCapacity() const { return items_.size(); }

  // The current row, -1 for none.
  int32_t ListIndex() const { return listIndex_; }
  // Makes row current (negative: none), shows its column-0 text and raises Click.
  // Throws WidgetError 9 when row is past the last row.
  void SetListIndex(int32_t row);

  // The shown text.
  const std::string& Text() const { return text_; }
  // Throws WidgetError 383 unless Editable. Style 0: shows text and makes current the first
  // row whose search-column text equals it (none: -1). Styles 1 and 2: the shown text follows
  // the checks, whatever text is.
  void SetText(std::string_view text);

  // The edit box is left with newText: when it differs from the shown text, raises
  // EditTextChanged(ListIndex, shown text, newText, cancel) and, unless the host cancels,
  // makes newText the shown text. Returns false when the host cancelled (the edit box keeps
  // the focus), true otherwise.
  bool CommitEditText(std::string_view newText);

  // The edit part's selection, in characters of the shown text.
  int32_t SelStart() const { return selStart_; }
  void SetSelStart(int32_t start);
  int32_t SelLength() const { return selLength_; }
  void SetSelLength(int32_t length);
  std::string SelText() const;
  // Replaces the selection with text and puts the caret after it.
  void SetSelText(std::string_view text);

  // The first row from the top whose search-column text, upper-cased, passes mode against
  // typed upper-cased; -1 when none does. kSearchEqual: equal; kSearchAtOrAfter: its first
  // characters (as many as typed has) are at or after typed; kSearchPattern: it matches the
  // pattern typed + "*".
  int32_t FindRow(std::string_view typed, SearchMode mode) const;

  // The host's image list whose pictures ItemImage names (1-based); nullptr for none. Not
  // owned: the host keeps it alive while it is set.
  const widgets::ImageList* ImageList() const { return imageList_; }
  void SetImageList(const widgets::ImageList* list) {
    imageList_ = list;
    Redraw();
  }

  // ---- Columns ------------------------------------------------------------------------------
  // Each throws WidgetError 9 when column does not exist.

  int32_t ColAlignment(int32_t column) const { return ColumnAt(column).alignment; }
  void SetColAlignment(int32_t column, int32_t alignment);
  const std::string& ColHeading(int32_t column) const { return ColumnAt(column).heading; }
  void SetColHeading(int32_t column, std::string_view heading);
  int16_t ColType(int32_t column) const { return ColumnAt(column).type; }
  void SetColType(int32_t column, int16_t type);
  bool ColVisible(int32_t column) const { return ColumnAt(column).visible; }
  void SetColVisible(int32_t column, bool visible);
  // The width in ScaleUnits.
  float ColWidth(int32_t column) const { return ColumnAt(column).width; }
  // Sets the width and recomputes the pixel width.
  void SetColWidth(int32_t column, float width);
  int32_t ColPixelWidth(int32_t column) const { return ColumnAt(column).pixelWidth; }
  // The column's current sort direction (false until it is first sorted).
  bool ColAscending(int32_t column) const { return ColumnAt(column).ascending; }
  // The primary and secondary sort columns, -1 for none.
  int32_t SortColumn() const { return sortColumn_; }
  int32_t SecondarySortColumn() const { return sortColumn2_; }

  // The format string last set.
  const std::string& FormatString() const { return formatString_; }
  // Sets headings and alignments from "|"-separated pieces ("<" left, "^" centre, ">" right as
  // first character), adding columns when there are more pieces than columns.
  void SetFormatString(std::string_view format);

  // ---- Properties (stored in the property bag under these names) ---------------------------
  // Setting one stores it and asks for a redraw.

  OleColor BackColor() const { return p_.backColor; }
  void SetBackColor(OleColor v) { Store(p_.backColor, v); }
  OleColor BackColorEdit() const { return p_.backColorEdit; }
  void SetBackColorEdit(OleColor v) { Store(p_.backColorEdit, v); }
  // Heading row background: stored, with no property to set it at run time.
  OleColor BackColorFixed() const { return p_.backColorFixed; }
  OleColor BackColorSel() const { return p_.backColorSel; }
  void SetBackColorSel(OleColor v) { Store(p_.backColorSel, v); }
  OleColor ForeColor() const { return p_.foreColor; }
  void SetForeColor(OleColor v) { Store(p_.foreColor, v); }
  OleColor ForeColorEdit() const { return p_.foreColorEdit; }
  void SetForeColorEdit(OleColor v) { Store(p_.foreColorEdit, v); }
  OleColor ForeColorSel() const { return p_.foreColorSel; }
  void SetForeColorSel(OleColor v) { Store(p_.foreColorSel, v); }
  OleColor ArrowColor() const { return p_.arrowColor; }
  void SetArrowColor(OleColor v) { Store(p_.arrowColor, v); }
  OleColor BorderColor() const { return p_.borderColor; }
  void SetBorderColor(OleColor v) { Store(p_.borderColor, v); }
  int16_t BorderCurve() const { return p_.borderCurve; }
  void SetBorderCurve(int16_t v) { Store(p_.borderCurve, v); }
  int16_t BorderStyle() const { return p_.borderStyle; }
  void SetBorderStyle(int16_t v) { Store(p_.borderStyle, v); }
  int16_t BorderWidth() const { return p_.borderWidth; }
  void SetBorderWidth(int16_t v) { Store(p_.borderWidth, v); }
  OleColor ButtonBackColor() const { return p_.buttonBackColor; }
  void SetButtonBackColor(OleColor v) { Store(p_.buttonBackColor, v); }
  bool DisplayEllipsis() const { return p_.displayEllipsis; }
  void SetDisplayEllipsis(bool v) { Store(p_.displayEllipsis, v); }
  OleColor FocusRectColor() const { return p_.focusRectColor; }
  void SetFocusRectColor(OleColor v) { Store(p_.focusRectColor, v); }
  int16_t FocusRectStyle() const { return p_.focusRectStyle; }
  void SetFocusRectStyle(int16_t v) { Store(p_.focusRectStyle, v); }
  OleColor HotArrowColor() const { return p_.hotArrowColor; }
  void SetHotArrowColor(OleColor v) { Store(p_.hotArrowColor, v); }
  OleColor HotBorderColor() const { return p_.hotBorderColor; }
  void SetHotBorderColor(OleColor v) { Store(p_.hotBorderColor, v); }
  OleColor HotButtonBackColor() const { return p_.hotButtonBackColor; }
  void SetHotButtonBackColor(OleColor v) { Store(p_.hotButtonBackColor, v); }
  int32_t ThemeStyle() const { return p_.themeStyle; }
  void SetThemeStyle(int32_t v) { Store(p_.themeStyle, v); }
  bool AutoComplete() const { return p_.autoComplete; }
  void SetAutoComplete(bool v) { Store(p_.autoComplete, v); }
  bool ColumnResize() const { return p_.columnResize; }
  void SetColumnResize(bool v) { Store(p_.columnResize, v); }
  bool ColumnSort() const { return p_.columnSort; }
  void SetColumnSort(bool v) { Store(p_.columnSort, v); }
  bool Editable() const { return p_.editable; }
  void SetEditable(bool v) { Store(p_.editable, v); }
  int32_t Alignment() const { return p_.alignment; }
  void SetAlignment(int32_t v) { Store(p_.alignment, v); }
  int32_t CacheIncrement() const { return p_.cacheIncrement; }
  void SetCacheIncrement(int32_t v) { Store(p_.cacheIncrement, v); }
  bool ColumnHeaders() const { return p_.columnHeaders; }
  void SetColumnHeaders(bool v) { Store(p_.columnHeaders, v); }
  bool DropDownAutoWidth() const { return p_.dropDownAutoWidth; }
  void SetDropDownAutoWidth(bool v) { Store(p_.dropDownAutoWidth, v); }
  int16_t DropDownItemsVisible() const { return p_.dropDownItemsVisible; }
  void SetDropDownItemsVisible(int16_t v) { Store(p_.dropDownItemsVisible, v); }
  float DropDownWidth() const { return p_.dropDownWidth; }
  void SetDropDownWidth(float v) { Store(p_.dropDownWidth, v); }
  bool Enabled() const { return p_.enabled; }
  void SetEnabled(bool v) { Store(p_.enabled, v); }
  bool IntegralHeight() const { return p_.integralHeight; }
  void SetIntegralHeight(bool v) { Store(p_.integralHeight, v); }
  bool Locked() const { return p_.locked; }
  void SetLocked(bool v) { Store(p_.locked, v); }
  int16_t MaxLength() const { return p_.maxLength; }
  void SetMaxLength(int16_t v) { Store(p_.maxLength, v); }
  int16_t PageScrollItems() const { return p_.pageScrollItems; }
  void SetPageScrollItems(int16_t v) { Store(p_.pageScrollItems, v); }
  bool RequireCheckedItem() const { return p_.requireCheckedItem; }
  void SetRequireCheckedItem(bool v) { Store(p_.requireCheckedItem, v); }
  float RowHeightMin() const { return p_.rowHeightMin; }
  void SetRowHeightMin(float v) { Store(p_.rowHeightMin, v); }
  int32_t ScaleUnits() const { return p_.scaleUnits; }
  // Also recomputes every column's pixel width.
  void SetScaleUnits(int32_t v);
  // The column of Text and the row searches: stored, with no property to set it at run time.
  int16_t SearchColumn() const { return p_.searchColumn; }
  int16_t Style() const { return p_.style; }
  // Style 2 unchecks every item and then applies the current ListIndex again.
  void SetStyle(int16_t v);
  const std::string& TextAll() const { return p_.textAll; }
  void SetTextAll(std::string_view v);
  const std::string& TextNone() const { return p_.textNone; }
  void SetTextNone(std::string_view v);
  const std::string& TextSelection() const { return p_.textSelection; }
  void SetTextSelection(std::string_view v);
  const widgets::Font& Font() const { return p_.font; }
  void SetFont(const widgets::Font& v) { Store(p_.font, v); }
  const widgets::Font& DropDownFont() const { return p_.dropDownFont; }
  void SetDropDownFont(const widgets::Font& v) { Store(p_.dropDownFont, v); }
  int16_t Cols() const { return static_cast<int16_t>(columns_.size()); }
  // Recreates the columns: n of them (1 when n <= 0), each at its defaults.
  void SetCols(int16_t n);

  // ---- For the window layer -------------------------------------------------------------------

  // Whether the edit text is being changed by the control itself (no autocomplete then).
  bool SuppressAutoComplete() const { return suppressAutoComplete_; }
  void SetSuppressAutoComplete(bool v) { suppressAutoComplete_ = v; }
  // Recomputes the shown text from the checks (styles 1 and 2); the window layer calls it when
  // the drop-down closes.
  void UpdateCheckedText();

  // Lowers the largest last index so that tests can reach the limit.
  // REQUIRES: limit >= 0.
  void SetMaxLastIndexForTesting(int32_t limit) { maxLastIndex_ = limit; }

  // Converts a width in units (a ScaleUnits value) to pixels at 96 dots per inch.
  // Characters are 8 pixels wide and 16 high (vertical).
  static int32_t ToPixels(double value, int32_t units, bool vertical = false);
  // Converts pixels back to units (a ScaleUnits value): the inverse of ToPixels.
  static double FromPixels(int32_t pixels, int32_t units, bool vertical = false);

  // The stored properties, each with its default.
  struct Properties {
    OleColor backColor = kSysWindow;
    OleColor backColorEdit = kSysWindow;
    OleColor backColorFixed = kSysButtonFace;
    OleColor backColorSel = kSysHighlight;
    OleColor foreColor = kSysWindowText;
    OleColor foreColorEdit = kSysWindowText;
    OleColor foreColorSel = kSysHighlightText;
    OleColor arrowColor = kSysButtonText;
    OleColor borderColor = 0;
    int16_t borderCurve = 5;
    int16_t borderStyle = 1;
    int16_t borderWidth = 1;
    OleColor buttonBackColor = kSysButtonFace;
    bool displayEllipsis = false;
    OleColor focusRectColor = 65535;
    int16_t focusRectStyle = 1;
    OleColor hotArrowColor = kSysButtonText;
    OleColor hotBorderColor = 0;
    OleColor hotButtonBackColor = kSysButtonFace;
    int32_t themeStyle = 2;
    bool autoComplete = false;
    bool columnResize = false;
    bool columnSort = false;
    bool editable = false;
    int32_t alignment = 0;
    int32_t cacheIncrement = 10;
    bool columnHeaders = false;
    bool dropDownAutoWidth = false;
    int16_t dropDownItemsVisible = 8;
    float dropDownWidth = 0;
    bool enabled = true;
    bool integralHeight = false;
    bool locked = false;
    int16_t maxLength = 0;
    int16_t pageScrollItems = 8;
    bool requireCheckedItem = false;
    float rowHeightMin = 0;
    int32_t scaleUnits = 1;  // twips
    int16_t searchColumn = 0;
    int16_t style = 0;
    std::string textAll = "-- All --";
    std::string textNone = "-- None --";
    std::string textSelection = "-- Selection --";
    widgets::Font font;
    widgets::Font dropDownFont;
  };

 private:
  struct Item {
    OleColor foreColor = 0;
    int32_t image = -1;
    int32_t data = 0;
    uint8_t flags = 0;
    std::vector<std::string> texts;
  };
  struct Column {
    int32_t alignment = 0;
    float width = 1000;
    int32_t pixelWidth = 0;
    bool ascending = false;
    int16_t type = kText;
    bool visible = true;
    std::string heading;
  };

  template <typename T>
  void Store(T& field, const T& value) {
    field = value;
    Redraw();
  }
  void Redraw() const {
    if (redraw_) redraw_();
  }
  const Item& ItemAt(int32_t row) const;
  Item& ItemAt(int32_t row);
  const Column& ColumnAt(int32_t column) const;
  Column& ColumnAt(int32_t column);
  // The cell text used by searches and sorts: "" when the item has no such cell.
  const std::string& Cell(int32_t item, int32_t column) const;
  void ResetColumns(int n);
  void SetChecked(int32_t item, bool checked);
  void SelectItem(int32_t item, int32_t fallbackRow);
  int32_t RowOfItem(int32_t item) const;
  void ResizeStore(size_t slots);
  // Quicksort of rows [low, high] by column; the primary-column comparison of two rows.
  void SortRows(int32_t low, int32_t high, int32_t column);
  bool Before(int32_t rowA, int32_t rowB, int32_t column);
  bool Equivalent(int32_t rowA, int32_t rowB, int32_t column);

  Properties p_;
  std::vector<Item> items_;    // the item store; its size is the capacity
  std::vector<int32_t> rows_;  // the row order; same size as items_
  std::vector<Column> columns_;
  int32_t lastIndex_ = -1;
  int32_t maxLastIndex_ = kMaxLastIndex;
  int32_t listIndex_ = -1;
  std::string text_;
  int32_t selStart_ = 0;
  int32_t selLength_ = 0;
  int32_t sortColumn_ = -1;
  int32_t sortColumn2_ = -1;
  std::string formatString_;
  bool suppressAutoComplete_ = false;
  Events events_;
  std::function<void()> redraw_;
  const widgets::ImageList* imageList_ = nullptr;
};

}  // namespace quillon::widgets
