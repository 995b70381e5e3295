#include "widgets/c32bppDIB.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "widgets/ImageDecoder.h"
#include "widgets/PngWriter.h"
#include "widgets/modAPI.h"

namespace quillon::widgets {
namespace {

// a * b / 255, rounded.
inline uint32_t Mul255(uint32_t a, uint32_t b) {
  uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

void PutLe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Resource sections store bitmaps without the 14-byte file header; puts one in front.
std::vector<uint8_t> WithFileHeader(std::span<const uint8_t> dib) {
  std::vector<uint8_t> file;
  if (dib.size() < 40) return file;  // no header of any kind fits
  const uint32_t headerSize = Le32(dib.data());
  uint32_t paletteBytes = 0;
  if (headerSize >= 40) {
    const uint16_t bitCount = Le16(&dib[14]);
    const uint32_t used = Le32(&dib[32]);
    const uint32_t compression = Le32(&dib[16]);
    if (bitCount <= 8) paletteBytes = (used && used < 256 ? used : (1u << bitCount)) * 4;
    if (headerSize == 40 && compression == 3) paletteBytes += 12;
  } else if (headerSize == 12) {
    const uint16_t bitCount = Le16(&dib[10]);
    if (bitCount <= 8) paletteBytes = (1u << bitCount) * 3;
  }
  file.push_back('B');
  file.push_back('M');
  PutLe32(file, static_cast<uint32_t>(14 + dib.size()));
  PutLe32(file, 0);
  PutLe32(file, 14 + headerSize + paletteBytes);
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

}  // namespace

bool c32bppDIB::isZlibEnabled() const {
  return FindZlib().found;
}

// ---- Loading ----------------------------------------------------------------------------------

bool c32bppDIB::LoadPicture_File(const std::string& path, int32_t wantedWidth, int32_t wantedHeight,
                                 bool keepSource) {
  DestroyDIB();
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) < kMinimumDataLength) {
    return false;
  }
  // Devices, pipes and sockets are no picture files (and may never end).
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
    return false;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(path, bytes, error)) {
    if (messages_.showError) messages_.showError(error);
    return false;
  }
  if (bytes.size() < kMinimumDataLength) return false;
  if (!Decode(bytes, wantedWidth, wantedHeight)) return false;
  if (keepSource) source_ = std::move(bytes);
  return true;
}

bool c32bppDIB::LoadPicture_Stream(std::span<const uint8_t> stream, int32_t wantedWidth,
                                   int32_t wantedHeight, size_t start, size_t length,
                                   bool keepSource) {
  DestroyDIB();
  if (start > stream.size()) return false;
  if (length == 0 || length > stream.size() - start) length = stream.size() - start;
  if (length < kMinimumDataLength) return false;
  std::span<const uint8_t> data = stream.subspan(start, length);
  if (!Decode(data, wantedWidth, wantedHeight)) return false;
  if (keepSource) source_.assign(data.begin(), data.end());
  return true;
}

bool c32bppDIB::LoadPicture_Resource(int32_t id, const std::variant<int32_t, std::string>& section,
                                     const ResourceRegistry* provider, int32_t wantedWidth,
                                     int32_t wantedHeight) {
  DestroyDIB();
  const ResourceRegistry& registry = provider ? *provider : AddinResources();
  const int32_t* number = std::get_if<int32_t>(&section);
  const std::string_view type = number ? ResourceTypeName(*number) : std::get<std::string>(section);
  if (type.empty()) return false;
  std::optional<std::span<const unsigned char>> bytes = registry.Find(type, id);
  if (!bytes) return false;
  if (number && *number == kResBitmap && SniffImageFormat(*bytes) == ImageFormat::kNone) {
    return LoadPicture_Stream(WithFileHeader(*bytes), wantedWidth, wantedHeight);
  }
  return LoadPicture_Stream(*bytes, wantedWidth, wantedHeight);
}

bool c32bppDIB::LoadPicture_FromOrignalFormat(int32_t wantedWidth, int32_t wantedHeight) {
  if (source_.empty()) return false;
  std::vector<uint8_t> source = std::move(source_);
  DestroyDIB();
  bool ok = Decode(source, wantedWidth, wantedHeight);
  source_ = std::move(source);
  return ok;
}

bool c32bppDIB::GetOrginalFormat(std::vector<uint8_t>& out) const {
  if (source_.empty()) return false;
  out = source_;
  return true;
}

bool c32bppDIB::Decode(std::span<const uint8_t> data, int32_t wantedWidth, int32_t wantedHeight) {
  DecodedImage image;
  if (!DecodeImage(data, wantedWidth, wantedHeight, image)) return false;
  return LoadDecoded(image);
}

