#include "widgets/BmpReader.h"

#include <array>
#include <bit>
#include <cstdlib>

namespace quillon::widgets {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr uint64_t kMaxRlePixelsPerByte = 1024;

struct DibInfo {
  uint32_t headerSize = 0;
  int64_t width = 0;
  int64_t height = 0;  // negative: top-down
  uint16_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool hasMasks = false;
  bool core = false;
};

// Parses the header at the start of dib; returns the offset just past the header and any
// masks that follow it, or 0 on failure.
size_t ParseHeader(Bytes dib, DibInfo& info) {
  if (dib.size() < 12) return 0;
  info.headerSize = Le32(&dib[0]);
  if (info.headerSize == 12) {
    info.core = true;
    info.width = Le16(&dib[4]);
    info.height = static_cast<int16_t>(Le16(&dib[6]));
    info.bitCount = Le16(&dib[10]);
    return 12;
  }
  if (info.headerSize < 40 || info.headerSize > dib.size()) return 0;
  info.width = static_cast<int32_t>(Le32(&dib[4]));
  info.height = static_cast<int32_t>(Le32(&dib[8]));
  info.bitCount = Le16(&dib[14]);
  info.compression = Le32(&dib[16]);
  info.colorsUsed = Le32(&dib[32]);
  size_t end = info.headerSize;
  if (info.compression == kBitFields || info.compression == kAlphaBitFields) {
    const size_t maskCount = info.compression == kAlphaBitFields ? 4 : 3;
    if (info.headerSize >= 40 + maskCount * 4) {
      for (size_t i = 0; i < maskCount; ++i) info.masks[i] = Le32(&dib[40 + i * 4]);
    } else {
      // The masks follow a plain info header.
      if (dib.size() < end + maskCount * 4) return 0;
      for (size_t i = 0; i < maskCount; ++i) info.masks[i] = Le32(&dib[end + i * 4]);
      end += maskCount * 4;
    }
    info.hasMasks = true;
  }
  if (info.headerSize >= 56 && info.compression != kAlphaBitFields && info.bitCount >= 16) {
    // V3 and later headers carry an alpha mask after the colour masks.
    info.masks[3] = Le32(&dib[52]);
  }
  return end;
}

struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (m) {
      shift = std::countr_zero(m);
      max = m >> shift;
    }
  }
  uint8_t Get(uint32_t v) const {
    if (!max) return 0;
    return static_cast<uint8_t>(static_cast<uint64_t>((v & mask) >> shift) * 255 / max);
  }
};

// Decodes RLE-compressed pixel data into palette indexes, one byte a pixel, bottom row
// first. Pixels the data skips keep index 0.
bool DecodeRle(Bytes src, bool four, int64_t width, int64_t height, std::vector<uint8_t>& idx) {
  idx.assign(static_cast<size_t>(width * height), 0);
  int64_t x = 0, y = 0;
  size_t p = 0;
  auto put = [&](uint8_t v) {
    if (x < width && y < height) idx[static_cast<size_t>(y * width + x)] = v;
    ++x;
  };
  while (p + 1 < src.size()) {
    uint8_t count = src[p], value = src[p + 1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
    } else if (value == 0) {
      x = 0;
      if (++y >= height) return true;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (p + 1 >= src.size()) return true;
      x += src[p];
      y += src[p + 1];
      p += 2;
      if (y >= height) return true;
    } else {
      size_t bytes = four ? (value + 1) / 2 : value;
      if (p + bytes > src.size()) return true;
      for (int i = 0; i < value; ++i) {
        uint8_t b = src[p + (four ? i / 2 : i)];
        put(four ? ((i & 1) ? b & 0x0F : b >> 4) : b);
      }
      p += (bytes + 1) & ~size_t{1};  // runs are padded to 16 bits
    }
  }
  return true;  // data ended without an end marker: keep what was drawn
}

