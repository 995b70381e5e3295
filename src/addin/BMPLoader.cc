#include "addin/BMPLoader.h"

#include <cstring>
#include <stdexcept>

#include "addin/host/Clipboard.h"
#include "addin/host/HostError.h"
#include "addin/host/Platform.h"
#include "widgets/Color.h"

namespace quillon::addin {
namespace {

constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kMaskHeaderAndColors = kInfoHeaderSize + 8;
// The mask block is allocated with room to spare after the rows.
constexpr size_t kMaskBlockSlack = 50;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | in[at + static_cast<size_t>(i)];
  return value;
}

// Writes a BITMAPINFOHEADER for a bottom-up, uncompressed bitmap.
void PutInfoHeader(std::vector<uint8_t>& out, int32_t width, int32_t height, uint16_t bitCount,
                   uint32_t sizeImage, uint32_t colorsUsed) {
  Put32(out, 0, kInfoHeaderSize);
  Put32(out, 4, static_cast<uint32_t>(width));
  Put32(out, 8, static_cast<uint32_t>(height));
  Put16(out, 12, 1);
  Put16(out, 14, bitCount);
  Put32(out, 16, 0);  // BI_RGB
  Put32(out, 20, sizeImage);
  Put32(out, 24, 0);
  Put32(out, 28, 0);
  Put32(out, 32, colorsUsed);
  Put32(out, 36, 0);
}

uint32_t MaskStride(int32_t width) {
  return (static_cast<uint32_t>(width) + 31) / 32 * 4;
}

uint32_t NearestPaletteEntry(uint32_t rgb, const std::vector<uint32_t>& palette) {
  auto channel = [](uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
  uint32_t best = rgb;
  long bestDistance = -1;
  for (uint32_t entry : palette) {
    long distance = 0;
    for (int shift : {0, 8, 16}) {
      const int d = channel(entry, shift) - channel(rgb, shift);
      distance += static_cast<long>(d) * d;
    }
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = entry;
    }
  }
  return best;
}

}  // namespace

std::optional<uint32_t> TranslateOleColor(uint32_t oleColor, const std::vector<uint32_t>& palette) {
  switch (oleColor >> 24) {
    case 0x00:
      return oleColor;
    case 0x80: {
      const int32_t rgb = widgets::TranslateColor(oleColor);
      if (rgb < 0) return std::nullopt;
      return static_cast<uint32_t>(rgb);
    }
    case 0x01: {
      const uint32_t index = oleColor & 0xFFFF;
      if (index >= palette.size()) return std::nullopt;
      return palette[index] & 0xFFFFFF;
    }
    case 0x02:
      return NearestPaletteEntry(oleColor & 0xFFFFFF, palette) & 0xFFFFFF;
    default:
      return std::nullopt;
  }
}

std::vector<uint32_t> MakeHalftonePalette() {
  std::vector<uint32_t> palette;
  constexpr uint32_t kLevels[] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
  for (uint32_t b : kLevels)
    for (uint32_t g : kLevels)
      for (uint32_t r : kLevels) palette.push_back(r | (g << 8) | (b << 16));
  for (uint32_t grey = 0x11; grey < 0xFF; grey += 0x11) {
    if (grey % 0x33 == 0) continue;  // already in the cube
    palette.push_back(grey | (grey << 8) | (grey << 16));
  }
  return palette;
}

std::optional<MaskBitmap> MakeMaskBitmap(const host::Bitmap& bitmap, uint32_t maskRgb,
                                         const std::vector<uint32_t>& palette) {
  (void)palette;  // pixels are true colours; the palette only served the translation
  if (bitmap.width < 1 || bitmap.width > kMaxMaskSide || bitmap.height < 1 ||
      bitmap.height > kMaxMaskSide) {
    return std::nullopt;
  }
  const size_t count = static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height);
  if (bitmap.pixels.size() < count) return std::nullopt;
  MaskBitmap mask;
  mask.width = bitmap.width;
  mask.height = bitmap.height;
  mask.white.resize(count);
  for (size_t i = 0; i < count; ++i) mask.white[i] = (bitmap.pixels[i] & 0xFFFFFF) == maskRgb;
  return mask;
}