bool c32bppDIB::LoadDecoded(const DecodedImage& image) {
  if (image.width <= 0 || !InitializeDIB(image.width, image.height) ||
      image.pixels.size() != bits_.size()) {
    DestroyDIB();
    return false;
  }
  const size_t stride = static_cast<size_t>(width_) * 4;
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t* src = &image.pixels[static_cast<size_t>(y) * stride];
    uint8_t* dst = &bits_[static_cast<size_t>(height_ - 1 - y) * stride];
    for (size_t i = 0; i < stride; i += 4) {
      const uint8_t a = image.hasAlpha ? src[i + 3] : 255;
      if (image.premultiplied || a == 255) {
        std::memcpy(dst + i, src + i, 3);
      } else {
        dst[i] = static_cast<uint8_t>(Mul255(src[i], a));
        dst[i + 1] = static_cast<uint8_t>(Mul255(src[i + 1], a));
        dst[i + 2] = static_cast<uint8_t>(Mul255(src[i + 2], a));
      }
      dst[i + 3] = a;
    }
  }
  alpha_ = image.hasAlpha;
  imageType_ = image.format;
  return true;
}

bool c32bppDIB::InitializeDIB(int32_t width, int32_t height) {
  DestroyDIB();
  const int64_t rows = std::llabs(static_cast<int64_t>(height));
  // A zero-wide bitmap is a valid, pixel-less one.
  if (width < 0 || !SaneImageSize(width == 0 ? 1 : width, rows)) return false;
  created_ = true;
  width_ = width;
  height_ = static_cast<int32_t>(rows);
  bits_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4, 0);
  alpha_ = true;
  return true;
}

void c32bppDIB::DestroyDIB() {
  bits_.clear();
  bits_.shrink_to_fit();
  created_ = false;
  width_ = height_ = 0;
  alpha_ = false;
  imageType_ = ImageFormat::kNone;
  source_.clear();
}

uint32_t c32bppDIB::PixelAt(int32_t x, int32_t y) const {
  const uint8_t* p =
      &bits_[(static_cast<size_t>(height_ - 1 - y) * static_cast<size_t>(width_) + x) * 4];
  return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[1]) << 8 | p[0];
}

// ---- Drawing ------------------------------------------------------------------------------------

bool c32bppDIB::Render(Surface32& target, int32_t x, int32_t y, int32_t width, int32_t height,
                       int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                       int32_t opacity, bool blendAlpha, bool setStretchMode) const {
  if (bits_.empty() || !target.bits || target.width <= 0 || target.height <= 0) return false;
  if (srcWidth < 0 || srcHeight < 0 || opacity == 0) return false;
  int64_t op = std::llabs(static_cast<int64_t>(opacity)) % 100;
  if (op == 0) op = 100;
  if (width == 0) width = width_;
  if (height == 0) height = height_;
  if (srcWidth == 0) srcWidth = width_;
  if (srcHeight == 0) srcHeight = height_;
  srcX = std::max(srcX, 0);
  srcY = std::max(srcY, 0);
  if (int64_t{srcX} + srcWidth > width_ || int64_t{srcY} + srcHeight > height_) return false;
  if (width < 0 || height < 0) return false;

  const uint32_t constantAlpha = static_cast<uint32_t>(op * 255 / 100);
  const bool perPixel = alpha_ && blendAlpha;
  const bool stretched = width != srcWidth || height != srcHeight;
  const bool smooth = stretched && (highQuality_ || setStretchMode);

  // The source pixel for destination offset (dx, dy), premultiplied, into px[4].
  auto sample = [&](int64_t dx, int64_t dy, uint32_t px[4]) {
    if (!stretched) {
      const uint8_t* p = &bits_[(static_cast<size_t>(height_ - 1 - (srcY + dy)) * width_ +
                                 static_cast<size_t>(srcX + dx)) *
                                4];
      for (int c = 0; c < 4; ++c) px[c] = p[c];
      return;
    }
    // The centre of the destination pixel, in source pixels.
    const double fx = (static_cast<double>(dx) + 0.5) * srcWidth / width - 0.5;
    const double fy = (static_cast<double>(dy) + 0.5) * srcHeight / height - 0.5;
    auto at = [&](int64_t sx, int64_t sy, int c) -> double {
      sx = std::clamp<int64_t>(sx, 0, srcWidth - 1) + srcX;
      sy = std::clamp<int64_t>(sy, 0, srcHeight - 1) + srcY;
      return bits_[(static_cast<size_t>(height_ - 1 - sy) * width_ + static_cast<size_t>(sx)) * 4 +
                   c];
    };
    if (!smooth) {
      const int64_t sx = static_cast<int64_t>(std::floor(fx + 0.5));
      const int64_t sy = static_cast<int64_t>(std::floor(fy + 0.5));
      for (int c = 0; c < 4; ++c) px[c] = static_cast<uint32_t>(at(sx, sy, c));
      return;
    }
    const int64_t x0 = static_cast<int64_t>(std::floor(fx));
    const int64_t y0 = static_cast<int64_t>(std::floor(fy));
    const double tx = fx - x0, ty = fy - y0;
    for (int c = 0; c < 4; ++c) {
      const double top = at(x0, y0, c) * (1 - tx) + at(x0 + 1, y0, c) * tx;
      const double bottom = at(x0, y0 + 1, c) * (1 - tx) + at(x0 + 1, y0 + 1, c) * tx;
      px[c] = static_cast<uint32_t>(std::lround(top * (1 - ty) + bottom * ty));
    }
  };

  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + width, target.width);
  const int64_t topEdge = std::max<int64_t>(y, 0);
  const int64_t bottomEdge = std::min<int64_t>(int64_t{y} + height, target.height);
  if (left >= right || topEdge >= bottomEdge) return true;  // entirely outside: nothing to do
  for (int64_t ty = topEdge; ty < bottomEdge; ++ty) {
    uint8_t* row = target.bits + ty * static_cast<int64_t>(target.stride);
    for (int64_t tx = left; tx < right; ++tx) {
      uint32_t s[4];
      sample(tx - x, ty - y, s);
      // Without per-pixel alpha the source counts as opaque (its colours are unscaled there).
      if (!perPixel) s[3] = 255;
      for (int c = 0; c < 4; ++c) s[c] = Mul255(s[c], constantAlpha);
      uint8_t* d = row + tx * 4;
      const uint32_t inverse = 255 - s[3];
      for (int c = 0; c < 4; ++c) {
        d[c] = static_cast<uint8_t>(std::min<uint32_t>(255, s[c] + Mul255(d[c], inverse)));
      }
    }
  }
  return true;
}

