#include "widgets/ListViewInput.h"

#include <algorithm>
#include <cmath>

namespace quillon::widgets {

ListViewInput::ListViewInput(ListView& list, Scrollbars& bars) : list_(list), bars_(bars) {}

void ListViewInput::Relayout(int32_t width, int32_t height, int32_t verticalBarWidth,
                             int32_t horizontalBarHeight) {
  viewWidth_ = width;
  viewHeight_ = height;
  verticalBarWidth_ = verticalBarWidth;
  horizontalBarHeight_ = horizontalBarHeight;
  const int32_t clientWidth = std::max(width - verticalBarWidth, 0);
  layout_ = ComputeLayout(list_, clientWidth, height);
  // The horizontal bar takes room from the item area while it is shown.
  if (layout_.totalColumnWidth > clientWidth && horizontalBarHeight > 0) {
    layout_ = ComputeLayout(list_, clientWidth, std::max(height - horizontalBarHeight, 0));
  }
  UpdateScrollbars();
}

void ListViewInput::UpdateScrollbars() {
  ScrollBar& vertical = bars_.Bar(ScrollBarKind::kVertical);
  vertical.Visible = true;
  vertical.SmallChange = 1;
  vertical.LargeChange = std::max(layout_.visibleRows, 1);
  if (list_.ItemCount() > layout_.visibleRows) {
    vertical.Enabled = true;
    bars_.SetRange(ScrollBarKind::kVertical, 0, list_.ItemCount() - layout_.visibleRows);
  } else {
    vertical.Enabled = false;
    vertical.Max = 0;
    bars_.SetValue(ScrollBarKind::kVertical, 0);
  }
  ScrollBar& horizontal = bars_.Bar(ScrollBarKind::kHorizontal);
  if (layout_.totalColumnWidth > layout_.clientWidth) {
    horizontal.Visible = true;
    horizontal.SmallChange = 3;
    horizontal.LargeChange = static_cast<int32_t>(std::nearbyint(layout_.totalColumnWidth / 2.0));
    horizontal.Enabled = list_.Properties().Enabled;
    bars_.SetRange(ScrollBarKind::kHorizontal, 0,
                   layout_.totalColumnWidth - layout_.clientWidth - 1);
  } else {
    horizontal.Visible = false;
    bars_.SetValue(ScrollBarKind::kHorizontal, 0);
  }
}

void ListViewInput::MouseDown(int16_t button, int16_t shift, int32_t x, int32_t y) {
  const ListViewProperties& p = list_.Properties();
  pressedItem_ = false;
  const int32_t offset = HorizontalOffset();
  int32_t row = -1;
  if (p.ColumnsVisible && y < layout_.headerHeight) {
    const HeaderHit hit = HitHeader(list_, offset, x);
    if (hit.kind == HeaderHit::kResizeEdge) {
      state_ = kResizing;
      resizeColumn_ = hit.column;
    } else if (hit.kind == HeaderHit::kPress) {
      state_ = kHeaderPressed;
      list_.SetColumnPushed(hit.column, true);
    }
  } else if (static_cast<int64_t>(x) + offset >= layout_.totalColumnWidth) {
    if (button == kLeftButton) list_.UnSelectAll();
  } else {
    row = RowFromPoint(layout_, FirstRow(), y);
    if (row < 0 || row >= list_.ItemCount()) {
      if (button == kLeftButton) list_.UnSelectAll();
      row = -1;
    } else if (CheckBoxHit(list_, offset, x)) {
      list_.SetItemChecked(row, !list_.ItemChecked(row));
      list_.RaiseItemCheck(row);
      return;  // neither selection nor MouseDown
    } else {
      const bool multi = p.MultiSelect;
      const int32_t current = list_.SelectedItem();
      if (multi && (shift & kShiftMask)) {
        list_.SelectRange(current < 0 ? row : current, row, anchorState_, false);
      } else if (multi && (shift & kCtrlMask)) {
        anchorState_ = !list_.ItemSelected(row);
        list_.SetItemSelected(row, anchorState_);
      } else if (multi && !list_.ItemSelected(row)) {
        list_.SelectRange(row, row, true, true);
        anchorState_ = true;
        state_ = kDragSelecting;
        dragStartRow_ = row;
      } else {
        if (!multi) list_.UnSelectAll();
        list_.SetItemSelected(row, true);
        anchorState_ = true;
        state_ = kReorderDragging;
        dragMoved_ = false;
      }
      list_.SetSelectedItem(row);
      pressedItem_ = true;
    }
  }
  list_.RaiseMouseDown(row, button, shift, x, y);
}

void ListViewInput::MouseMove(int16_t, int32_t x, int32_t y) {
  MoveStep(x, y);
}

void ListViewInput::MoveStep(int32_t x, int32_t y) {
  switch (state_) {
    case kResizing: {
      const bool autoSize = list_.Properties().ColumnsAutoSize;
      int64_t left = 0;
      for (int32_t c = 0; c < resizeColumn_; ++c) {
        const Column& col = list_.ColumnAt(c);
        if (col.Visible) left += ShownWidth(col, autoSize);
      }
      const int64_t width = static_cast<int64_t>(x) + HorizontalOffset() - left;
      list_.SetColumnWidth(resizeColumn_,
                           static_cast<int32_t>(std::clamp<int64_t>(width, kEdgeGrip, INT32_MAX)));
      Relayout(viewWidth_, viewHeight_, verticalBarWidth_, horizontalBarHeight_);
      break;
    }
    case kDragSelecting: {
      if (list_.ItemCount() == 0) break;
      const int32_t row =
          std::clamp(RowFromPoint(layout_, FirstRow(), y), 0, list_.ItemCount() - 1);
      list_.SelectRange(dragStartRow_, row, true, true);
      break;
    }
    case kReorderDragging: {
      if (!list_.Properties().Reorder || list_.SelectedItem() < 0) break;
      const int32_t row = RowFromPoint(layout_, FirstRow(), y);
      ReorderBy(row - list_.SelectedItem());
      break;
    }
    default:
      break;
  }
}

// Moves every selected item by distance rows, keeping their order and gaps; the move is cut
// so that no item passes the first or the last slot.
void ListViewInput::ReorderBy(int32_t distance) {
  const int32_t count = list_.ItemCount();
  int32_t first = -1, last = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (list_.ItemSelected(i)) {
      if (first < 0) first = i;
      last = i;
    }
  }
  if (first < 0) return;
  distance = std::clamp(distance, -first, count - 1 - last);
  if (distance == 0) return;
  const int32_t current = list_.SelectedItem();
  const bool currentMoves = list_.ItemSelected(current);
  const bool redraw = list_.Redraw();
  list_.SetRedraw(false);  // one repaint for the whole move
  if (distance > 0) {
    for (int32_t i = last; i >= first; --i) {
      if (list_.ItemSelected(i)) list_.MoveItem(i, i + distance);
    }
  } else {
    for (int32_t i = first; i <= last; ++i) {
      if (list_.ItemSelected(i)) list_.MoveItem(i, i + distance);
    }
  }
  if (currentMoves) list_.SetSelectedItem(current + distance);
  list_.SetRedraw(redraw);
  dragMoved_ = true;
  list_.RaiseItemsReordered();
}

