// The list view's input rules: mouse presses, moves and releases, keys, the drag timer, the
// scroll bars' ranges and the column-resize cursor, over the model, its layout and its scroll
// bars. The window layer turns its events into these calls and paints afterwards; nothing here
// needs a display.
#pragma once

#include <cstdint>

#include "widgets/ListView.h"
#include "widgets/ListViewLayout.h"
#include "widgets/Scrollbars.h"

namespace quillon::widgets {

// Key codes and modifier bits as the list's events carry them.
inline constexpr int16_t kKeySpace = 32;
inline constexpr int16_t kKeyPageUp = 33;
inline constexpr int16_t kKeyPageDown = 34;
inline constexpr int16_t kKeyUp = 38;
inline constexpr int16_t kKeyDown = 40;
inline constexpr int16_t kShiftMask = 1;
inline constexpr int16_t kCtrlMask = 2;
inline constexpr int16_t kAltMask = 4;
inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;

class ListViewInput {
 public:
  enum State {
    kIdle = 0,
    kResizing = 1,
    kDragSelecting = 2,
    kReorderDragging = 3,
    kHeaderPressed = 4
  };

  // list and bars must outlive this object.
  ListViewInput(ListView& list, Scrollbars& bars);

  // Lays out for a view of width x height pixels, of which the bars take verticalBarWidth
  // (always) and horizontalBarHeight (while the horizontal bar is shown); then sets the bars'
  // ranges (the vertical one enabled only while the items outnumber the visible rows).
  void Relayout(int32_t width, int32_t height, int32_t verticalBarWidth = 0,
                int32_t horizontalBarHeight = 0);
  // Sets the bars' ranges for the current layout (after items changed).
  void UpdateScrollbars();
  const ListViewLayout& Layout() const { return layout_; }
  int32_t FirstRow() const { return bars_.Bar(ScrollBarKind::kVertical).Value; }
  int32_t HorizontalOffset() const { return bars_.Bar(ScrollBarKind::kHorizontal).Value; }
  State state() const { return state_; }

  // Mouse input in client coordinates; button and shift as in ListViewEvents.
  void MouseDown(int16_t button, int16_t shift, int32_t x, int32_t y);
  void MouseMove(int16_t shift, int32_t x, int32_t y);
  // Raises MouseUp, then Click when the press was on an item.
  void MouseUp(int16_t button, int16_t shift, int32_t x, int32_t y);
  void DoubleClick() { list_.RaiseDblClick(); }
  // Raises KeyDown, then applies the key unless the form took it. Returns whether the list
  // used the key.
  bool KeyDown(int16_t keyCode, int16_t shift);

  // Whether the drag timer should run (a drag selection, or a reorder drag while Reorder is on).
  bool DragTimerWanted() const;
  // One tick of the drag timer with the pointer at y: scrolls one row when the pointer is at
  // or below the bottom edge (within 3 pixels) or well above the item area, then repeats the
  // move step at (x, y). Returns whether it scrolled.
  bool DragTimerTick(int32_t x, int32_t y);
  // Whether the pointer at (x, y) shows the column sizing arrow while idle.
  bool SizingCursorAt(int32_t x, int32_t y) const;

  // Scrolls so that item is the first visible row as far as the range allows and, with
  // column >= 0, brings that column's left edge to the left when the columns are wider than
  // the client area (and ColumnsAutoSize is off).
  void MakeSureVisible(int32_t item, int32_t column);
  // Scrolls the least needed for item to be entirely visible.
  void ScrollIntoView(int32_t item);

 private:
  void MoveStep(int32_t x, int32_t y);
  void ReorderBy(int32_t distance);

  ListView& list_;
  Scrollbars& bars_;
  ListViewLayout layout_;
  int32_t viewWidth_ = 0, viewHeight_ = 0, verticalBarWidth_ = 0, horizontalBarHeight_ = 0;
  State state_ = kIdle;
  int32_t resizeColumn_ = -1;
  int32_t dragStartRow_ = -1;
  bool dragMoved_ = false;
  bool anchorState_ = true;   // the state a Shift-press gives the range
  bool pressedItem_ = false;  // the last press selected an item: its release is a Click
};

}  // namespace quillon::widgets