// Decodes the colour rows of a DIB whose header is parsed, from bits, into out.
// mask, when given, is the icon's 1-bit mask data following the colour rows.
bool DecodeDib(Bytes dib, const DibInfo& info, size_t paletteOffset, Bytes bits, DecodedImage& out,
               bool forIcon) {
  const int64_t width = info.width;
  const int64_t rows = forIcon ? std::abs(info.height) / 2 : std::abs(info.height);
  const bool topDown = info.height < 0 && !forIcon;
  if (!SaneImageSize(width, rows)) return false;
  const uint16_t bpp = info.bitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  const uint32_t c = info.compression;
  const bool rle = c == kRle8 || c == kRle4;
  if (c != kRgb && !(c == kRle8 && bpp == 8) && !(c == kRle4 && bpp == 4) &&
      !((c == kBitFields || c == kAlphaBitFields) && (bpp == 16 || bpp == 32))) {
    return false;
  }
  if (forIcon && rle) return false;

  // The palette.
  std::array<uint8_t, 256 * 4> palette{};
  if (bpp <= 8) {
    const size_t entrySize = info.core ? 3 : 4;
    size_t count =
        info.colorsUsed && info.colorsUsed < (1u << bpp) ? info.colorsUsed : (size_t{1} << bpp);
    if (paletteOffset > dib.size()) return false;
    count = std::min(count, (dib.size() - paletteOffset) / entrySize);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* e = &dib[paletteOffset + i * entrySize];
      palette[i * 4] = e[0];
      palette[i * 4 + 1] = e[1];
      palette[i * 4 + 2] = e[2];
      palette[i * 4 + 3] = 255;
    }
  }

  // Refuse before allocating: uncompressed rows must all be there, and RLE data cannot stand
  // for more than a few hundred pixels a byte in any real bitmap.
  const size_t stride = static_cast<size_t>((width * bpp + 31) / 32 * 4);
  if (rle ? static_cast<uint64_t>(width * rows) > (bits.size() + 1) * kMaxRlePixelsPerByte
          : bits.size() / stride < static_cast<size_t>(rows)) {
    return false;
  }
  AllocateImage(out, static_cast<int32_t>(width), static_cast<int32_t>(rows));
  std::vector<uint8_t> rleIndexes;
  if (rle) DecodeRle(bits, c == kRle4, width, rows, rleIndexes);

  Channel red(info.masks[0]), green(info.masks[1]), blue(info.masks[2]), alpha(info.masks[3]);
  const bool masked = info.hasMasks;
  const bool plain16 = bpp == 16 && !masked;
  // Where the data carries alpha: an alpha mask, or the fourth byte of unmasked 32-bit data.
  const bool alphaChannel = alpha.max != 0 || (bpp == 32 && !masked);
  bool anyAlpha = false;
  for (int64_t r = 0; r < rows; ++r) {
    const int64_t y = topDown ? r : rows - 1 - r;  // r counts rows as stored
    uint8_t* dst = &out.pixels[static_cast<size_t>(y * width * 4)];
    const uint8_t* row = rle ? nullptr : &bits[static_cast<size_t>(r) * stride];
    for (int64_t x = 0; x < width; ++x, dst += 4) {
      if (bpp <= 8) {
        uint32_t index;
        if (rle) {
          index = rleIndexes[static_cast<size_t>(r * width + x)];
        } else {
          uint64_t bit = static_cast<uint64_t>(x) * bpp;
          index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        }
        dst[0] = palette[index * 4];
        dst[1] = palette[index * 4 + 1];
        dst[2] = palette[index * 4 + 2];
        dst[3] = 255;
      } else if (bpp == 24) {
        const uint8_t* s = row + x * 3;
        dst[0] = s[0];
        dst[1] = s[1];
        dst[2] = s[2];
        dst[3] = 255;
      } else if (plain16) {
        uint32_t v = Le16(row + x * 2);
        dst[0] = static_cast<uint8_t>((v & 0x1F) * 255 / 31);
        dst[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) * 255 / 31);
        dst[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) * 255 / 31);
        dst[3] = 255;
      } else {
        uint32_t v = bpp == 16 ? Le16(row + x * 2) : Le32(row + x * 4);
        if (masked) {
          dst[0] = blue.Get(v);
          dst[1] = green.Get(v);
          dst[2] = red.Get(v);
        } else {
          dst[0] = static_cast<uint8_t>(v);
          dst[1] = static_cast<uint8_t>(v >> 8);
          dst[2] = static_cast<uint8_t>(v >> 16);
        }
        // Uncompressed 32-bit data keeps alpha in its fourth byte unless a mask says where.
        uint8_t a = alpha.max ? alpha.Get(v) : alphaChannel ? static_cast<uint8_t>(v >> 24) : 255;
        dst[3] = a;
        anyAlpha = anyAlpha || (alphaChannel && a != 0);
      }
    }
  }

  out.hasAlpha = false;
  out.premultiplied = false;
  if (alphaChannel) {
    if (!anyAlpha) {
      // Every alpha byte zero: the fourth byte is padding, the picture is opaque.
      for (size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
    } else {
      out.hasAlpha = true;
      // Bitmaps without an alpha mask (the 32-bit bitmaps this class saves among them) hold
      // premultiplied colours when no colour exceeds its alpha. Icons always hold straight
      // colours.
      if (!alpha.max && !forIcon) {
        bool premultiplied = true;
        for (size_t i = 0; i < out.pixels.size() && premultiplied; i += 4) {
          uint8_t a = out.pixels[i + 3];
          premultiplied = out.pixels[i] <= a && out.pixels[i + 1] <= a && out.pixels[i + 2] <= a;
        }
        out.premultiplied = premultiplied;
      }
    }
  }

  if (forIcon) {
    // The 1-bit mask follows the colour rows; 1 marks a transparent pixel. Pictures with an
    // alpha channel of their own ignore it.
    const size_t maskStride = static_cast<size_t>((width + 31) / 32 * 4);
    const size_t maskOffset = stride * static_cast<size_t>(rows);
    if (!out.hasAlpha && bits.size() >= maskOffset &&
        (bits.size() - maskOffset) / maskStride >= static_cast<size_t>(rows)) {
      for (int64_t r = 0; r < rows; ++r) {
        const uint8_t* m = &bits[maskOffset + static_cast<size_t>(r) * maskStride];
        uint8_t* dst = &out.pixels[static_cast<size_t>((rows - 1 - r) * width * 4)];
        for (int64_t x = 0; x < width; ++x) {
          if ((m[x / 8] >> (7 - x % 8)) & 1) {
            dst[x * 4] = dst[x * 4 + 1] = dst[x * 4 + 2] = dst[x * 4 + 3] = 0;
          }
        }
      }
    }
    out.hasAlpha = true;
    out.format = ImageFormat::kIcon;
  } else {
    out.format = ImageFormat::kBitmap;
  }
  return true;
}

}  // namespace

