// Where a list view puts things: the header band, the rows, the columns, and what lies under a
// point. Pure functions of the model and the client size, so that painting and the input
// rules agree and can be checked without a display. All values are pixels; x counts from the
// client area's left edge, y from its top.
#pragma once

#include <cstdint>
#include <optional>

#include "widgets/ListView.h"

namespace quillon::widgets {

struct ListViewLayout {
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  int32_t headerHeight = 0;  // font text height + 8; 0 while ColumnsVisible is off
  int32_t itemTop = 0;       // the item area starts below the header band
  int32_t itemHeight = 1;
  int32_t visibleRows = 0;       // item area height / item height, to the nearest integer
  int32_t totalColumnWidth = 0;  // the visible columns' shown widths
  int32_t rowWidth = 0;          // the larger of totalColumnWidth and clientWidth
};

struct PixelRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// Geometry of the first column's contents, shared by painting and hit-testing.
inline constexpr int32_t kPictureLeft = 4;           // from the cell's left edge
inline constexpr int32_t kCheckBoxSize = 12;         // the square's side
inline constexpr int32_t kCheckBoxPlainLeft = 3;     // without pictures
inline constexpr int32_t kCheckBoxAfterPicture = 8;  // PictureWidth + this, with pictures
inline constexpr int32_t kEdgeGrip = 5;              // header edge zone and smallest column width

// The shown width of column: WidthAutoSized while autoSize is on, Width otherwise.
int32_t ShownWidth(const Column& column, bool autoSize);

// Lays the control out for a client area of clientWidth x clientHeight. While ColumnsAutoSize
// is on this also writes each visible column's WidthAutoSized into list.
ListViewLayout ComputeLayout(ListView& list, int32_t clientWidth, int32_t clientHeight);

// Whether the first visible column shows pictures, and where its check box and text start
// (from the cell's left edge).
bool ShowsPictures(const ListView& list);
int32_t CheckBoxLeft(const ListView& list);
int32_t TextStart(const ListView& list);
// The first visible column, -1 when none is visible.
int32_t FirstVisibleColumn(const ListView& list);

// The column under x (the horizontal offset added), -1 past the last one.
int32_t ColumnFromPoint(const ListView& list, int32_t horizontalOffset, int32_t x);
// (y - item area top) / item height, rounded down, plus firstRow; may lie outside the items.
int32_t RowFromPoint(const ListViewLayout& layout, int32_t firstRow, int32_t y);
// The cell of column and item as painting places it, in client coordinates; nullopt for a
// hidden or unknown column or an item out of range.
std::optional<PixelRect> GetItemRect(const ListView& list, const ListViewLayout& layout,
                                     int32_t firstRow, int32_t horizontalOffset, int32_t column,
                                     int32_t item);

// What a press in the header band at x meets.
struct HeaderHit {
  enum Kind { kNothing, kResizeEdge, kPress } kind = kNothing;
  int32_t column = -1;
};
// Walks the column edges from the left: less than kEdgeGrip pixels from a resizable column's
// right edge is that column's resize edge; more than kEdgeGrip pixels inside both edges
// presses the column; exactly kEdgeGrip does neither.
HeaderHit HitHeader(const ListView& list, int32_t horizontalOffset, int32_t x);

// Whether x (client coordinates) lies on the check box zone of the first column.
bool CheckBoxHit(const ListView& list, int32_t horizontalOffset, int32_t x);

// The top of a row's picture: row top + int(row height / 2 - picture height / 2) + 1.
int32_t PictureTop(int32_t rowTop, int32_t rowHeight, int32_t pictureHeight);

}  // namespace quillon::widgets