// ---- Saving -------------------------------------------------------------------------------------

bool c32bppDIB::SaveToStream(std::vector<uint8_t>& out) const {
  if (bits_.empty()) return false;
  const uint32_t imageSize = static_cast<uint32_t>(bits_.size());
  out.clear();
  out.reserve(54 + bits_.size());
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, imageSize + 54);
  PutLe32(out, 0);
  PutLe32(out, 54);
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(width_));
  PutLe32(out, static_cast<uint32_t>(height_));  // positive: rows bottom-up
  PutLe16(out, 1);
  PutLe16(out, 32);
  PutLe32(out, 0);  // no compression
  PutLe32(out, imageSize);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 0);
  out.insert(out.end(), bits_.begin(), bits_.end());
  return true;
}

bool c32bppDIB::SaveToFile(const std::string& path, bool askOverwrite) const {
  if (bits_.empty()) return false;
  if (askOverwrite && FileExists(path)) {
    if (!messages_.askYesNo || !messages_.askYesNo(kOverwriteQuestion)) return false;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  return SaveToStream(bytes) && WriteFileBytes(path, bytes, error);
}

DecodedImage c32bppDIB::Unpremultiplied() const {
  DecodedImage image;
  AllocateImage(image, width_, height_);
  image.hasAlpha = alpha_;
  const size_t stride = static_cast<size_t>(width_) * 4;
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t* src = &bits_[static_cast<size_t>(height_ - 1 - y) * stride];
    uint8_t* dst = &image.pixels[static_cast<size_t>(y) * stride];
    for (size_t i = 0; i < stride; i += 4) {
      const uint32_t a = src[i + 3];
      for (int c = 0; c < 3; ++c) {
        dst[i + c] =
            a == 255 || !alpha_ ? src[i + c]
            : a == 0
                ? 0
                : static_cast<uint8_t>(std::min<uint32_t>(255, (src[i + c] * 255u + a / 2) / a));
      }
      dst[i + 3] = alpha_ ? static_cast<uint8_t>(a) : 255;
    }
  }
  return image;
}

bool c32bppDIB::SaveToPNG(std::vector<uint8_t>& out) const {
  if (bits_.empty() || !FindZlib().canCompress) return false;
  return WritePng(Unpremultiplied(), out);
}

bool c32bppDIB::SaveToPNG(const std::string& path) const {
  std::vector<uint8_t> bytes;
  std::string error;
  return SaveToPNG(bytes) && WriteFileBytes(path, bytes, error);
}

}  // namespace quillon::widgets
