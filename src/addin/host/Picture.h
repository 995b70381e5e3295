// A picture object: a bitmap, icon or metafile with an optional palette, as pictures are
// handed between the windows and the host.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace quillon::host {

// Picture types, with the values of the platform's picture objects.
enum PictureType : int {
  kPicTypeNone = 0,
  kPicTypeBitmap = 1,
  kPicTypeMetafile = 2,
  kPicTypeIcon = 3,
  kPicTypeEnhMetafile = 4,
};

// Pixels of a bitmap, rows top to bottom, each pixel 0x00BBGGRR (the platform's RGB value).
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // width * height values
};

struct Picture {
  int type = kPicTypeNone;
  // The bitmap; null for "no handle".
  std::shared_ptr<const Bitmap> handle;
  // The palette (0x00BBGGRR entries), when the picture carries one.
  std::optional<std::vector<uint32_t>> palette;
};

}  // namespace quillon::host
