// Recognises a picture's format by its content and decodes it with the matching reader.
#pragma once

#include "widgets/ImageData.h"

namespace quillon::widgets {

// Returns the format data's first bytes announce (PNG signature, "GIF87a"/"GIF89a" in any
// case, icon or cursor directory, "BM"), or kNone.
ImageFormat SniffImageFormat(Bytes data);

// Decodes data with the PNG, GIF, icon/cursor and BMP readers in that order; the first that
// accepts it wins. wantedWidth and wantedHeight choose among the sizes an icon holds (0: the
// largest). Returns false when no reader accepts data.
bool DecodeImage(Bytes data, int32_t wantedWidth, int32_t wantedHeight, DecodedImage& out);

}  // namespace quillon::widgets
