#include "addin/PictureFromDib.h"

#include <memory>

#include "widgets/c32bppDIB.h"

namespace quillon::addin {

host::Picture PictureFromDib(const widgets::c32bppDIB& picture) {
  auto bitmap = std::make_shared<host::Bitmap>();
  bitmap->width = picture.Width();
  bitmap->height = picture.Height();
  bitmap->pixels.reserve(static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height));
  for (int32_t y = 0; y < bitmap->height; ++y) {
    for (int32_t x = 0; x < bitmap->width; ++x) {
      // Premultiplied 0xAARRGGBB: over black the colour channels stand as they are.
      const uint32_t argb = picture.PixelAt(x, y);
      const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
      bitmap->pixels.push_back(r | (g << 8) | (b << 16));
    }
  }
  return {host::kPicTypeBitmap, bitmap, std::nullopt};
}

}  // namespace quillon::addin
