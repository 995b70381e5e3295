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
  // A picture near the size limit is legal; copying it again only measures the allocator and
  // would pass the fuzzer's memory limit, so the picture class is checked on smaller ones.
  constexpr int64_t kLargestCopied = int64_t{1} << 24;
  if (int64_t{image.width} * image.height > kLargestCopied) return;
  c32bppDIB dib;
  if (!dib.LoadDecoded(image)) std::abort();
  uint32_t target[16 * 16] = {};
  Surface32 surface{reinterpret_cast<uint8_t*>(target), 16, 16, 64};
  dib.Render(surface, -2, -3, 19, 7, 0, 0, 0, 0, 60);
}
