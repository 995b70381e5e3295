// Feeds arbitrary bytes to the gif reader: it must refuse damaged data without reading outside
// its buffer, and what it accepts must be a whole picture within the size limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "CheckAcceptedPicture.h"
#include "widgets/GifReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace quillon::widgets;
  Bytes data(bytes, size);
  DecodedImage image;
  if (ReadGif(data, image)) {
    CheckAcceptedPicture(image);
  }
  return 0;
}
