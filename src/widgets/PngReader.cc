#include "widgets/PngReader.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace quillon::widgets {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// deflate cannot expand data by more than about 1032:1; a header that promises more pixel
// data than the compressed data can hold is refused before anything is allocated for it.
constexpr uint64_t kMaxInflateRatio = 1032;

struct Header {
  uint32_t width = 0, height = 0;
  uint8_t depth = 0, colorType = 0, interlace = 0;
  int channels = 0;
  int bitsPerPixel = 0;
};

bool ValidDepth(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

struct Pass {
  uint32_t x0, y0, dx, dy;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass kWhole = {0, 0, 1, 1};

uint32_t PassExtent(uint32_t size, uint32_t start, uint32_t step) {
  return size > start ? (size - start + step - 1) / step : 0;
}

uint64_t RowBytes(const Header& h, uint64_t width) {
  return (width * static_cast<uint64_t>(h.bitsPerPixel) + 7) / 8;
}

uint8_t Paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the row filters of one (sub-)image in place. raw holds rows of 1 + rowBytes bytes.
bool Unfilter(uint8_t* raw, uint64_t rows, uint64_t rowBytes, int bytesPerPixel) {
  const uint8_t* prior = nullptr;
  for (uint64_t y = 0; y < rows; ++y) {
    uint8_t filter = raw[0];
    uint8_t* row = raw + 1;
    for (uint64_t i = 0; i < rowBytes; ++i) {
      int a = i >= static_cast<uint64_t>(bytesPerPixel) ? row[i - bytesPerPixel] : 0;
      int b = prior ? prior[i] : 0;
      int c = prior && i >= static_cast<uint64_t>(bytesPerPixel) ? prior[i - bytesPerPixel] : 0;
      switch (filter) {
        case 0:
          break;
        case 1:
          row[i] = static_cast<uint8_t>(row[i] + a);
          break;
        case 2:
          row[i] = static_cast<uint8_t>(row[i] + b);
          break;
        case 3:
          row[i] = static_cast<uint8_t>(row[i] + ((a + b) >> 1));
          break;
        case 4:
          row[i] = static_cast<uint8_t>(row[i] + Paeth(a, b, c));
          break;
        default:
          return false;
      }
    }
    prior = row;
    raw += 1 + rowBytes;
  }
  return true;
}

struct Transparency {
  bool present = false;
  uint16_t grey = 0, red = 0, green = 0, blue = 0;
};

// Turns the samples of one unfiltered (sub-)image into pixels of out.
class PixelWriter {
 public:
  PixelWriter(const Header& h, const std::array<uint8_t, 4 * 256>& palette, int paletteSize,
              const Transparency& trns, DecodedImage& out)
      : h_(h), palette_(palette), paletteSize_(paletteSize), trns_(trns), out_(out) {}

  void WriteRows(const uint8_t* raw, uint32_t cols, uint32_t rows, uint64_t rowBytes,
                 const Pass& pass) {
    for (uint32_t j = 0; j < rows; ++j) {
      const uint8_t* row = raw + j * (1 + rowBytes) + 1;
      uint64_t y = pass.y0 + static_cast<uint64_t>(j) * pass.dy;
      for (uint32_t i = 0; i < cols; ++i) {
        uint64_t x = pass.x0 + static_cast<uint64_t>(i) * pass.dx;
        uint8_t* px = &out_.pixels[(y * out_.width + x) * 4];
        Convert(row, i, px);
      }
    }
  }

 private:
  // The sample of channel c of pixel i at the image's bit depth.
  uint32_t Sample(const uint8_t* row, uint32_t i, int c) const {
    const int d = h_.depth;
    if (d == 16) {
      const uint8_t* p = row + (static_cast<uint64_t>(i) * h_.channels + c) * 2;
      return static_cast<uint32_t>(p[0] << 8 | p[1]);
    }
    if (d == 8) return row[static_cast<uint64_t>(i) * h_.channels + c];
    uint64_t bit = static_cast<uint64_t>(i) * d;  // sub-byte depths have one channel
    return (row[bit / 8] >> (8 - d - bit % 8)) & ((1u << d) - 1);
  }
  uint8_t To8(uint32_t v) const {
    if (h_.depth == 16) return static_cast<uint8_t>((v * 255 + 32767) / 65535);
    if (h_.depth == 8) return static_cast<uint8_t>(v);
    return static_cast<uint8_t>(v * 255 / ((1u << h_.depth) - 1));
  }
  void Convert(const uint8_t* row, uint32_t i, uint8_t* px) const {
    uint8_t r, g, b, a = 255;
    switch (h_.colorType) {
      case 0: {
        uint32_t v = Sample(row, i, 0);
        r = g = b = To8(v);
        if (trns_.present && v == trns_.grey) a = 0;
        break;
      }
      case 2: {
        uint32_t vr = Sample(row, i, 0), vg = Sample(row, i, 1), vb = Sample(row, i, 2);
        r = To8(vr);
        g = To8(vg);
        b = To8(vb);
        if (trns_.present && vr == trns_.red && vg == trns_.green && vb == trns_.blue) a = 0;
        break;
      }
      case 3: {
        uint32_t index = Sample(row, i, 0);
        if (static_cast<int>(index) < paletteSize_) {
          r = palette_[index * 4];
          g = palette_[index * 4 + 1];
          b = palette_[index * 4 + 2];
          a = palette_[index * 4 + 3];
        } else {
          r = g = b = 0;  // an index past the palette shows black
        }
        break;
      }
      case 4:
        r = g = b = To8(Sample(row, i, 0));
        a = To8(Sample(row, i, 1));
        break;
      default:
        r = To8(Sample(row, i, 0));
        g = To8(Sample(row, i, 1));
        b = To8(Sample(row, i, 2));
        a = To8(Sample(row, i, 3));
        break;
    }
    px[0] = b;
    px[1] = g;
    px[2] = r;
    px[3] = a;
  }

  const Header& h_;
  const std::array<uint8_t, 4 * 256>& palette_;
  int paletteSize_;
  const Transparency& trns_;
  DecodedImage& out_;
};

bool ChunkCrcMatches(const uint8_t* typeAndData, uint32_t length) {
  uLong crc = crc32(0L, typeAndData, length + 4);
  return static_cast<uint32_t>(crc) == Be32(typeAndData + 4 + length);
}

}  // namespace

bool IsPng(Bytes data) {
  return data.size() >= 8 && std::memcmp(data.data(), kSignature, 8) == 0;
}

bool ReadPng(Bytes data, DecodedImage& out) {
  if (!IsPng(data)) return false;
  Header h;
  bool haveHeader = false;
  std::array<uint8_t, 4 * 256> palette{};
  int paletteSize = 0;
  Transparency trns;
  std::vector<uint8_t> idat;
  idat.reserve(data.size() / 2);

  size_t pos = 8;
  bool ended = false;
  while (!ended && pos < data.size()) {
    if (data.size() - pos < 12) return false;  // a chunk that runs past the end
    const uint32_t length = Be32(&data[pos]);
    if (length > 0x7FFFFFFFu || data.size() - pos - 12 < length) return false;
    const uint8_t* type = &data[pos + 4];
    const uint8_t* body = type + 4;
    const bool isHeader = std::memcmp(type, "IHDR", 4) == 0;
    if (!haveHeader && !isHeader) return false;  // IHDR must come first
    if (isHeader || std::memcmp(type, "PLTE", 4) == 0 || std::memcmp(type, "tRNS", 4) == 0 ||
        std::memcmp(type, "IDAT", 4) == 0) {
      if (!ChunkCrcMatches(type, length)) return false;
    }
    if (isHeader) {
      if (haveHeader || length != 13) return false;
      h.width = Be32(body);
      h.height = Be32(body + 4);
      h.depth = body[8];
      h.colorType = body[9];
      h.interlace = body[12];
      if (body[10] != 0 || body[11] != 0 || h.interlace > 1) return false;
      if (!ValidDepth(h.colorType, h.depth)) return false;
      if (!SaneImageSize(h.width, h.height)) return false;
      h.channels = h.colorType == 2 ? 3 : h.colorType == 4 ? 2 : h.colorType == 6 ? 4 : 1;
      h.bitsPerPixel = h.channels * h.depth;
      haveHeader = true;
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      if (length % 3 != 0 || length / 3 > 256 || length == 0) return false;
      paletteSize = static_cast<int>(length / 3);
      for (int i = 0; i < paletteSize; ++i) {
        palette[i * 4] = body[i * 3];
        palette[i * 4 + 1] = body[i * 3 + 1];
        palette[i * 4 + 2] = body[i * 3 + 2];
        palette[i * 4 + 3] = 255;
      }
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
      if (h.colorType == 3) {
        for (uint32_t i = 0; i < length && i < 256; ++i) palette[i * 4 + 3] = body[i];
        trns.present = true;
      } else if (h.colorType == 0 && length >= 2) {
        trns.grey = static_cast<uint16_t>(body[0] << 8 | body[1]);
        trns.present = true;
      } else if (h.colorType == 2 && length >= 6) {
        trns.red = static_cast<uint16_t>(body[0] << 8 | body[1]);
        trns.green = static_cast<uint16_t>(body[2] << 8 | body[3]);
        trns.blue = static_cast<uint16_t>(body[4] << 8 | body[5]);
        trns.present = true;
      }
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      idat.insert(idat.end(), body, body + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      ended = true;
    }
    pos += 12 + static_cast<size_t>(length);
  }
  if (!haveHeader || idat.empty()) return false;
  if (h.colorType == 3 && paletteSize == 0) return false;

  // The size of the filtered data: every pass of every row with its filter byte.
  const Pass* passes = h.interlace ? kAdam7 : &kWhole;
  const int passCount = h.interlace ? 7 : 1;
  uint64_t expected = 0;
  for (int p = 0; p < passCount; ++p) {
    uint64_t cols = PassExtent(h.width, passes[p].x0, passes[p].dx);
    uint64_t rows = PassExtent(h.height, passes[p].y0, passes[p].dy);
    if (cols && rows) expected += rows * (1 + RowBytes(h, cols));
  }
  if (expected > idat.size() * kMaxInflateRatio + 1024) return false;

  std::vector<uint8_t> raw(static_cast<size_t>(expected));
  uLongf rawLength = static_cast<uLongf>(expected);
  int status = uncompress(raw.data(), &rawLength, idat.data(), static_cast<uLong>(idat.size()));
  // A stream that holds more than the picture needs (a full buffer) is accepted, as other
  // readers do; a short one is not.
  if (status != Z_OK && !(status == Z_BUF_ERROR && rawLength == expected)) return false;
  if (rawLength != expected) return false;
  idat.clear();
  idat.shrink_to_fit();

  AllocateImage(out, static_cast<int32_t>(h.width), static_cast<int32_t>(h.height));
  out.format = ImageFormat::kPng;
  out.premultiplied = false;
  out.hasAlpha = h.colorType == 4 || h.colorType == 6 || trns.present;
  PixelWriter writer(h, palette, paletteSize, trns, out);
  const int bytesPerPixel = std::max(1, h.bitsPerPixel / 8);
  uint8_t* cursor = raw.data();
  for (int p = 0; p < passCount; ++p) {
    uint32_t cols = PassExtent(h.width, passes[p].x0, passes[p].dx);
    uint32_t rows = PassExtent(h.height, passes[p].y0, passes[p].dy);
    if (!cols || !rows) continue;
    uint64_t rowBytes = RowBytes(h, cols);
    if (!Unfilter(cursor, rows, rowBytes, bytesPerPixel)) return false;
    writer.WriteRows(cursor, cols, rows, rowBytes, passes[p]);
    cursor += rows * (1 + rowBytes);
  }
  return true;
}

}  // namespace quillon::widgets
