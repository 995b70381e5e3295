// The widths of a table row's cells laid side by side, over plain numbers (testable without a
// display). Nothing here fails.
#pragma once

#include <vector>

namespace quillon::wordhost {

// Returns the width of each cell of a row: cell k covers spans[k] columns of grid (the table's
// column widths, unit pixels each) and gets their sum; cells past the grid's end share what is
// left of available equally (or take the others' average width when nothing is left); with no
// grid at all every cell gets an equal share of available. Widths that overflow available are
// scaled down to fill it exactly; narrower rows keep their widths.
std::vector<float> CellWidths(const std::vector<float>& grid, const std::vector<int>& spans,
                              float available, float unit);

}  // namespace quillon::wordhost
