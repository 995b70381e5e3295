// Reads icon (.ico) and cursor (.cur) files: picks one entry of the directory for the wanted
// size and decodes it, whether it holds a bitmap with its mask or a PNG picture.
#pragma once

#include "widgets/ImageData.h"

namespace quillon::widgets {

// Returns whether data starts with an icon or cursor directory header.
bool IsIcon(Bytes data);

// Decodes the entry of data that best fits wantedWidth x wantedHeight into out: the entry of
// exactly that size with the most colours; otherwise the nearest size (larger on a tie) with
// the most colours; with no wanted size (0), the largest entry. When the chosen entry is
// damaged, the next best one is tried. Returns false when no entry decodes.
bool ReadIcon(Bytes data, int32_t wantedWidth, int32_t wantedHeight, DecodedImage& out);

}  // namespace quillon::widgets
