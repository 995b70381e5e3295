// Feeds arbitrary bytes to the bmp reader: it must refuse damaged data without reading outside
// its buffer, and what it accepts must be a whole picture within the size limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "CheckAcceptedPicture.h"
#include "widgets/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace quillon::widgets;
  Bytes data(bytes, size);
  DecodedImage image;
  if (ReadBmp(data, image)) {
    CheckAcceptedPicture(image);
  }
  return 0;
}
