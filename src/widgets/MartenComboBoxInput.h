// The grid combo box's drop-down and input rules over its model: the row metrics, the
// drop-down's size and place on the screen, the keys with the list closed and open, the
// highlighted and first visible rows, autocomplete and the Enter search, the release timer's
// rule and the scroll actions. The window layer draws and feeds events; nothing here needs a
// display. Sizes are pixels; times are milliseconds.
#pragma once

#include <cstdint>
#include <string>

#include "widgets/MartenComboBox.h"

namespace quillon::widgets {

struct ComboRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ComboRect&) const = default;
};

struct ComboRowMetrics {
  int32_t rowHeight = 1;
  int32_t checkBoxSide = 0;
  int32_t textStart = 3;  // from the row's left edge, before any image
};

// The row metrics for a list font whose "A" is textHeightA pixels high: RowHeightMin in
// pixels when that gives at least 1, else textHeightA; the check box side 16 from row height
// 17 on, row height - 4 below, textHeightA when RowHeightMin is 0; text 3 pixels in (style 0)
// or 2 after the check box.
ComboRowMetrics ComputeRowMetrics(const MartenComboBox& combo, int32_t textHeightA);

// Width of the open list: with DropDownAutoWidth the visible columns plus 16; else
// DropDownWidth in pixels, or controlWidth when it is 0.
int32_t DropDownWidth(const MartenComboBox& combo, int32_t controlWidth);
// Height: rows x min(ListCount, DropDownItemsVisible) + 2, 16 more when there are more rows
// than shown and the columns are wider than listWidth, plus headerHeight with ColumnHeaders.
int32_t DropDownHeight(const MartenComboBox& combo, int32_t rowHeight, int32_t headerHeight,
                       int32_t listWidth);
// The list's place on the screen: below control (left edges aligned), above it when it would
// pass the screen's bottom, and cut to the screen's width.
ComboRect PlaceDropDown(const ComboRect& control, int32_t width, int32_t height,
                        const ComboRect& screen);

// Key codes the combo box handles.
inline constexpr int16_t kComboKeyEnter = 13;
inline constexpr int16_t kComboKeyEscape = 27;
inline constexpr int16_t kComboKeySpace = 32;
inline constexpr int16_t kComboKeyPageUp = 33;
inline constexpr int16_t kComboKeyPageDown = 34;
inline constexpr int16_t kComboKeyEnd = 35;
inline constexpr int16_t kComboKeyHome = 36;
inline constexpr int16_t kComboKeyUp = 38;
inline constexpr int16_t kComboKeyDown = 40;
inline constexpr int16_t kComboKeyA = 65;
inline constexpr int16_t kComboKeyF4 = 115;
inline constexpr int16_t kComboShift = 1;
inline constexpr int16_t kComboCtrl = 2;
inline constexpr int16_t kComboAlt = 4;

class MartenComboBoxInput {
 public:
  // How long after the last scroll a click outside still leaves the list open.
  static constexpr int64_t kReleaseDelay = 500;

  // combo must outlive this object.
  explicit MartenComboBoxInput(MartenComboBox& combo) : combo_(combo) {}

  bool IsOpen() const { return open_; }
  int32_t HighlightedRow() const { return highlighted_; }
  int32_t FirstVisibleRow() const { return firstVisible_; }
  // Rows the open list shows at once.
  int32_t VisibleRows() const;

  // Opens the list at time now: nothing when the list is empty (no DropDownOpen). Returns
  // whether it opened.
  bool Open(int64_t now);
  // Closes the list; with take, the highlighted row becomes ListIndex. Recomputes the shown
  // text of styles 1 and 2, raises DropDownClose, then Click when a row was taken.
  void Close(bool take);

  // Applies a key (after KeyDown was raised to the host). Returns true when the key was
  // handled, which consumes it.
  bool Key(int16_t keyCode, int16_t shift, int64_t now);

  // A press on row of the open list (button and shift as in the events). Raises ClickItem and
  // applies the check rules of styles 1 and 2. Returns whether the release over the row
  // should close the list (style 0).
  bool PressRow(int32_t row, int16_t button, int16_t shift);
  // The pointer moved over row: it becomes the highlighted row. Returns whether it changed.
  bool HoverRow(int32_t row);

  // Scrolls the open list to firstRow (clamped), noting the time when it moved. Returns
  // whether it moved.
  bool ScrollTo(int32_t firstRow, int64_t now);
  // Wheel notches (positive away from the user: up) scroll three rows each.
  bool Wheel(int32_t notches, int64_t now);
  // Whether the release timer closes the list: a button is down, the pointer is outside both
  // the list and the control, and more than kReleaseDelay passed since the last scroll.
  bool ReleaseDue(bool buttonDown, bool pointerInList, bool pointerOnControl, int64_t now) const;

  // Autocomplete after the user typed: typedLeft is the edit text left of the caret. Returns
  // the text to append after it (selected, the caret staying after typedLeft): the rest of
  // the first row found by the at-or-after search, past typedLeft's length; "" when
  // typedLeft is empty or no row is found.
  std::string AutoComplete(const std::string& typedLeft) const;
  // Enter with AutoComplete on and a non-empty text: finds the row whose search-column text
  // equals typed (ignoring case), lets the host change it through AutoCompleteSearch, makes a
  // row of 0 or more ListIndex and closes an open list. Returns the row applied (-1: none).
  int32_t EnterSearch(const std::string& typed);

 private:
  void MoveHighlight(int32_t row);
  void ToggleAll();

  MartenComboBox& combo_;
  bool open_ = false;
  int32_t highlighted_ = -1;
  int32_t firstVisible_ = 0;
  int64_t lastScroll_ = -1000000;
};

}  // namespace quillon::widgets
