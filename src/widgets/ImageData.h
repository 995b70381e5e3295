// A decoded picture as the image readers hand it over, the limits every reader applies, and
// the byte helpers they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quillon::widgets {

// The format a picture came from.
enum class ImageFormat : int32_t {
  kNone = 0,
  kBitmap = 1,
  kIcon = 2,
  kCursor = 3,
  kGif = 4,
  kPng = 5,
};

// The largest picture the readers and InitializeDIB accept: 2^28 pixels (268 megapixels,
// 1 GiB of 32-bit pixels) with no side above 2^20 pixels. That is well above the pictures of
// today's cameras (a 150-megapixel back gives 14204 x 10652). Below the cap, each reader also
// refuses a header whose size the data present cannot fill (missing bitmap rows, more pixels
// than compressed data can expand to), so a small hostile file cannot make it allocate much.
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 28;
inline constexpr int64_t kMaxImageSide = int64_t{1} << 20;

struct DecodedImage {
  int32_t width = 0;
  int32_t height = 0;
  // Blue, green, red, alpha bytes; the top row first; width * 4 bytes a row.
  std::vector<uint8_t> pixels;
  // Whether the colours are already multiplied by alpha (some 32-bit bitmaps are).
  bool premultiplied = false;
  // Whether any pixel may be less than opaque.
  bool hasAlpha = false;
  ImageFormat format = ImageFormat::kNone;
};

using Bytes = std::span<const uint8_t>;

inline uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// Returns whether a width x height picture may be decoded (both positive, within the limit).
inline bool SaneImageSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

// Sizes out for width x height pixels, all transparent black.
// REQUIRES: SaneImageSize(width, height).
inline void AllocateImage(DecodedImage& out, int32_t width, int32_t height) {
  out.width = width;
  out.height = height;
  out.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
}

}  // namespace quillon::widgets
