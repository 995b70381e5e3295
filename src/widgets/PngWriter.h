// Writes PNG data with zlib: 8 bits a channel, RGBA or RGB, one IDAT chunk.
#pragma once

#include "widgets/ImageData.h"

namespace quillon::widgets {

// Encodes image (straight alpha, top row first; premultiplied must be false) as PNG into out,
// with an alpha channel when image.hasAlpha. Returns false when zlib fails or the picture is
// empty or beyond the size limit.
bool WritePng(const DecodedImage& image, std::vector<uint8_t>& out);

}  // namespace quillon::widgets
