// Feeds arbitrary bytes to the icon reader: it must refuse damaged data without reading outside
// its buffer, and what it accepts must be a whole picture within the size limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "widgets/IconReader.h"
#include "widgets/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace quillon::widgets;
  Bytes data(bytes, size);
  [[maybe_unused]] const int32_t wanted = size ? bytes[size - 1] % 40 : 0;
  DecodedImage image;
  if (ReadIcon(data, wanted, wanted, image)) {
    if (!SaneImageSize(image.width, image.height) ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) {
      std::abort();
    }
    // The picture class takes it and draws it.
    c32bppDIB dib;
    if (!dib.LoadDecoded(image)) std::abort();
    uint32_t target[16 * 16] = {};
    Surface32 surface{reinterpret_cast<uint8_t*>(target), 16, 16, 64};
    dib.Render(surface, -2, -3, 19, 7, 0, 0, 0, 0, 60);
  }
  return 0;
}
