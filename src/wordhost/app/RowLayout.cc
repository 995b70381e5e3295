#include "wordhost/app/RowLayout.h"

#include <algorithm>

namespace quillon::wordhost {

std::vector<float> CellWidths(const std::vector<float>& grid, const std::vector<int>& spans,
                              float available, float unit) {
  std::vector<float> widths(spans.size(), 0);
  if (spans.empty()) return widths;
  size_t column = 0;
  size_t unknown = 0;
  float known = 0;
  for (size_t k = 0; k < spans.size(); ++k) {
    const size_t span = static_cast<size_t>(std::max(1, spans[k]));
    float sum = 0;
    for (size_t c = column; c < column + span && c < grid.size(); ++c)
      sum += std::max(0.f, grid[c]);
    column += span;
    widths[k] = sum * unit;
    if (widths[k] <= 0) ++unknown;
    known += widths[k];
  }
  if (known <= 0) {
    widths.assign(spans.size(), available / static_cast<float>(spans.size()));
    return widths;
  }
  if (unknown > 0) {
    // No room left: a cell of unknown width is as wide as the others' average.
    const float left = available - known;
    const float share = left > 0 ? left / static_cast<float>(unknown)
                                 : known / static_cast<float>(spans.size() - unknown);
    for (float& width : widths)
      if (width <= 0) width = share, known += share;
  }
  if (known > available)
    for (float& width : widths) width *= available / known;
  return widths;
}

}  // namespace quillon::wordhost
