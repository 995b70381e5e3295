#include "widgets/ListViewLayout.h"

#include <algorithm>
#include <cmath>

namespace quillon::widgets {

int32_t ShownWidth(const Column& column, bool autoSize) {
  return autoSize ? column.WidthAutoSized : column.Width;
}

ListViewLayout ComputeLayout(ListView& list, int32_t clientWidth, int32_t clientHeight) {
  const ListViewProperties& p = list.Properties();
  ListViewLayout layout;
  layout.clientWidth = std::max(clientWidth, 0);
  layout.clientHeight = std::max(clientHeight, 0);
  layout.headerHeight = p.ColumnsVisible ? list.FontTextHeight() + 8 : 0;
  layout.itemTop = layout.headerHeight;
  layout.itemHeight = list.ItemHeight();

  if (p.ColumnsAutoSize) {
    // Fixed columns keep their width; the resizable ones share the rest in proportion.
    int64_t fixed = 0, resizable = 0;
    for (int32_t c = 0; c < list.ColumnCount(); ++c) {
      const Column& col = list.ColumnAt(c);
      if (!col.Visible) continue;
      (col.Resizable ? resizable : fixed) += col.Width;
    }
    const double remaining = static_cast<double>(layout.clientWidth - fixed);
    int64_t running = 0;
    int32_t last = -1;
    for (int32_t c = 0; c < list.ColumnCount(); ++c) {
      const Column& col = list.ColumnAt(c);
      if (!col.Visible) continue;
      int32_t width = col.Width;
      if (col.Resizable && resizable > 0) {
        width = static_cast<int32_t>(
            std::nearbyint(static_cast<double>(col.Width) / resizable * remaining + 0.5));
      }
      list.SetColumnWidthAutoSized(c, width);
      running += width;
      last = c;
    }
    // The last column is cut so that the columns end at the client width.
    if (last >= 0 && running > layout.clientWidth) {
      const int64_t cut = running - layout.clientWidth;
      list.SetColumnWidthAutoSized(last, static_cast<int32_t>(std::max<int64_t>(
                                             0, list.ColumnAt(last).WidthAutoSized - cut)));
    }
    layout.totalColumnWidth = layout.clientWidth;
  } else {
    int64_t total = 0;
    for (int32_t c = 0; c < list.ColumnCount(); ++c) {
      const Column& col = list.ColumnAt(c);
      if (col.Visible) total += col.Width;
    }
    layout.totalColumnWidth = static_cast<int32_t>(std::clamp<int64_t>(total, 0, INT32_MAX));
  }
  layout.rowWidth = std::max(layout.totalColumnWidth, layout.clientWidth);
  const int32_t area = std::max(layout.clientHeight - layout.itemTop, 0);
  layout.visibleRows =
      static_cast<int32_t>(std::nearbyint(static_cast<double>(area) / layout.itemHeight));
  return layout;
}

int32_t FirstVisibleColumn(const ListView& list) {
  for (int32_t c = 0; c < list.ColumnCount(); ++c) {
    if (list.ColumnAt(c).Visible) return c;
  }
  return -1;
}

bool ShowsPictures(const ListView& list) {
  return list.Properties().PicturesVisible && list.PictureCount() > 0;
}

int32_t CheckBoxLeft(const ListView& list) {
  return ShowsPictures(list) ? list.Properties().PictureWidth + kCheckBoxAfterPicture
                             : kCheckBoxPlainLeft;
}

int32_t TextStart(const ListView& list) {
  const ListViewProperties& p = list.Properties();
  int32_t start = p.ItemPaddingLeft;
  if (ShowsPictures(list)) start += p.PictureWidth + 3;
  if (p.Checkboxes) start += 18;
  return start;
}

int32_t ColumnFromPoint(const ListView& list, int32_t horizontalOffset, int32_t x) {
  const int64_t target = static_cast<int64_t>(x) + horizontalOffset;
  const bool autoSize = list.Properties().ColumnsAutoSize;
  int64_t sum = 0;
  for (int32_t c = 0; c < list.ColumnCount(); ++c) {
    const Column& col = list.ColumnAt(c);
    if (!col.Visible) continue;
    sum += ShownWidth(col, autoSize);
    if (sum > target) return c;
  }
  return -1;
}

int32_t RowFromPoint(const ListViewLayout& layout, int32_t firstRow, int32_t y) {
  const int32_t offset = y - layout.itemTop;
  // Rounded down, also above the item area.
  const int32_t row = offset >= 0 ? offset / layout.itemHeight
                                  : -((-offset + layout.itemHeight - 1) / layout.itemHeight);
  return row + firstRow;
}

std::optional<PixelRect> GetItemRect(const ListView& list, const ListViewLayout& layout,
                                     int32_t firstRow, int32_t horizontalOffset, int32_t column,
                                     int32_t item) {
  if (item < 0 || item >= list.ItemCount() || column < 0 || column >= list.ColumnCount()) {
    return std::nullopt;
  }
  if (!list.ColumnAt(column).Visible) return std::nullopt;
  const bool autoSize = list.Properties().ColumnsAutoSize;
  int32_t left = -horizontalOffset;
  for (int32_t c = 0; c < column; ++c) {
    const Column& col = list.ColumnAt(c);
    if (col.Visible) left += ShownWidth(col, autoSize);
  }
  const int32_t top = layout.itemTop + (item - firstRow) * layout.itemHeight;
  return PixelRect{left, top, left + ShownWidth(list.ColumnAt(column), autoSize),
                   top + layout.itemHeight};
}

HeaderHit HitHeader(const ListView& list, int32_t horizontalOffset, int32_t x) {
  const int64_t target = static_cast<int64_t>(x) + horizontalOffset;
  const bool autoSize = list.Properties().ColumnsAutoSize;
  int64_t left = 0;
  for (int32_t c = 0; c < list.ColumnCount(); ++c) {
    const Column& col = list.ColumnAt(c);
    if (!col.Visible) continue;
    const int64_t right = left + ShownWidth(col, autoSize);
    if (col.Resizable && std::llabs(target - right) < kEdgeGrip) return {HeaderHit::kResizeEdge, c};
    if (target - left > kEdgeGrip && right - target > kEdgeGrip) return {HeaderHit::kPress, c};
    left = right;
  }
  return {};
}

bool CheckBoxHit(const ListView& list, int32_t horizontalOffset, int32_t x) {
  if (!list.Properties().Checkboxes) return false;
  const int32_t first = FirstVisibleColumn(list);
  if (first < 0 || ColumnFromPoint(list, horizontalOffset, x) != first) return false;
  // The first visible column starts at the left edge of the rows.
  const int32_t inCell = x + horizontalOffset;
  const int32_t left = CheckBoxLeft(list);
  return inCell >= left && inCell < left + kCheckBoxSize;
}

int32_t PictureTop(int32_t rowTop, int32_t rowHeight, int32_t pictureHeight) {
  return rowTop + static_cast<int32_t>(rowHeight / 2.0 - pictureHeight / 2.0) + 1;
}

}  // namespace quillon::widgets