void ListViewInput::MouseUp(int16_t button, int16_t shift, int32_t x, int32_t y) {
  if (state_ == kReorderDragging && !dragMoved_ && list_.SelectedItem() >= 0) {
    list_.SelectRange(list_.SelectedItem(), list_.SelectedItem(), true, true);
  } else if (state_ == kHeaderPressed) {
    for (int32_t c = 0; c < list_.ColumnCount(); ++c) {
      const Column& col = list_.ColumnAt(c);
      if (!col.Pushed) continue;
      if (list_.Properties().Sortable) {
        list_.Sort(col.key, col.LastSortOrder);
        list_.SetColumnLastSortOrder(c, col.LastSortOrder == 0 ? 1 : 0);
      }
      list_.RaiseColumnClick(c);
    }
    for (int32_t c = 0; c < list_.ColumnCount(); ++c) {
      if (list_.ColumnAt(c).Pushed) list_.SetColumnPushed(c, false);
    }
  }
  state_ = kIdle;
  resizeColumn_ = -1;
  int32_t row = -1;
  if (!(list_.Properties().ColumnsVisible && y < layout_.headerHeight)) {
    row = RowFromPoint(layout_, FirstRow(), y);
    if (row < 0 || row >= list_.ItemCount()) row = -1;
  }
  list_.RaiseMouseUp(row, button, shift, x, y);
  // A press on an item completes as a click on the current item.
  if (pressedItem_) list_.RaiseClick();
  pressedItem_ = false;
}

