#include "base/ColumnFit.h"

#include <algorithm>
#include <numeric>

namespace quillon {

long EstimatedLineWidth(size_t characters, int halfPoints) {
  // A character of 0.55 em in a font of halfPoints / 2 points, at 20 twips a point.
  return static_cast<long>(characters) * halfPoints * 11 / 2;
}

long FittedCellWidth(long lineWidth) {
  // Word's default cell margins (0.19 cm each side) and a little room for the borders.
  constexpr long kCellPadding = 2 * 108 + 40;
  return std::max(kFittedMinimumColumn, lineWidth + kCellPadding);
}

std::vector<long> FitColumnWidths(const std::vector<long>& wanted, long textWidth) {
  std::vector<long> widths = wanted;
  long total = std::accumulate(widths.begin(), widths.end(), 0L);
  if (widths.empty() || total <= textWidth) return widths;
  auto longest = std::max_element(widths.begin(), widths.end());
  long others = total - *longest;
  long share = textWidth / static_cast<long>(widths.size());
  *longest = std::max(textWidth - others, share);
  if (others + *longest > textWidth && others > 0) {
    long room = textWidth - *longest;
    for (auto it = widths.begin(); it != widths.end(); ++it) {
      if (it != longest) *it = *it * room / others;
    }
  }
  return widths;
}

}  // namespace quillon