std::vector<uint8_t> PackMaskBitmap(const MaskBitmap& mask) {
  const uint32_t stride = MaskStride(mask.width);
  const uint32_t sizeImage = stride * static_cast<uint32_t>(mask.height);
  std::vector<uint8_t> out(kMaskHeaderAndColors + sizeImage, 0);
  PutInfoHeader(out, mask.width, mask.height, 1, sizeImage, 0);
  // Colour table: index 0 black, index 1 white.
  Put32(out, kInfoHeaderSize, 0x000000);
  Put32(out, kInfoHeaderSize + 4, 0xFFFFFF);
  for (int32_t y = 0; y < mask.height; ++y) {
    const size_t row = kMaskHeaderAndColors + static_cast<size_t>(mask.height - 1 - y) * stride;
    for (int32_t x = 0; x < mask.width; ++x) {
      if (!mask.white[static_cast<size_t>(y) * static_cast<size_t>(mask.width) +
                      static_cast<size_t>(x)]) {
        continue;
      }
      out[row + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return out;
}

std::vector<uint8_t> PackBitmap(const host::Bitmap& bitmap) {
  const uint32_t sizeImage =
      static_cast<uint32_t>(bitmap.width) * static_cast<uint32_t>(bitmap.height) * 4;
  std::vector<uint8_t> out(kInfoHeaderSize + sizeImage, 0);
  PutInfoHeader(out, bitmap.width, bitmap.height, 32, sizeImage, 0);
  for (int32_t y = 0; y < bitmap.height; ++y) {
    size_t at = kInfoHeaderSize +
                static_cast<size_t>(bitmap.height - 1 - y) * static_cast<size_t>(bitmap.width) * 4;
    for (int32_t x = 0; x < bitmap.width; ++x, at += 4) {
      const uint32_t rgb =
          bitmap.pixels[static_cast<size_t>(y) * static_cast<size_t>(bitmap.width) +
                        static_cast<size_t>(x)];
      out[at] = static_cast<uint8_t>(rgb >> 16);     // blue
      out[at + 1] = static_cast<uint8_t>(rgb >> 8);  // green
      out[at + 2] = static_cast<uint8_t>(rgb);       // red
    }
  }
  return out;
}

void PutMaskOnClipboard(host::Clipboard& clipboard, const MaskBitmap& mask) {
  const std::vector<uint8_t> packed = PackMaskBitmap(mask);
  const uint32_t sizeImage = Get32(packed, 20);
  if (packed[14] != 1 || sizeImage < 1) return;
  if (!clipboard.Open()) return;
  const uint32_t faceFormat = clipboard.RegisterFormat(kFaceFormat);
  const uint32_t maskFormat = clipboard.RegisterFormat(kMaskFormat);
  if (faceFormat != 0) {
    if (std::optional<std::vector<uint8_t>> dib = clipboard.GetData(host::kCfDib)) {
      clipboard.SetData(faceFormat, std::vector<uint8_t>(*dib));
    }
  }
  if (maskFormat != 0) {
    std::vector<uint8_t> block(sizeImage + kMaskBlockSlack, 0);
    std::memcpy(block.data(), packed.data(), kMaskHeaderAndColors + sizeImage);
    clipboard.SetData(maskFormat, std::move(block));
  }
  clipboard.Close();
}

void PutButtonFace(const host::Picture* picture, uint32_t maskColor) {
  if (picture == nullptr || picture->type != host::kPicTypeBitmap || !picture->handle ||
      picture->handle->width < 0 || picture->handle->height < 0 ||
      picture->handle->pixels.size() != static_cast<size_t>(picture->handle->width) *
                                            static_cast<size_t>(picture->handle->height)) {
    throw host::HostError(kErrInvalidPicture, "Invalid picture");
  }
  host::Clipboard* clipboard = host::Platform().clipboard;
  if (clipboard == nullptr) throw std::logic_error("no clipboard installed");
  const std::vector<uint32_t> palette =
      picture->palette ? *picture->palette : MakeHalftonePalette();
  const uint32_t maskRgb = TranslateOleColor(maskColor, palette).value_or(0);
  const std::optional<MaskBitmap> mask = MakeMaskBitmap(*picture->handle, maskRgb, palette);

  if (clipboard->Open()) {
    clipboard->Empty();
    clipboard->SetData(host::kCfDib, PackBitmap(*picture->handle));
    clipboard->Close();
  }
  if (mask) PutMaskOnClipboard(*clipboard, *mask);
}

}  // namespace quillon::addin
