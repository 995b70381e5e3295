// Reads Windows bitmaps: BMP files and the device-independent bitmaps inside icons and
// cursors. 1, 4, 8, 16, 24 and 32 bits a pixel, bottom-up and top-down, 8- and 4-bit RLE,
// bit-field masks, and the core, info and V2 to V5 headers.
#pragma once

#include "widgets/ImageData.h"

namespace quillon::widgets {

// Returns whether data starts with "BM".
bool IsBmp(Bytes data);

// Decodes a BMP file into out. Returns false, with out unspecified, on damaged or unsupported
// data or a picture beyond the size limit.
bool ReadBmp(Bytes data, DecodedImage& out);

// Decodes a device-independent bitmap as icons and cursors hold it: an info header whose
// height counts the colour rows and the mask rows, the palette, the colour rows and the 1-bit
// transparency mask. Returns false on damaged or unsupported data.
bool ReadIconDib(Bytes dib, DecodedImage& out);

}  // namespace quillon::widgets