bool IsBmp(Bytes data) {
  return data.size() >= 2 && data[0] == 'B' && data[1] == 'M';
}

bool ReadBmp(Bytes data, DecodedImage& out) {
  if (!IsBmp(data) || data.size() < 14 + 12) return false;
  const uint32_t bitsOffset = Le32(&data[10]);
  Bytes dib = data.subspan(14);
  DibInfo info;
  size_t end = ParseHeader(dib, info);
  if (end == 0 || bitsOffset < 14 + end || bitsOffset > data.size()) return false;
  return DecodeDib(dib, info, end, data.subspan(bitsOffset), out, false);
}

bool ReadIconDib(Bytes dib, DecodedImage& out) {
  DibInfo info;
  size_t end = ParseHeader(dib, info);
  if (end == 0 || info.core) return false;
  size_t paletteBytes = 0;
  if (info.bitCount <= 8 && info.bitCount > 0) {
    size_t count = info.colorsUsed && info.colorsUsed < (1u << info.bitCount)
                       ? info.colorsUsed
                       : (size_t{1} << info.bitCount);
    paletteBytes = count * 4;
  }
  if (end + paletteBytes > dib.size()) return false;
  return DecodeDib(dib, info, end, dib.subspan(end + paletteBytes), out, true);
}

}  // namespace quillon::widgets
