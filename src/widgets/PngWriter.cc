#include "widgets/PngWriter.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace quillon::widgets {
namespace {

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t length) {
  PutBe32(out, static_cast<uint32_t>(length));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (length) out.insert(out.end(), data, data + length);
  PutBe32(out, static_cast<uint32_t>(crc32(0L, &out[start], static_cast<uInt>(length + 4))));
}

uint8_t Paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Filters row (with prior, the unfiltered row above, or null) with the filter whose output
// has the smallest sum of magnitudes, the usual heuristic for good compression.
void FilterRow(const uint8_t* row, const uint8_t* prior, size_t length, int bpp, uint8_t* dst) {
  std::vector<uint8_t> best(length + 1), trial(length + 1);
  uint64_t bestScore = UINT64_MAX;
  for (uint8_t filter = 0; filter <= 4; ++filter) {
    trial[0] = filter;
    uint64_t score = 0;
    for (size_t i = 0; i < length; ++i) {
      int a = i >= static_cast<size_t>(bpp) ? row[i - bpp] : 0;
      int b = prior ? prior[i] : 0;
      int c = prior && i >= static_cast<size_t>(bpp) ? prior[i - bpp] : 0;
      int predictor = filter == 1   ? a
                      : filter == 2 ? b
                      : filter == 3 ? (a + b) >> 1
                      : filter == 4 ? Paeth(a, b, c)
                                    : 0;
      uint8_t v = static_cast<uint8_t>(row[i] - predictor);
      trial[i + 1] = v;
      score += v < 128 ? v : 256 - v;
    }
    if (score < bestScore) {
      bestScore = score;
      best.swap(trial);
    }
  }
  std::memcpy(dst, best.data(), length + 1);
}

}  // namespace

bool WritePng(const DecodedImage& image, std::vector<uint8_t>& out) {
  if (!SaneImageSize(image.width, image.height) ||
      image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) {
    return false;
  }
  const int channels = image.hasAlpha ? 4 : 3;
  const size_t rowLength = static_cast<size_t>(image.width) * channels;
  std::vector<uint8_t> rgba(rowLength * image.height);
  for (size_t i = 0, o = 0; i < image.pixels.size(); i += 4) {
    rgba[o++] = image.pixels[i + 2];
    rgba[o++] = image.pixels[i + 1];
    rgba[o++] = image.pixels[i];
    if (channels == 4) rgba[o++] = image.pixels[i + 3];
  }
  std::vector<uint8_t> filtered((rowLength + 1) * image.height);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = &rgba[y * rowLength];
    FilterRow(row, y ? row - rowLength : nullptr, rowLength, channels,
              &filtered[y * (rowLength + 1)]);
  }
  uLongf packedLength = compressBound(static_cast<uLong>(filtered.size()));
  std::vector<uint8_t> packed(packedLength);
  if (compress2(packed.data(), &packedLength, filtered.data(), static_cast<uLong>(filtered.size()),
                9) != Z_OK) {
    return false;
  }

  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  out.assign(kSignature, kSignature + 8);
  std::vector<uint8_t> header;
  PutBe32(header, static_cast<uint32_t>(image.width));
  PutBe32(header, static_cast<uint32_t>(image.height));
  header.push_back(8);                      // bit depth
  header.push_back(channels == 4 ? 6 : 2);  // colour type: RGBA or RGB
  header.push_back(0);                      // deflate
  header.push_back(0);                      // adaptive filtering
  header.push_back(0);                      // not interlaced
  PutChunk(out, "IHDR", header.data(), header.size());
  PutChunk(out, "IDAT", packed.data(), packedLength);
  PutChunk(out, "IEND", nullptr, 0);
  return true;
}

}  // namespace quillon::widgets
