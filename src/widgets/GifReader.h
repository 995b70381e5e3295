// Reads GIF pictures (87a and 89a): the first frame on its logical screen, with the
// transparent colour of its graphic control extension and interlaced rows.
#pragma once

#include "widgets/ImageData.h"

namespace quillon::widgets {

// Returns whether data starts with "GIF87a" or "GIF89a" in any letter case.
bool IsGif(Bytes data);

// Decodes the first frame of data into out. The picture is the logical screen; pixels the
// frame does not cover are transparent. A frame whose compressed data ends early keeps the
// pixels decoded so far. Returns false on damaged data without a frame, or beyond the size
// limit.
bool ReadGif(Bytes data, DecodedImage& out);

}  // namespace quillon::widgets
