// Feeds arbitrary bytes to the png reader: it must refuse damaged data without reading outside
// its buffer, and what it accepts must be a whole picture within the size limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <zlib.h>

#include "CheckAcceptedPicture.h"
#include "widgets/PngReader.h"

namespace {

// Rewrites every chunk checksum so that mutations reach the decoder behind the checks.
std::vector<uint8_t> WithFixedChecksums(const uint8_t* bytes, size_t size) {
  std::vector<uint8_t> copy(bytes, bytes + size);
  size_t pos = 8;
  while (pos + 12 <= copy.size()) {
    const uint32_t length = quillon::widgets::Be32(&copy[pos]);
    if (length > copy.size() - pos - 12) break;
    const uint32_t crc = static_cast<uint32_t>(crc32(0L, &copy[pos + 4], length + 4));
    for (int i = 0; i < 4; ++i)
      copy[pos + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    pos += 12 + length;
  }
  return copy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* raw, size_t rawSize) {
  using namespace quillon::widgets;
  // Half of the inputs are taken as they are (checksum checks), half with fixed checksums.
  std::vector<uint8_t> fixed;
  const uint8_t* bytes = raw;
  size_t size = rawSize;
  if (rawSize && (raw[rawSize - 1] & 1)) {
    fixed = WithFixedChecksums(raw, rawSize);
    bytes = fixed.data();
  }
  Bytes data(bytes, size);
  DecodedImage image;
  if (ReadPng(data, image)) {
    CheckAcceptedPicture(image);
  }
  return 0;
}
