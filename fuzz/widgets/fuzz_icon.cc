// Feeds arbitrary bytes to the icon reader: it must refuse damaged data without reading outside
// its buffer, and what it accepts must be a whole picture within the size limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "CheckAcceptedPicture.h"
#include "widgets/IconReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace quillon::widgets;
  Bytes data(bytes, size);
  [[maybe_unused]] const int32_t wanted = size ? bytes[size - 1] % 40 : 0;
  DecodedImage image;
  if (ReadIcon(data, wanted, wanted, image)) {
    CheckAcceptedPicture(image);
  }
  return 0;
}
