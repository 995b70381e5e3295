// Reads PNG data: every colour type and bit depth the format allows, palettes, tRNS
// transparency and Adam7 interlacing. Chunk checksums of the chunks it reads are verified.
#pragma once

#include "widgets/ImageData.h"

namespace quillon::widgets {

// Returns whether data starts with the 8-byte PNG signature.
bool IsPng(Bytes data);

// Decodes data into out (straight alpha, 8 bits a channel; 16-bit samples are rounded).
// Returns false, with out unspecified, on anything that is not a complete, valid PNG picture
// within the size limit.
bool ReadPng(Bytes data, DecodedImage& out);

}  // namespace quillon::widgets
