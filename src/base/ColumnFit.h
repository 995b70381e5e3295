// Column widths for tables that fit their contents (Word's AutoFit to contents), shared by the
// hosts that write such tables: an estimate of a line's width from its characters, and the
// share of the text width each column gets. Widths are in twips (1/1440 inch).
#pragma once

#include <cstddef>
#include <vector>

namespace quillon {

// The narrowest fitted column (twips): room for a character or two.
inline constexpr long kFittedMinimumColumn = 360;

// Returns the estimated width of a line of characters in a font halfPoints high. An
// approximation: the average character of the usual proportional fonts is taken as 0.55 em.
long EstimatedLineWidth(size_t characters, int halfPoints);

// Returns the width a cell needs for its longest line of lineWidth: that line, Word's default
// cell margins and a little room for the borders, and room for a character or two at least.
long FittedCellWidth(long lineWidth);

// Returns the column widths for a table within textWidth: wanted as it stands when it fits;
// else the longest column takes what the others leave (at least an even share), and the others
// shrink in proportion if even that does not fit.
std::vector<long> FitColumnWidths(const std::vector<long>& wanted, long textWidth);

}  // namespace quillon