bool ListViewInput::KeyDown(int16_t keyCode, int16_t shift) {
  keyCode = list_.RaiseKeyDown(keyCode, shift);
  const ListViewProperties& p = list_.Properties();
  const int32_t count = list_.ItemCount();
  if (count == 0) return false;
  const int32_t current = list_.SelectedItem();
  int32_t step = 0;
  switch (keyCode) {
    case kKeyUp:
      step = -1;
      break;
    case kKeyDown:
      step = 1;
      break;
    case kKeyPageUp:
      step = -std::max(layout_.visibleRows, 1);
      break;
    case kKeyPageDown:
      step = std::max(layout_.visibleRows, 1);
      break;
    case kKeySpace:
      if (current < 0) return false;
      if ((shift & kCtrlMask) && p.MultiSelect) {
        list_.SetItemSelected(current, !list_.ItemSelected(current));
      }
      if (p.Checkboxes) {
        list_.SetItemChecked(current, !list_.ItemChecked(current));
        list_.RaiseItemCheck(current);
      }
      return true;
    default:
      return false;
  }
  const int32_t next =
      static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(current) + step, 0, count - 1));
  const bool keep = p.MultiSelect && (shift & (kShiftMask | kCtrlMask));
  if (keep) {
    list_.SetItemSelected(next, true);
  } else {
    list_.SelectRange(next, next, true, true);
  }
  list_.SetSelectedItem(next);
  ScrollIntoView(next);
  list_.RaiseClick();
  return true;
}

bool ListViewInput::DragTimerWanted() const {
  return state_ == kDragSelecting || (state_ == kReorderDragging && list_.Properties().Reorder);
}

bool ListViewInput::DragTimerTick(int32_t x, int32_t y) {
  if (!DragTimerWanted()) return false;
  const int32_t bottom = layout_.itemTop + std::max(layout_.clientHeight - layout_.itemTop, 0);
  int32_t direction = 0;
  if (y > bottom - 3) {
    direction = 1;
  } else if (y < layout_.headerHeight - 3) {
    direction = -1;
  }
  if (direction == 0) return false;
  const int32_t before = FirstRow();
  bars_.Action(ScrollBarKind::kVertical,
               direction > 0 ? ScrollAction::kLineDown : ScrollAction::kLineUp);
  MoveStep(x, y);
  return FirstRow() != before;
}

bool ListViewInput::SizingCursorAt(int32_t x, int32_t y) const {
  const ListViewProperties& p = list_.Properties();
  if (state_ != kIdle || p.ColumnsAutoSize || !p.ColumnsVisible || y >= layout_.headerHeight) {
    return false;
  }
  return HitHeader(list_, HorizontalOffset(), x).kind == HeaderHit::kResizeEdge;
}

void ListViewInput::MakeSureVisible(int32_t item, int32_t column) {
  bars_.SetValue(ScrollBarKind::kVertical, item);
  const ListViewProperties& p = list_.Properties();
  if (column >= 0 && column < list_.ColumnCount() && !p.ColumnsAutoSize &&
      layout_.totalColumnWidth > layout_.clientWidth) {
    int32_t left = 0;
    for (int32_t c = 0; c < column; ++c) {
      if (list_.ColumnAt(c).Visible) left += list_.ColumnAt(c).Width;
    }
    bars_.SetValue(ScrollBarKind::kHorizontal, left);
  }
}

void ListViewInput::ScrollIntoView(int32_t item) {
  const int32_t area = std::max(layout_.clientHeight - layout_.itemTop, 0);
  const int32_t fullRows = std::max(area / layout_.itemHeight, 1);
  if (item < FirstRow()) {
    bars_.SetValue(ScrollBarKind::kVertical, item);
  } else if (item >= FirstRow() + fullRows) {
    bars_.SetValue(ScrollBarKind::kVertical, item - fullRows + 1);
  }
}

}  // namespace quillon::widgets
