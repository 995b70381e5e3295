// What every image-reader fuzz target checks of a picture its reader accepted: a whole picture
// within the size limit, which the picture class takes and draws.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "widgets/ImageData.h"
#include "widgets/c32bppDIB.h"

inline void CheckAcceptedPicture(const quillon::widgets::DecodedImage& image) {
  using namespace quillon::widgets;
  if (!SaneImageSize(image.width, image.height) ||
      image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) {
    std::abort();
  }
  c32bppDIB dib;
  if (!dib.LoadDecoded(image)) std::abort();
  uint32_t target[16 * 16] = {};
  Surface32 surface{reinterpret_cast<uint8_t*>(target), 16, 16, 64};
  dib.Render(surface, -2, -3, 19, 7, 0, 0, 0, 0, 60);
}
