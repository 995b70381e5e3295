// Column widths of tables that fit their contents: the line estimate and the share of the
// text width each column gets.
#include "base/ColumnFit.h"

#include <gtest/gtest.h>

#include <numeric>

namespace quillon {
namespace {

TEST(ColumnFit, ColumnWidthsWithinTheTextWidth) {
  struct Case {
    std::vector<long> wanted;
    long textWidth;
    std::vector<long> expected;
  };
  const Case cases[] = {
      {{1000, 3000, 800}, 9638, {1000, 3000, 800}},   // fits: as wanted
      {{1000, 12000, 800}, 9638, {1000, 7838, 800}},  // the longest takes what is left
      {{6000, 12000}, 9000, {4500, 4500}},            // the others shrink to leave an even share
      {{}, 9000, {}},
  };
  for (const Case& c : cases) {
    std::vector<long> widths = FitColumnWidths(c.wanted, c.textWidth);
    EXPECT_EQ(widths, c.expected);
    EXPECT_LE(std::accumulate(widths.begin(), widths.end(), 0L), c.textWidth);
  }
  // 28 characters of 11 points at 0.55 em: 169.4 points; a cell adds its margins to the line,
  // and is never narrower than a character or two.
  EXPECT_EQ(EstimatedLineWidth(0, 22), 0);
  EXPECT_EQ(EstimatedLineWidth(28, 22), 3388);
  EXPECT_EQ(FittedCellWidth(3388), 3388 + 256);
  EXPECT_EQ(FittedCellWidth(0), kFittedMinimumColumn);
}

}  // namespace
}  // namespace quillon
